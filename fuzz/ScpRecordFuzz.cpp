// Fuzz target: any byte string, read as an SCP-ECG file, goes through everything a viewer does
// with a record it opens: the checksum report, the reader, the patient and statement items, the
// measurement readers and the decoding of the twelve display leads. It must never crash or touch
// memory outside its blocks, whatever the bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "leads/LeadTables.h"
#include "scp/ScpCheck.h"
#include "scp/ScpFields.h"
#include "scp/ScpItems.h"
#include "scp/ScpMeasurements.h"
#include "scp/ScpReader.h"
#include "scp/ScpRecord.h"

namespace {

// The record API reads files, so every input is written to one scratch file per process.
const std::string& ScratchPath() {
  static const std::string kPath = [] {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr ? dir : "/tmp") + "/quillon-fuzz-" +
           std::to_string(static_cast<long>(getpid())) + ".scp";
  }();
  return kPath;
}

bool WriteScratch(const uint8_t* data, size_t size) {
  FILE* file = std::fopen(ScratchPath().c_str(), "wb");
  if (file == nullptr) {
    return false;
  }
  // An empty input may come as a null pointer, which fwrite must not be given.
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

void ReadItems(const ScpRecord* record) {
  char text[256];
  uint32_t length = 0;
  for (int tag = 0; tag < 256; ++tag) {
    ScpGetItemText(record, 1, static_cast<uint8_t>(tag), text, sizeof text, &length);
  }
  ScpStatementHeader header{};
  ScpGetStatementHeader(record, 8, &header);
  for (uint8_t statement = 0; statement < 6; ++statement) {
    ScpGetItemText(record, 8, statement, text, sizeof text, &length);
  }
}

void ReadMeasurements(const ScpRecord* record) {
  ScpMeasurementHeader globals{};
  ScpBeatMeasurements beat{};
  ScpGetMeasurementHeader(record, &globals);
  ScpGetBeatMeasurements(record, 0, &beat);
  ScpLeadMeasurementHeader leadHeader{};
  if (ScpGetLeadMeasurementHeader(record, &leadHeader) == kScpOk) {
    ScpLeadMeasurements lead{};
    for (uint16_t i = 0; i < leadHeader.leadCount && i < 16; ++i) {
      ScpGetLeadMeasurements(record, i, &lead);
    }
  }
}

void DecodeLeads(const ScpRecord* record) {
  static ScpReferenceBeat refLeads[kLeadTableCapacity];
  static ScpRhythmSignal rhythmLeads[kLeadTableCapacity];
  const int32_t refCount = DecodeReferenceLeads(record, refLeads);
  const int32_t rhythmCount = DecodeRhythmLeads(record, refLeads, refCount, rhythmLeads);
  uint16_t fiducials[kFiducialCount];
  ReadReferenceFiducials(record, fiducials);
  FreeRhythmLeads(rhythmLeads, rhythmCount);
  FreeReferenceLeads(refLeads, refCount);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!WriteScratch(data, size)) {
    return 0;
  }
  ScpRecordCheck* check = nullptr;
  if (ScpCheckRecordFile(ScratchPath().c_str(), &check) == kScpOk) {
    ScpRecordCheckOk(check);
    ScpCheckFree(check);
  }
  ScpRecord* record = ScpReadRecord(ScratchPath().c_str());
  if (record != nullptr) {
    ReadItems(record);
    ReadMeasurements(record);
    DecodeLeads(record);
    ScpRecordFree(record);
  }
  std::remove(ScratchPath().c_str());
  return 0;
}
