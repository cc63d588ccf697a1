#include "tools/scptool/SignalSummary.h"

#include <cstdio>
#include <iomanip>
#include <string>

#include "scp/ScpHuffmanTables.h"
#include "scp/ScpMeasurements.h"
#include "tools/scptool/Commands.h"

namespace scptool {

namespace {

// One of the 29 values of a section 10 lead block: its JSON key and its text label with unit.
struct LeadValueName {
  const char* key;
  const char* label;
};

constexpr LeadValueName kLeadValueNames[kScpLeadMeasurementValues] = {
    {"pDuration", "P duration (ms)"},
    {"prInterval", "PR interval (ms)"},
    {"qrsDuration", "QRS duration (ms)"},
    {"qtInterval", "QT interval (ms)"},
    {"qDuration", "Q duration (ms)"},
    {"rDuration", "R duration (ms)"},
    {"sDuration", "S duration (ms)"},
    {"rPrimeDuration", "R' duration (ms)"},
    {"sPrimeDuration", "S' duration (ms)"},
    {"qAmplitude", "Q amplitude (uV)"},
    {"rAmplitude", "R amplitude (uV)"},
    {"sAmplitude", "S amplitude (uV)"},
    {"rPrimeAmplitude", "R' amplitude (uV)"},
    {"sPrimeAmplitude", "S' amplitude (uV)"},
    {"jAmplitude", "J amplitude (uV)"},
    {"pPlusAmplitude", "P+ amplitude (uV)"},
    {"pMinusAmplitude", "P- amplitude (uV)"},
    {"tPlusAmplitude", "T+ amplitude (uV)"},
    {"tMinusAmplitude", "T- amplitude (uV)"},
    {"stSlope", "ST slope (uV/s)"},
    {"pMorphology", "P morphology (code)"},
    {"tMorphology", "T morphology (code)"},
    {"iSegment", "I segment (ms)"},
    {"kSegment", "K segment (ms)"},
    {"intrinsicoidDeflection", "Int. deflection (ms)"},
    {"signalQuality", "signal quality (code)"},
    {"stAmplitudeJ20", "ST at J+20 ms (uV)"},
    {"stAmplitudeJ60", "ST at J+60 ms (uV)"},
    {"stAmplitudeJ80", "ST at J+80 ms (uV)"},
};

// Width of one lead's column in the text table of per-lead measurements.
constexpr int kLeadColumnWidth = 8;
constexpr int kLeadValueLabelWidth = 24;

std::optional<LeadTableSummary> ReadLeadTable(const ScpRecord* record) {
  LeadTableSummary table{};
  if (ScpGetLeadTableHeader(record, &table.header) != kScpOk) {
    return std::nullopt;
  }
  for (uint16_t ordinal = 0; ordinal < table.header.leadCount; ++ordinal) {
    ScpLeadEntry entry{};
    if (ScpGetLeadEntry(record, ordinal, &entry) != kScpOk) {
      break;
    }
    table.entries.push_back(entry);
  }
  return table;
}

std::optional<ScpSignalHeader> ReadSignalHeader(const ScpRecord* record, uint16_t sectionId) {
  ScpSignalHeader header{};
  if (ScpGetSignalHeader(record, sectionId, &header) != kScpOk) {
    return std::nullopt;
  }
  return header;
}

std::optional<QrsSummary> ReadQrs(const ScpRecord* record) {
  QrsSummary qrs{};
  if (ScpGetQrsHeader(record, &qrs.header) != kScpOk) {
    return std::nullopt;
  }
  for (uint16_t index = 0; index < qrs.header.qrsCount; ++index) {
    ScpQrsEntry entry{};
    if (ScpGetQrsEntry(record, &entry, index) != kScpOk) {
      break;
    }
    qrs.complexes.push_back(entry);
  }
  // The list is there only when it is whole; the first area then stands for all of them.
  std::vector<ScpProtectedArea> areas;
  for (uint16_t index = 0; index < qrs.header.qrsCount; ++index) {
    ScpProtectedArea area{};
    if (ScpGetProtectedArea(record, index, &area) != kScpOk) {
      break;
    }
    areas.push_back(area);
  }
  if (qrs.header.qrsCount != 0 && areas.size() == qrs.header.qrsCount) {
    qrs.protectedAreas = std::move(areas);
  }
  return qrs;
}

std::optional<GlobalMeasurementsSummary> ReadGlobalMeasurements(const ScpRecord* record) {
  GlobalMeasurementsSummary global{};
  if (ScpGetMeasurementHeader(record, &global.header) != kScpOk) {
    return std::nullopt;
  }
  ScpBeatMeasurements block{};
  if (ScpGetBeatMeasurements(record, 0, &block) == kScpOk) {
    global.block0 = block;
  }
  return global;
}

std::optional<LeadMeasurementsSummary> ReadLeadMeasurements(const ScpRecord* record) {
  LeadMeasurementsSummary perLead{};
  if (ScpGetLeadMeasurementHeader(record, &perLead.header) != kScpOk) {
    return std::nullopt;
  }
  for (uint16_t index = 0; index < perLead.header.leadCount; ++index) {
    ScpLeadMeasurements lead{};
    if (ScpGetLeadMeasurements(record, index, &lead) != kScpOk) {
      break;
    }
    perLead.leads.push_back(lead);
  }
  return perLead;
}

// "0x45": how a flag byte is shown.
std::string HexByte(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value & 0xFFu);
  return text;
}

// "absent" when the record has no section `id`, "unreadable" when it has one that is too short.
const char* MissingSectionText(const ScpRecord* record, uint16_t id) {
  return ScpRecordFindSection(record, id) < 0 ? "absent" : "unreadable";
}

// The line that follows a table when only `read` of its `declared` entries lie in the section.
void PrintShortfall(std::ostream& out, size_t read, size_t declared, const char* what) {
  if (read < declared) {
    out << "  (" << declared - read << " further " << what << " lie outside the section)\n";
  }
}

void PrintLeadTable(std::ostream& out, const ScpRecord* record,
                    const std::optional<LeadTableSummary>& table) {
  out << "Leads (section 3): ";
  if (!table) {
    out << MissingSectionText(record, kScpLeadSection) << "\n";
    return;
  }
  out << int{table->header.leadCount} << ", flags " << HexByte(table->header.leadFlags) << "\n";
  if (table->entries.empty()) {
    return;
  }
  out << "  ordinal  code  name            start       end\n";
  for (size_t ordinal = 0; ordinal < table->entries.size(); ++ordinal) {
    const ScpLeadEntry& entry = table->entries[ordinal];
    out << "  " << std::setw(7) << ordinal << std::setw(6) << int{entry.leadCode} << "  "
        << std::left << std::setw(10) << LeadLabel(entry.leadCode) << std::right << std::setw(11)
        << entry.startSample << std::setw(10) << entry.endSample << "\n";
  }
  PrintShortfall(out, table->entries.size(), table->header.leadCount, "entries");
}

std::optional<HuffmanTablesSummary> ReadHuffmanTablesSummary(const ScpRecord* record) {
  if (ScpRecordFindSection(record, kScpHuffmanSection) < 0) {
    return std::nullopt;
  }
  HuffmanTablesSummary summary;
  ScpHuffmanTables* tables = nullptr;
  ScpHuffmanTableProblem problem{};
  if (ScpReadHuffmanTables(record, &tables, &problem) != kScpOk) {
    char text[160];
    ScpHuffmanTableProblemText(problem, text, sizeof text);
    summary.problem = problem.fault == ScpHuffmanTableFault::kNone ? "out of memory" : text;
    return summary;
  }
  summary.defaultTable = tables == nullptr;
  for (uint16_t table = 1; table <= ScpHuffmanTableCount(tables); ++table) {
    summary.rows.push_back(ScpHuffmanTableRows(tables, table));
  }
  ScpFreeHuffmanTables(tables);
  return summary;
}

void PrintHuffmanTables(std::ostream& out, const ScpRecord* record,
                        const std::optional<HuffmanTablesSummary>& tables) {
  out << "Huffman tables (section 2): ";
  if (!tables) {
    out << MissingSectionText(record, kScpHuffmanSection) << "\n";
  } else if (!tables->problem.empty()) {
    out << "unusable: " << tables->problem << "\n";
  } else if (tables->defaultTable) {
    out << "the default table\n";
  } else {
    out << tables->rows.size() << " of the record's own, rows";
    for (uint16_t rows : tables->rows) {
      out << " " << rows;
    }
    out << "\n";
  }
}

void WriteHuffmanTables(JsonWriter& json, const std::optional<HuffmanTablesSummary>& tables) {
  if (!tables) {
    json.Null();
    return;
  }
  json.BeginObject();
  if (!tables->problem.empty()) {
    json.Key("problem");
    json.String(tables->problem);
  } else {
    json.Key("default");
    json.Bool(tables->defaultTable);
    json.Field("count", static_cast<int64_t>(tables->rows.size()));
    json.Key("rows");
    json.BeginArray();
    for (uint16_t rows : tables->rows) {
      json.Number(rows);
    }
    json.EndArray();
  }
  json.EndObject();
}

std::optional<RawRhythmSummary> ReadRawRhythmSummary(const ScpRecord* record) {
  if (ScpRecordFindSection(record, kScpRawRhythmSection) < 0) {
    return std::nullopt;
  }
  RawRhythmSummary summary;
  ScpRawRhythmFault fault = ScpRawRhythmFault::kNone;
  if (ScpGetRawRhythmHeader(record, &summary.header, &fault) != kScpOk) {
    char text[160];
    ScpRawRhythmFaultText(fault, text, sizeof text);
    summary.problem = text;
  }
  return summary;
}

void PrintRawRhythm(std::ostream& out, const std::optional<RawRhythmSummary>& raw) {
  if (!raw) {
    return;  // only version-3 records have one
  }
  out << "Uncompressed rhythm (section 12): ";
  if (!raw->problem.empty()) {
    out << "unusable: " << raw->problem << "\n";
    return;
  }
  out << int{raw->header.leadCount} << " leads of " << raw->header.sampleCount << " samples at "
      << raw->header.sampleRate << " Hz, " << int{raw->header.bytesPerSample}
      << " bytes per sample\n";
}

void WriteRawRhythm(JsonWriter& json, const std::optional<RawRhythmSummary>& raw) {
  if (!raw) {
    json.Null();
    return;
  }
  json.BeginObject();
  if (!raw->problem.empty()) {
    json.Key("problem");
    json.String(raw->problem);
  } else {
    json.Field("sampleRate", raw->header.sampleRate);
    json.Field("leadCount", raw->header.leadCount);
    json.Field("sampleCount", raw->header.sampleCount);
    json.Field("bytesPerSample", raw->header.bytesPerSample);
  }
  json.EndObject();
}

void PrintSignalHeader(std::ostream& out, const ScpRecord* record, const char* title,
                       uint16_t sectionId, const std::optional<ScpSignalHeader>& header) {
  out << title << " (section " << sectionId << "): ";
  if (!header) {
    out << MissingSectionText(record, sectionId) << "\n";
    return;
  }
  out << header->amplitudeMultiplier << " nV per unit, " << header->sampleInterval
      << " us per sample, difference encoding " << int{header->differenceEncoding};
  if (header->amplitudeMultiplier == 0) {
    out << " (no amplitude unit: its leads are not drawn)";
  }
  out << "\n";
}

void PrintQrs(std::ostream& out, const ScpRecord* record, const std::optional<QrsSummary>& qrs) {
  out << "QRS complexes (section 4): ";
  if (!qrs) {
    out << MissingSectionText(record, kScpQrsSection) << "\n";
    return;
  }
  out << qrs->header.qrsCount << ", reference beat " << qrs->header.beatLength
      << " ms with its fiducial at sample " << qrs->header.fiducial << "\n";
  if (qrs->complexes.empty()) {
    return;
  }
  out << "        #  type        SB        fc        QE"
      << (qrs->protectedAreas ? "  protected" : "") << "\n";
  for (size_t i = 0; i < qrs->complexes.size(); ++i) {
    const ScpQrsEntry& complex = qrs->complexes[i];
    out << "  " << std::setw(7) << i << std::setw(6) << complex.beatType << std::setw(10)
        << complex.subtractStart << std::setw(10) << complex.fiducialSample << std::setw(10)
        << complex.subtractEnd;
    if (qrs->protectedAreas) {
      const ScpProtectedArea& area = (*qrs->protectedAreas)[i];
      out << "  " << area.startSample << "-" << area.endSample;
    }
    out << "\n";
  }
  PrintShortfall(out, qrs->complexes.size(), qrs->header.qrsCount, "complexes");
}

void PrintGlobalMeasurements(std::ostream& out, const ScpRecord* record,
                             const std::optional<GlobalMeasurementsSummary>& global) {
  out << "Global measurements (section 7): ";
  if (!global) {
    out << MissingSectionText(record, kScpMeasurementSection) << "\n";
    return;
  }
  out << "block count " << int{global->header.blockCount} << ", pacemaker spikes "
      << int{global->header.spikeCount} << ", RR " << global->header.rrInterval << " ms, PP "
      << global->header.ppInterval << " ms\n";
  if (!global->block0) {
    out << "  block 0: outside the section\n";
    return;
  }
  const ScpBeatMeasurements& block = *global->block0;
  out << "  block 0: P " << block.pOnset << "-" << block.pOffset << " ms, QRS " << block.qrsOnset
      << "-" << block.qrsOffset << " ms, T offset " << block.tOffset << " ms; axes P "
      << block.pAxis << ", QRS " << block.qrsAxis << ", T " << block.tAxis << " degrees\n";
}

// One row per measurement, one column per lead block, so that twelve leads fit a wide terminal.
void PrintLeadMeasurements(std::ostream& out, const ScpRecord* record,
                           const std::optional<LeadMeasurementsSummary>& perLead) {
  out << "Lead measurements (section 10): ";
  if (!perLead) {
    out << MissingSectionText(record, kScpLeadMeasurementSection) << "\n";
    return;
  }
  out << perLead->header.leadCount << " leads, blocks of " << perLead->header.blockLength
      << " bytes\n";
  if (perLead->leads.empty()) {
    PrintShortfall(out, 0, perLead->header.leadCount, "lead blocks");
    return;
  }
  out << "  " << std::left << std::setw(kLeadValueLabelWidth) << "lead" << std::right;
  for (const ScpLeadMeasurements& lead : perLead->leads) {
    out << std::setw(kLeadColumnWidth) << LeadLabel(lead.leadCode);
  }
  out << "\n";
  for (int k = 0; k < kScpLeadMeasurementValues; ++k) {
    out << "  " << std::left << std::setw(kLeadValueLabelWidth) << kLeadValueNames[k].label
        << std::right;
    for (const ScpLeadMeasurements& lead : perLead->leads) {
      out << std::setw(kLeadColumnWidth) << lead.values[k];
    }
    out << "\n";
  }
  PrintShortfall(out, perLead->leads.size(), perLead->header.leadCount, "lead blocks");
}

void WriteLeads(JsonWriter& json, const std::optional<LeadTableSummary>& table) {
  if (!table) {
    json.Null();
    return;
  }
  json.BeginArray();
  for (const ScpLeadEntry& entry : table->entries) {
    json.BeginObject();
    json.Field("code", entry.leadCode);
    json.Key("name");
    json.String(LeadLabel(entry.leadCode));
    json.Field("startSample", entry.startSample);
    json.Field("endSample", entry.endSample);
    json.EndObject();
  }
  json.EndArray();
}

void WriteSignalHeader(JsonWriter& json, const std::optional<ScpSignalHeader>& header) {
  if (!header) {
    json.Null();
    return;
  }
  json.BeginObject();
  json.Field("amplitudeMultiplier", header->amplitudeMultiplier);
  json.Field("sampleInterval", header->sampleInterval);
  json.Field("differenceEncoding", header->differenceEncoding);
  if (header->amplitudeMultiplier == 0) {
    json.Key("unscaled");  // its leads are decoded and listed, but not drawn
    json.Bool(true);
  }
  json.EndObject();
}

void WriteQrs(JsonWriter& json, const std::optional<QrsSummary>& qrs) {
  if (!qrs) {
    json.Null();
    return;
  }
  json.BeginObject();
  json.Field("beatLength", qrs->header.beatLength);
  json.Field("fiducial", qrs->header.fiducial);
  json.Field("complexCount", qrs->header.qrsCount);
  json.Key("complexes");
  json.BeginArray();
  for (const ScpQrsEntry& complex : qrs->complexes) {
    json.BeginObject();
    json.Field("type", complex.beatType);
    json.Field("subtractStart", complex.subtractStart);
    json.Field("fiducial", complex.fiducialSample);
    json.Field("subtractEnd", complex.subtractEnd);
    json.EndObject();
  }
  json.EndArray();
  json.Key("protectedAreas");
  if (qrs->protectedAreas) {
    json.BeginArray();
    for (const ScpProtectedArea& area : *qrs->protectedAreas) {
      json.BeginObject();
      json.Field("startSample", area.startSample);
      json.Field("endSample", area.endSample);
      json.EndObject();
    }
    json.EndArray();
  } else {
    json.Null();
  }
  json.EndObject();
}

void WriteGlobalMeasurements(JsonWriter& json,
                             const std::optional<GlobalMeasurementsSummary>& global) {
  if (!global) {
    json.Null();
    return;
  }
  json.BeginObject();
  json.Field("blockCount", global->header.blockCount);
  json.Field("spikeCount", global->header.spikeCount);
  json.Field("rrInterval", global->header.rrInterval);
  json.Field("ppInterval", global->header.ppInterval);
  json.Key("block0");
  if (global->block0) {
    const ScpBeatMeasurements& block = *global->block0;
    json.BeginObject();
    json.Field("pOnset", block.pOnset);
    json.Field("pOffset", block.pOffset);
    json.Field("qrsOnset", block.qrsOnset);
    json.Field("qrsOffset", block.qrsOffset);
    json.Field("tOffset", block.tOffset);
    json.Field("pAxis", block.pAxis);
    json.Field("qrsAxis", block.qrsAxis);
    json.Field("tAxis", block.tAxis);
    json.EndObject();
  } else {
    json.Null();
  }
  if (global->showsHeartRate) {
    json.Key("heartRate");
    if (global->heartRate) {
      json.Number(*global->heartRate);
    } else {
      json.Null();
    }
  }
  json.EndObject();
}

void WriteLeadMeasurements(JsonWriter& json,
                           const std::optional<LeadMeasurementsSummary>& perLead) {
  if (!perLead) {
    json.Null();
    return;
  }
  json.BeginObject();
  json.Field("leadCount", perLead->header.leadCount);
  json.Field("blockLength", perLead->header.blockLength);
  json.Key("leads");
  json.BeginArray();
  for (const ScpLeadMeasurements& lead : perLead->leads) {
    json.BeginObject();
    json.Field("code", lead.leadCode);
    json.Key("name");
    json.String(LeadLabel(lead.leadCode));
    json.Key("values");
    json.BeginObject();
    for (int k = 0; k < kScpLeadMeasurementValues; ++k) {
      json.Key(kLeadValueNames[k].key);
      json.Number(lead.values[k]);
    }
    json.EndObject();
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

}  // namespace

SignalSummary ReadSignalSummary(const ScpRecord* record) {
  SignalSummary summary;
  summary.huffmanTables = ReadHuffmanTablesSummary(record);
  summary.rawRhythm = ReadRawRhythmSummary(record);
  summary.leads = ReadLeadTable(record);
  summary.referenceBeatHeader = ReadSignalHeader(record, kScpReferenceSection);
  summary.rhythmHeader = ReadSignalHeader(record, kScpRhythmSection);
  summary.qrs = ReadQrs(record);
  summary.globalMeasurements = ReadGlobalMeasurements(record);
  summary.leadMeasurements = ReadLeadMeasurements(record);
  return summary;
}

void PrintSignalSummary(std::ostream& out, const ScpRecord* record, const SignalSummary& summary) {
  PrintHuffmanTables(out, record, summary.huffmanTables);
  PrintRawRhythm(out, summary.rawRhythm);
  PrintLeadTable(out, record, summary.leads);
  PrintSignalHeader(out, record, "Reference beat header", kScpReferenceSection,
                    summary.referenceBeatHeader);
  PrintSignalHeader(out, record, "Rhythm header", kScpRhythmSection, summary.rhythmHeader);
  PrintQrs(out, record, summary.qrs);
  PrintGlobalMeasurements(out, record, summary.globalMeasurements);
  PrintLeadMeasurements(out, record, summary.leadMeasurements);
}

void WriteSignalSummary(JsonWriter& json, const SignalSummary& summary) {
  json.Key("leads");
  WriteLeads(json, summary.leads);
  json.Key("referenceBeatHeader");
  WriteSignalHeader(json, summary.referenceBeatHeader);
  json.Key("rhythmHeader");
  WriteSignalHeader(json, summary.rhythmHeader);
  json.Key("qrs");
  WriteQrs(json, summary.qrs);
  json.Key("globalMeasurements");
  WriteGlobalMeasurements(json, summary.globalMeasurements);
  json.Key("leadMeasurements");
  WriteLeadMeasurements(json, summary.leadMeasurements);
  json.Key("huffmanTables");
  WriteHuffmanTables(json, summary.huffmanTables);
  json.Key("rawRhythm");
  WriteRawRhythm(json, summary.rawRhythm);
}

}  // namespace scptool
