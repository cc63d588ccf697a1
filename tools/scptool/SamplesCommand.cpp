// scptool samples FILE [--beats] [--filter LIST]: the samples of the display leads as CSV, decoded
// and derived by the same lead-table functions the document uses, so the output is exactly what it
// holds; with --filter, passed through the display filters the windows draw with, in the same
// units with decimals.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "leads/LeadFilters.h"
#include "leads/LeadTables.h"
#include "tools/scptool/Commands.h"

namespace scptool {

namespace {

// Both lead tables of one record, freed when the command is done with them.
struct DecodedLeads {
  ScpReferenceBeat beats[kLeadTableCapacity] = {};
  ScpRhythmSignal rhythm[kLeadTableCapacity] = {};
  int32_t beatCount = 0;
  int32_t rhythmCount = 0;

  DecodedLeads() = default;
  DecodedLeads(const DecodedLeads&) = delete;
  DecodedLeads& operator=(const DecodedLeads&) = delete;
  ~DecodedLeads() {
    FreeRhythmLeads(rhythm, kLeadTableCapacity);
    FreeReferenceLeads(beats, kLeadTableCapacity);
  }
};

// One CSV column: a display lead that holds samples, and their filtered values when filters are
// on.
struct Column {
  std::string name;
  const int16_t* samples;
  int32_t count;
  std::vector<double> filtered;
};

// The columns of the entries that hold samples, filtered as samples taken every sampleInterval
// microseconds.
template <typename Entry>
std::vector<Column> ColumnsOf(const Entry* entries, int32_t count, unsigned filters,
                              uint16_t sampleInterval) {
  std::vector<Column> columns;
  for (int32_t i = 0; i < count; ++i) {
    const Entry& entry = entries[i];
    if (entry.samples != nullptr && entry.sampleCount > 0) {
      columns.push_back({LeadLabel(entry.leadCode), entry.samples, entry.sampleCount, {}});
      if (filters != kLeadFilterNone) {
        std::vector<double>& filtered = columns.back().filtered;
        filtered.resize(static_cast<size_t>(entry.sampleCount));
        FilterLeadSamples(entry.samples, entry.sampleCount, sampleInterval, filters,
                          filtered.data());
      }
    }
  }
  return columns;
}

// A filtered value with two decimals, "-0.00" written as "0.00".
std::string FilteredText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return std::string(text) == "-0.00" ? std::string("0.00") : std::string(text);
}

// Writes the names, then one line per sample index; a lead that has ended leaves its cell empty.
void WriteCsv(std::ostream& out, const std::vector<Column>& columns) {
  std::string line;
  int32_t rows = 0;
  for (const Column& column : columns) {
    line += (line.empty() ? "" : ",") + column.name;
    rows = std::max(rows, column.count);
  }
  out << line << "\n";
  for (int32_t row = 0; row < rows; ++row) {
    line.clear();
    for (size_t i = 0; i < columns.size(); ++i) {
      if (i != 0) {
        line += ',';
      }
      if (row < columns[i].count) {
        line += columns[i].filtered.empty() ? std::to_string(columns[i].samples[row])
                                            : FilteredText(columns[i].filtered[row]);
      }
    }
    line += '\n';
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
}

}  // namespace

int RunSamples(const Arguments& arguments) {
  std::string file;
  bool beats = false;
  unsigned filters = kLeadFilterNone;
  Arguments rest;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] != "--filter") {
      rest.push_back(arguments[i]);
    } else if (i + 1 >= arguments.size() || !ParseLeadFilters(arguments[++i], &filters)) {
      return FailUsage("samples: --filter takes a list of " + LeadFilterNames(kLeadFilterAll));
    }
  }
  if (!ParseFileAndFlag("samples", "--beats", rest, &file, &beats)) {
    return kExitUnusable;
  }
  ScpRecordPtr record = ReadOrReport(file);
  if (record == nullptr) {
    return kExitUnusable;
  }
  DecodedLeads leads;
  leads.beatCount = DecodeReferenceLeads(record.get(), leads.beats);
  std::vector<Column> columns;
  if (beats) {
    columns = ColumnsOf(leads.beats, leads.beatCount, filters, leads.beats[0].sampleInterval);
  } else {
    leads.rhythmCount = DecodeRhythmLeads(record.get(), leads.beats, leads.beatCount, leads.rhythm);
    // A rhythm rebuilt with reference beats is spaced by the beats' interval, as the window draws
    // it.
    const uint16_t interval =
        leads.beatCount != 0 ? leads.beats[0].sampleInterval : leads.rhythm[0].sampleInterval;
    columns = ColumnsOf(leads.rhythm, leads.rhythmCount, filters, interval);
  }
  if (columns.empty()) {
    // Without lead I the lead table stays empty, whatever else the record holds.
    return FailOnFile(file, beats ? "holds no reference beats that decode for lead I"
                                  : "holds no rhythm that decodes for lead I");
  }
  WriteCsv(std::cout, columns);
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "scptool: writing the samples to stdout failed\n";
    return kExitUnusable;
  }
  return kExitOk;
}

}  // namespace scptool
