#include "scp/ScpLeads.h"

#include "scp/ScpMemory.h"

namespace {

constexpr uint32_t kLeadTableHeaderSize = 2;
constexpr uint32_t kLeadEntrySize = 9;
constexpr uint32_t kLeadCodeOffset = 8;  // after the start and end sample numbers
constexpr uint32_t kQrsHeaderSize = 6;
constexpr uint32_t kQrsEntrySize = 14;
constexpr uint32_t kProtectedAreaSize = 8;
constexpr uint32_t kSignalHeaderSize = 6;

bool IsSignalDataSection(uint16_t sectionId) {
  return sectionId == kScpReferenceSection || sectionId == kScpRhythmSection;
}

// The field codec reports an absent or unreachable section at the record layer; the data locator
// reports the same failures at the directory layer.
ScpStatus AtDirectoryLayer(ScpStatus fieldStatus) {
  if (fieldStatus == kScpErrNoSection - kScpLayerRecord) {
    return kScpErrNoSection - kScpLayerDirectory;
  }
  if (fieldStatus == kScpErrNoData - kScpLayerRecord) {
    return kScpErrNoData - kScpLayerDirectory;
  }
  return fieldStatus;
}

}  // namespace

ScpStatus ScpGetLeadTableHeader(const ScpRecord* record, ScpLeadTableHeader* out) {
  const ScpStatus status =
      ScpGetFields(record, kScpLeadSection, kScpLayoutLeadTableHeader, out, 0, 0);
  return status == kScpOk ? kScpOk : static_cast<ScpStatus>(status - kScpLayerAccessor);
}

ScpStatus ScpGetLeadEntry(const ScpRecord* record, uint16_t ordinal, ScpLeadEntry* out) {
  const uint32_t offset = kLeadTableHeaderSize + kLeadEntrySize * ordinal;
  const ScpStatus status =
      ScpGetFields(record, kScpLeadSection, kScpLayoutLeadEntry, out, offset, 0);
  return status == kScpOk ? kScpOk : static_cast<ScpStatus>(status - kScpLayerAccessor);
}

ScpStatus ScpGetQrsHeader(const ScpRecord* record, ScpQrsHeader* out) {
  const ScpStatus status = ScpGetFields(record, kScpQrsSection, kScpLayoutQrsHeader, out, 0, 0);
  return status == kScpOk ? kScpOk : static_cast<ScpStatus>(status - kScpLayerAccessor);
}

ScpStatus ScpGetQrsEntry(const ScpRecord* record, ScpQrsEntry* out, uint16_t index) {
  const uint32_t offset = kQrsHeaderSize + kQrsEntrySize * index;
  const ScpStatus status = ScpGetFields(record, kScpQrsSection, kScpLayoutQrsEntry, out, offset, 0);
  return status == kScpOk ? kScpOk : static_cast<ScpStatus>(status - kScpLayerAccessor);
}

ScpStatus ScpGetProtectedArea(const ScpRecord* record, uint16_t index, ScpProtectedArea* out) {
  ScpQrsHeader header;
  const ScpStatus headerStatus = ScpGetQrsHeader(record, &header);
  if (headerStatus != kScpOk) {
    return headerStatus;
  }
  if (index >= header.qrsCount) {
    return kScpErrNoSuchEntry - kScpLayerAccessor;
  }
  const uint32_t listStart = kQrsHeaderSize + kQrsEntrySize * header.qrsCount;
  const uint32_t listEnd = listStart + kProtectedAreaSize * header.qrsCount;
  if (ScpRecordSectionLength(record, kScpQrsSection) < listEnd) {
    return kScpErrOutOfBounds - kScpLayerAccessor;
  }
  const uint32_t offset = listStart + kProtectedAreaSize * index;
  ScpStatus status =
      ScpGetFields(record, kScpQrsSection, kScpLayoutDword, &out->startSample, offset, 0);
  if (status == kScpOk) {
    status = ScpGetFields(record, kScpQrsSection, kScpLayoutDword, &out->endSample, offset + 4, 0);
  }
  return status == kScpOk ? kScpOk : static_cast<ScpStatus>(status - kScpLayerAccessor);
}

ScpStatus ScpGetQrsComplexes(const ScpRecord* record, uint16_t count, ScpQrsEntry* entries,
                             ScpProtectedArea* areas, bool* hasAreas) {
  *hasAreas = false;
  if (count == 0) {
    return kScpOk;
  }
  ScpQrsEntry last;
  const ScpStatus lastStatus = ScpGetQrsEntry(record, &last, static_cast<uint16_t>(count - 1));
  if (lastStatus != kScpOk) {
    return lastStatus;
  }
  // The last complex was read, so the section is there and holds every complex.
  const uint8_t* body = ScpMemLock(ScpRecordSectionData(record, kScpQrsSection));
  const auto length = static_cast<uint32_t>(ScpRecordSectionLength(record, kScpQrsSection));
  for (uint16_t i = 0; i < count; ++i) {
    ScpUnpack(body, length, kScpLayoutQrsEntry, &entries[i], kQrsHeaderSize + kQrsEntrySize * i, 0);
  }
  const uint32_t listStart = kQrsHeaderSize + kQrsEntrySize * count;
  if (length < listStart + kProtectedAreaSize * count) {
    return kScpOk;
  }
  for (uint16_t i = 0; i < count; ++i) {
    const uint32_t offset = listStart + kProtectedAreaSize * i;
    ScpUnpack(body, length, kScpLayoutDword, &areas[i].startSample, offset, 0);
    ScpUnpack(body, length, kScpLayoutDword, &areas[i].endSample, offset + 4, 0);
  }
  *hasAreas = true;
  return kScpOk;
}

ScpStatus ScpGetSignalHeader(const ScpRecord* record, uint16_t sectionId, ScpSignalHeader* out) {
  if (!IsSignalDataSection(sectionId)) {
    return kScpErrNotItemSection - kScpLayerAccessor;
  }
  const ScpStatus status = ScpGetFields(record, sectionId, kScpLayoutSignalHeader, out, 0, 0);
  return status == kScpOk ? kScpOk : static_cast<ScpStatus>(status - kScpLayerAccessor);
}

ScpStatus ScpLocateLeadData(const ScpRecord* record, uint16_t sectionId, int ordinal, int leadCount,
                            int32_t* offset, int32_t* length) {
  if (!IsSignalDataSection(sectionId)) {
    return kScpErrNotItemSection - kScpLayerDirectory;
  }
  if (ordinal < 0 || ordinal >= leadCount) {
    return kScpErrNoSuchEntry - kScpLayerDirectory;
  }
  // The byte counts of all leads come first, then the data of each lead in turn.
  int64_t dataOffset = kSignalHeaderSize + 2 * static_cast<int64_t>(leadCount);
  uint16_t byteCount = 0;
  const ScpStatus firstStatus =
      ScpGetFields(record, sectionId, kScpLayoutWord, &byteCount, kSignalHeaderSize, 0);
  if (firstStatus != kScpOk) {
    return AtDirectoryLayer(firstStatus);
  }
  // The first count was read, so the section is there: the others are read from its body.
  const uint8_t* body = ScpMemLock(ScpRecordSectionData(record, sectionId));
  const auto bodyLength = static_cast<uint32_t>(ScpRecordSectionLength(record, sectionId));
  for (int lead = 1; lead <= ordinal; ++lead) {
    dataOffset += byteCount;
    const ScpStatus status =
        ScpUnpack(body, bodyLength, kScpLayoutWord, &byteCount, kSignalHeaderSize + 2 * lead, 0);
    if (status != kScpOk) {
      return status;
    }
  }
  if (dataOffset + byteCount > ScpRecordSectionLength(record, sectionId)) {
    return kScpErrOutOfBounds - kScpLayerDirectory;
  }
  *offset = static_cast<int32_t>(dataOffset);
  *length = byteCount;
  return kScpOk;
}

int16_t ScpFindLead(const ScpRecord* record, uint8_t leadCode) {
  ScpLeadTableHeader table;
  const ScpStatus headerStatus = ScpGetLeadTableHeader(record, &table);
  if (headerStatus != kScpOk) {
    return static_cast<int16_t>(headerStatus - kScpLayerItem);
  }
  // The header was read, so the section is there: the entries' codes are looked at in its body.
  const uint8_t* body = ScpMemLock(ScpRecordSectionData(record, kScpLeadSection));
  const auto length = static_cast<uint32_t>(ScpRecordSectionLength(record, kScpLeadSection));
  for (uint16_t ordinal = 0; ordinal < table.leadCount; ++ordinal) {
    const uint32_t at = kLeadTableHeaderSize + kLeadEntrySize * ordinal;
    if (at + kLeadEntrySize > length) {
      return kScpErrOutOfBounds - kScpLayerDirectory - kScpLayerAccessor - kScpLayerItem;
    }
    if (body[at + kLeadCodeOffset] == leadCode) {
      return static_cast<int16_t>(ordinal);
    }
  }
  return kScpErrNoLead - kScpLayerItem;
}

ScpStatus ScpDescribeLead(const ScpRecord* record, uint16_t sectionId, uint8_t leadCode,
                          ScpLeadSignal* out) {
  const int16_t ordinal = ScpFindLead(record, leadCode);
  if (ordinal < 0) {
    return static_cast<ScpStatus>(ordinal - kScpLayerTypedItem);
  }
  out->ordinal = ordinal;

  ScpLeadTableHeader table;
  ScpStatus status = ScpGetLeadTableHeader(record, &table);
  ScpLeadEntry entry;
  if (status == kScpOk) {
    status = ScpGetLeadEntry(record, static_cast<uint16_t>(ordinal), &entry);
  }
  ScpSignalHeader signal;
  if (status == kScpOk) {
    status = ScpGetSignalHeader(record, sectionId, &signal);
  }
  if (status == kScpOk) {
    status = ScpLocateLeadData(record, sectionId, ordinal, table.leadCount, &out->dataOffset,
                               &out->dataLength);
  }
  if (status != kScpOk) {
    return static_cast<ScpStatus>(status - kScpLayerTypedItem);
  }
  out->leadCount = table.leadCount;
  out->leadFlags = table.leadFlags;
  out->startSample = entry.startSample;
  out->endSample = entry.endSample;
  out->leadCode = entry.leadCode;
  out->amplitudeMultiplier = signal.amplitudeMultiplier;
  out->sampleInterval = signal.sampleInterval;
  out->differenceEncoding = signal.differenceEncoding;
  out->bimodalFlag = signal.bimodalFlag;
  return kScpOk;
}
