// scptool info FILE [--json]: the sections as stored, the state of every checksum, what the
// signal and measurement sections declare, and what the document makes of the record as its
// windows show it: the heart rate, the patient's items and every statement.
#include <iomanip>
#include <iostream>

#include "app/Resources.h"
#include "framework/ResourceTable.h"
#include "tools/scptool/Commands.h"
#include "tools/scptool/DocumentSummary.h"
#include "tools/scptool/JsonWriter.h"
#include "tools/scptool/SignalSummary.h"

namespace scptool {

namespace {

void PrintText(const std::string& file, const ScpRecord& record, const ScpRecordCheck& check) {
  std::cout << file << "\n";
  std::cout << "Sections as stored (" << ScpRecordSectionCount(&record) << "):\n"
            << "     id    length\n";
  for (uint16_t i = 0; i < ScpRecordSectionCount(&record); ++i) {
    std::cout << "  " << std::setw(5) << ScpRecordIdAt(&record, i) << std::setw(10)
              << ScpRecordLengthAt(&record, i) << "\n";
  }
  bool lengthOk = static_cast<int64_t>(check.lengthField) == check.fileSize;
  std::cout << "Record length field " << check.lengthField << ", file size " << check.fileSize
            << (lengthOk ? "  ok" : "  MISMATCH") << "\n";
  std::cout << "Record CRC stored " << Hex16(check.storedCrc) << ", computed "
            << Hex16(check.computedCrc)
            << (check.storedCrc == check.computedCrc ? "  ok" : "  MISMATCH") << "\n";
  std::cout << "Section CRCs (pointer table order):\n"
            << "     id     index    length  stored    computed\n";
  for (uint32_t i = 0; i < check.sectionCount; ++i) {
    const ScpSectionCheck& section = check.sections[i];
    std::cout << "  " << std::setw(5) << section.id << std::setw(10) << section.index
              << std::setw(10) << section.headerLength << "  " << Hex16(section.storedCrc) << "    "
              << Hex16(section.computedCrc) << (ScpSectionCheckOk(&section) ? "  ok" : "  MISMATCH")
              << "\n";
  }
  PrintSignalSummary(std::cout, &record, ReadSignalSummary(&record));
  PrintDocumentSummary(std::cout, ReadDocumentSummary(&record, QDate::currentDate()));
}

// The keys of a record's or a section's CRC: stored, computed, and whether they agree.
void WriteCrcFields(JsonWriter& json, uint16_t stored, uint16_t computed, bool ok) {
  json.Field("stored", stored);
  json.Field("computed", computed);
  json.Key("ok");
  json.Bool(ok);
}

void PrintJson(const std::string& file, const ScpRecord& record, const ScpRecordCheck& check) {
  JsonWriter json(std::cout);
  json.BeginObject();
  json.Key("file");
  json.String(file);
  json.Key("sections");
  json.BeginArray();
  for (uint16_t i = 0; i < ScpRecordSectionCount(&record); ++i) {
    json.BeginObject();
    json.Field("id", ScpRecordIdAt(&record, i));
    json.Field("length", ScpRecordLengthAt(&record, i));
    json.EndObject();
  }
  json.EndArray();
  json.Key("crc");
  json.BeginObject();
  json.Key("record");
  json.BeginObject();
  WriteCrcFields(json, check.storedCrc, check.computedCrc, check.storedCrc == check.computedCrc);
  json.EndObject();
  json.Key("sections");
  json.BeginArray();
  for (uint32_t i = 0; i < check.sectionCount; ++i) {
    const ScpSectionCheck& section = check.sections[i];
    json.BeginObject();
    json.Field("id", section.id);
    WriteCrcFields(json, section.storedCrc, section.computedCrc, SectionCrcOk(section));
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  json.Key("recordLength");
  json.BeginObject();
  json.Field("field", check.lengthField);
  json.Field("fileSize", check.fileSize);
  json.Key("ok");
  json.Bool(static_cast<int64_t>(check.lengthField) == check.fileSize);
  json.EndObject();
  const DocumentSummary document = ReadDocumentSummary(&record, QDate::currentDate());
  SignalSummary signal = ReadSignalSummary(&record);
  if (signal.globalMeasurements) {
    signal.globalMeasurements->showsHeartRate = true;
    signal.globalMeasurements->heartRate = HeartRateOf(document);
  }
  WriteSignalSummary(json, signal);
  WriteDocumentSummary(json, document);
  json.EndObject();
  std::cout << "\n";
}

}  // namespace

int RunInfo(const Arguments& arguments) {
  std::string file;
  bool asJson = false;
  if (!ParseFileAndFlag("info", "--json", arguments, &file, &asJson)) {
    return kExitUnusable;
  }
  SetResourceTable(QuillonResourceTable());  // the markers' texts, as the windows show them
  const CheckedRecord checked = ReadAndCheckOrReport(file);
  if (checked.check == nullptr) {
    return kExitUnusable;
  }
  if (asJson) {
    PrintJson(file, *checked.record, *checked.check);
  } else {
    PrintText(file, *checked.record, *checked.check);
  }
  return kExitOk;
}

}  // namespace scptool
