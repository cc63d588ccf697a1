// scptool samples FILE [--beats] [--uv]: the samples of the display leads as CSV, decoded and
// derived by the same lead-table functions the document uses, so the output is exactly what it
// holds; in the leads' own units, or with --uv in microvolts.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

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

// One CSV column: a display lead that holds samples.
struct Column {
  std::string name;
  const int16_t* samples;
  int32_t count;
  uint16_t nanovolts;  // per unit
};

template <typename Entry>
std::vector<Column> ColumnsOf(const Entry* entries, int32_t count) {
  std::vector<Column> columns;
  for (int32_t i = 0; i < count; ++i) {
    const Entry& entry = entries[i];
    if (entry.samples != nullptr && entry.sampleCount > 0) {
      columns.push_back(
          {LeadLabel(entry.leadCode), entry.samples, entry.sampleCount, entry.amplitudeMultiplier});
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
        const int16_t value = columns[i].samples[row];
        line += microvolts ? Microvolts(value, columns[i].nanovolts) : std::to_string(value);
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
  // --uv may stand anywhere; the rest is FILE [--beats].
  Arguments rest;
  bool microvolts = false;
  for (const std::string& argument : arguments) {
    (argument == "--uv" ? microvolts = true : (rest.push_back(argument), false));
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
    columns = ColumnsOf(leads.beats, leads.beatCount);
  } else {
    leads.rhythmCount = DecodeRhythmLeads(record.get(), leads.beats, leads.beatCount, leads.rhythm);
    columns = ColumnsOf(leads.rhythm, leads.rhythmCount);
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
