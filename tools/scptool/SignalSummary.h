// What scptool info shows of the signal and measurement sections (3 to 7 and 10), read through
// the codec's own accessors, and how it prints that as text and as JSON.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "scp/ScpFields.h"
#include "scp/ScpLeads.h"
#include "scp/ScpRawRhythm.h"
#include "scp/ScpRecord.h"
#include "tools/scptool/JsonWriter.h"

namespace scptool {

// Section 3: the header and the entries that lie within the section, in order. Fewer entries
// than header.leadCount means the rest lie past the end of the body.
struct LeadTableSummary {
  ScpLeadTableHeader header;
  std::vector<ScpLeadEntry> entries;
};

// Section 4: the header, the complexes that lie within the section, and the protected areas
// when the section holds the whole list of them.
struct QrsSummary {
  ScpQrsHeader header;
  std::vector<ScpQrsEntry> complexes;
  std::optional<std::vector<ScpProtectedArea>> protectedAreas;
};

// Section 7: the header and measurement block 0 when the section is long enough to hold it.
struct GlobalMeasurementsSummary {
  ScpMeasurementHeader header;
  std::optional<ScpBeatMeasurements> block0;
  // The heart rate the document derives, written as "heartRate" when shown (scptool info sets
  // it): beats per minute, or none when not determined.
  bool showsHeartRate = false;
  std::optional<int> heartRate;
};

// Section 10: the header and the lead blocks that can be read, in order.
struct LeadMeasurementsSummary {
  ScpLeadMeasurementHeader header;
  std::vector<ScpLeadMeasurements> leads;
};

// Section 2: the default table's mark, the record's own tables (rows of each), or why its tables
// cannot be used.
struct HuffmanTablesSummary {
  bool defaultTable = false;
  std::vector<uint16_t> rows;  // per own table, in order
  std::string problem;         // empty when the tables can be used
};

// Section 12: the header of the uncompressed rhythm, or why it cannot be used.
struct RawRhythmSummary {
  ScpRawRhythmHeader header{};
  std::string problem;  // empty when the section fits its layout
};

// Each part is empty when its section is absent or its header cannot be read.
struct SignalSummary {
  std::optional<RawRhythmSummary> rawRhythm;
  std::optional<HuffmanTablesSummary> huffmanTables;
  std::optional<LeadTableSummary> leads;
  std::optional<ScpSignalHeader> referenceBeatHeader;  // section 5
  std::optional<ScpSignalHeader> rhythmHeader;         // section 6
  std::optional<QrsSummary> qrs;
  std::optional<GlobalMeasurementsSummary> globalMeasurements;
  std::optional<LeadMeasurementsSummary> leadMeasurements;
};

// Reads every part of the summary the record holds. Never fails: what cannot be read is left
// out, and a table stops at its first entry that lies outside its section.
SignalSummary ReadSignalSummary(const ScpRecord* record);

// Writes the summary as text, one block per section; a missing part reads "absent" when the
// record has no such section and "unreadable" when it has one too short for its header.
void PrintSignalSummary(std::ostream& out, const ScpRecord* record, const SignalSummary& summary);

// Adds the summary's keys to the JSON object being written: leads, referenceBeatHeader,
// rhythmHeader, qrs, globalMeasurements, leadMeasurements, huffmanTables and rawRhythm, each null
// when missing.
void WriteSignalSummary(JsonWriter& json, const SignalSummary& summary);

}  // namespace scptool
