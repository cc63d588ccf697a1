// scptool samples FILE [--beats] [--uv] [--filter LIST]: the samples of the display leads as
// CSV, decoded and derived by the same lead-table functions the document uses, so the output is
// exactly what it holds; in the leads' own units, or with --uv in microvolts; with --filter,
// passed through the display filters the windows draw with, with decimals.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "leads/LeadFilters.h"
#include "leads/LeadTables.h"
#include "scp/ScpHuffmanTables.h"
#include "scp/ScpRawRhythm.h"
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
  uint16_t nanovolts;  // per unit
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
      columns.push_back({LeadLabel(entry.leadCode),
                         entry.samples,
                         entry.sampleCount,
                         entry.amplitudeMultiplier,
                         {}});
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

// A value in units of `nanovolts` as microvolts: exact, with the decimals it needs and no more.
std::string Microvolts(int16_t value, uint16_t nanovolts) {
  const int64_t product = int64_t{value} * nanovolts;
  const int64_t magnitude = product < 0 ? -product : product;
  std::string text = (product < 0 ? "-" : "") + std::to_string(magnitude / 1000);
  int64_t fraction = magnitude % 1000;
  if (fraction != 0) {
    std::string decimals = std::to_string(1000 + fraction).substr(1);
    decimals.erase(decimals.find_last_not_of('0') + 1);
    text += "." + decimals;
  }
  return text;
}

// A filtered value with two decimals, "-0.00" written as "0.00".
std::string FilteredText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return std::string(text) == "-0.00" ? std::string("0.00") : std::string(text);
}

// Writes the names, then one line per sample index; a lead that has ended leaves its cell empty.
void WriteCsv(std::ostream& out, const std::vector<Column>& columns, bool microvolts) {
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
        const Column& column = columns[i];
        if (!column.filtered.empty()) {
          const double value = column.filtered[row];
          line += FilteredText(microvolts ? value * column.nanovolts / 1000.0 : value);
        } else {
          const int16_t value = column.samples[row];
          line += microvolts ? Microvolts(value, column.nanovolts) : std::to_string(value);
        }
      }
    }
    line += '\n';
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
}

// Why the leads of a record cannot be decoded, when its own Huffman tables or its uncompressed
// rhythm section say so; empty otherwise.
std::string SignalProblem(const ScpRecord* record, bool beats) {
  char text[160];
  ScpHuffmanTables* tables = nullptr;
  ScpHuffmanTableProblem problem{};
  if (ScpReadHuffmanTables(record, &tables, &problem) != kScpOk) {
    ScpHuffmanTableProblemText(problem, text, sizeof text);
    return text;
  }
  ScpFreeHuffmanTables(tables);
  if (beats || ScpRecordFindSection(record, kScpRawRhythmSection) < 0 ||
      ScpRecordFindSection(record, kScpRhythmSection) >= 0) {
    return "";
  }
  ScpRawRhythmHeader header{};
  ScpRawRhythmFault fault = ScpRawRhythmFault::kNone;
  ScpGetRawRhythmHeader(record, &header, &fault);
  ScpRhythmSignal leadI{};
  if (fault == ScpRawRhythmFault::kNone &&
      ScpStatusIs(ScpDecodeRawRhythm(record, kLeadCodeI, &leadI), kScpErrRawRhythm)) {
    fault = ScpRawRhythmFault::kValueRange;
  }
  ScpFreeRhythm(&leadI);
  if (fault == ScpRawRhythmFault::kNone) {
    return "";
  }
  ScpRawRhythmFaultText(fault, text, sizeof text);
  return text;
}

}  // namespace

int RunSamples(const Arguments& arguments) {
  std::string file;
  bool beats = false;
  unsigned filters = kLeadFilterNone;
  bool microvolts = false;
  // --uv and --filter LIST may stand anywhere; the rest is FILE [--beats].
  Arguments rest;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--uv") {
      microvolts = true;
    } else if (arguments[i] != "--filter") {
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
    const std::string problem = SignalProblem(record.get(), beats);
    if (!problem.empty()) {
      return FailOnFile(file, "cannot be decoded: " + problem);
    }
    // Without lead I the lead table stays empty, whatever else the record holds.
    return FailOnFile(file, beats ? "holds no reference beats that decode for lead I"
                                  : "holds no rhythm that decodes for lead I");
  }
  WriteCsv(std::cout, columns, microvolts);
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "scptool: writing the samples to stdout failed\n";
    return kExitUnusable;
  }
  return kExitOk;
}

}  // namespace scptool
