#include "scp/ScpItems.h"

#include <cstring>

#include "scp/ScpSections.h"

namespace {

constexpr uint32_t kMaxItemLength = 0xFFFF;

bool HoldsItems(uint16_t section) {
  return section == kScpPatientSection || section == kScpStatementSection ||
         section == kScpUniversalStatementSection || section >= kScpFirstManufacturerSection;
}

bool HoldsStatementHeader(uint16_t section) {
  return section == kScpStatementSection || section == kScpUniversalStatementSection ||
         section >= kScpFirstManufacturerSection;
}

// Runs ScpFindItem for a fixed-layout value: bytes the stored item lacks read as 0.
ScpStatus GetTypedItem(const ScpRecord* record, uint16_t section, uint8_t tag, int layout,
                       void* out) {
  uint8_t scratch[16] = {};
  auto size = static_cast<uint32_t>(ScpLayoutSize(layout));
  uint32_t length = 0;
  ScpStatus status = ScpFindItem(record, section, tag, scratch, size, &length);
  if (status != kScpOk) {
    return status - kScpLayerItem;
  }
  ScpUnpack(scratch, size, layout, out, 0, 0);
  return kScpOk;
}

ScpStatus AddTypedItem(ScpRecord* record, uint16_t section, uint8_t tag, int layout,
                       const void* value) {
  if (value == nullptr) {
    return kScpErrNoData - kScpLayerTypedItem;
  }
  ScpStatus status =
      ScpAddItem(record, section, tag, layout, value, static_cast<uint16_t>(ScpLayoutSize(layout)));
  return status == kScpOk ? kScpOk : status - kScpLayerTypedItem;
}

}  // namespace

ScpStatus ScpFindItem(const ScpRecord* record, uint16_t section, uint8_t tag, void* buffer,
                      uint32_t size, uint32_t* length) {
  if (!HoldsItems(section)) {
    return kScpErrNotItemSection - kScpLayerAccessor;
  }
  int64_t bodyLength = ScpRecordSectionLength(record, section);
  if (bodyLength < 0) {
    return kScpErrNoSection - kScpLayerRecord - kScpLayerAccessor;
  }
  if (size > 0 && buffer == nullptr) {
    return kScpErrNoData - kScpLayerAccessor;
  }
  uint64_t offset = ScpFirstItemOffset(section);
  while (offset + kScpItemHeadSize <= static_cast<uint64_t>(bodyLength)) {
    ScpItemHead head{};
    ScpStatus status =
        ScpGetFields(record, section, kScpLayoutItemHead, &head, static_cast<uint32_t>(offset), 0);
    if (status != kScpOk) {
      return status - kScpLayerAccessor;
    }
    offset += kScpItemHeadSize;
    // An item whose value runs past the body is where the readable items end.
    if (offset + head.length > static_cast<uint64_t>(bodyLength)) {
      break;
    }
    if (head.tag == tag) {
      uint32_t copied = head.length < size ? head.length : size;
      status = ScpGetFields(record, section, kScpLayoutBytes, buffer, static_cast<uint32_t>(offset),
                            copied);
      if (status != kScpOk) {
        return status - kScpLayerAccessor;
      }
      if (length != nullptr) {
        *length = head.length;
      }
      return kScpOk;
    }
    if (head.tag == kScpTagTerminator && head.length == 0) {
      break;
    }
    offset += head.length;
  }
  return kScpErrItemNotFound - kScpLayerAccessor;
}

uint32_t ScpFirstItemOffset(uint16_t section) {
  return section == kScpStatementSection || section == kScpUniversalStatementSection
             ? kScpStatementHeaderSize
             : 0;
}

ScpStatus ScpNextItem(const ScpRecord* record, uint16_t section, uint32_t* cursor,
                      ScpItemSpan* item) {
  if (!HoldsItems(section)) {
    return kScpErrNotItemSection - kScpLayerAccessor;
  }
  const int64_t bodyLength = ScpRecordSectionLength(record, section);
  if (bodyLength < 0) {
    return kScpErrNoSection - kScpLayerRecord - kScpLayerAccessor;
  }
  if (cursor == nullptr || item == nullptr) {
    return kScpErrNoData - kScpLayerAccessor;
  }
  const uint64_t offset = *cursor;
  if (offset + kScpItemHeadSize > static_cast<uint64_t>(bodyLength)) {
    return kScpErrItemNotFound - kScpLayerAccessor;
  }
  ScpItemHead head{};
  const ScpStatus status =
      ScpGetFields(record, section, kScpLayoutItemHead, &head, static_cast<uint32_t>(offset), 0);
  if (status != kScpOk) {
    return status - kScpLayerAccessor;
  }
  const uint64_t end = offset + kScpItemHeadSize + head.length;
  if (end > static_cast<uint64_t>(bodyLength) ||
      (head.tag == kScpTagTerminator && head.length == 0)) {
    return kScpErrItemNotFound - kScpLayerAccessor;
  }
  *item = {head.tag, head.length, static_cast<uint32_t>(offset)};
  *cursor = static_cast<uint32_t>(end);
  return kScpOk;
}

ScpStatus ScpGetItemText(const ScpRecord* record, uint16_t section, uint8_t tag, char* text,
                         uint32_t size, uint32_t* length) {
  if (text == nullptr || size == 0) {
    return kScpErrOutOfBounds - kScpLayerItem;
  }
  // The value goes straight into the caller's buffer; the text ends at its first zero byte or
  // after size - 1 characters, whichever comes first.
  uint32_t stored = 0;
  ScpStatus status = ScpFindItem(record, section, tag, text, size - 1, &stored);
  if (status != kScpOk) {
    return status - kScpLayerItem;
  }
  text[stored < size - 1 ? stored : size - 1] = '\0';
  if (length != nullptr) {
    *length = stored;
  }
  return kScpOk;
}

ScpStatus ScpGetItemValueUnit(const ScpRecord* record, uint16_t section, uint8_t tag,
                              ScpValueUnit* out) {
  return GetTypedItem(record, section, tag, kScpLayoutValueUnit, out);
}

ScpStatus ScpGetItemWord(const ScpRecord* record, uint16_t section, uint8_t tag, uint16_t* out) {
  return GetTypedItem(record, section, tag, kScpLayoutWord, out);
}

ScpStatus ScpGetItemByte(const ScpRecord* record, uint16_t section, uint8_t tag, uint8_t* out) {
  return GetTypedItem(record, section, tag, kScpLayoutByte, out);
}

ScpStatus ScpGetItemTime(const ScpRecord* record, uint16_t section, uint8_t tag, ScpTime* out) {
  return GetTypedItem(record, section, tag, kScpLayoutTime, out);
}

ScpStatus ScpGetItemDate(const ScpRecord* record, uint16_t section, uint8_t tag, ScpDate* out) {
  return GetTypedItem(record, section, tag, kScpLayoutDate, out);
}

ScpStatus ScpGetStatementHeader(const ScpRecord* record, uint16_t section,
                                ScpStatementHeader* out) {
  if (!HoldsStatementHeader(section)) {
    return kScpErrNotItemSection - kScpLayerAccessor;
  }
  ScpStatementHeader header{};
  ScpStatus status = ScpGetFields(record, section, kScpLayoutStatementHeader, &header, 0, 0);
  if (status != kScpOk) {
    return status - kScpLayerAccessor;
  }
  *out = header;
  return kScpOk;
}

ScpStatus ScpAddItem(ScpRecord* record, uint16_t section, uint8_t tag, int layout,
                     const void* value, uint16_t n) {
  if (!HoldsItems(section)) {
    return kScpErrNotItemSection - kScpLayerItem;
  }
  ScpItemHead head{tag, n};
  ScpStatus status = ScpAppendFields(record, section, kScpLayoutItemHead, &head, kScpItemHeadSize);
  if (status == kScpOk && value != nullptr) {
    status = ScpAppendFields(record, section, layout, value, n);
  }
  return status == kScpOk ? kScpOk : status - kScpLayerItem;
}

ScpStatus ScpAddItemText(ScpRecord* record, uint16_t section, uint8_t tag, const char* text) {
  if (text == nullptr) {
    return kScpErrNoData - kScpLayerTypedItem;
  }
  size_t length = std::strlen(text);
  if (length + 1 > kMaxItemLength) {
    return kScpErrOutOfBounds - kScpLayerTypedItem;
  }
  ScpStatus status =
      ScpAddItem(record, section, tag, kScpLayoutText, text, static_cast<uint16_t>(length + 1));
  return status == kScpOk ? kScpOk : status - kScpLayerTypedItem;
}

ScpStatus ScpAddItemValueUnit(ScpRecord* record, uint16_t section, uint8_t tag,
                              const ScpValueUnit* value) {
  return AddTypedItem(record, section, tag, kScpLayoutValueUnit, value);
}

ScpStatus ScpAddItemWord(ScpRecord* record, uint16_t section, uint8_t tag, uint16_t value) {
  return AddTypedItem(record, section, tag, kScpLayoutWord, &value);
}

ScpStatus ScpAddItemByte(ScpRecord* record, uint16_t section, uint8_t tag, uint8_t value) {
  return AddTypedItem(record, section, tag, kScpLayoutByte, &value);
}

ScpStatus ScpAddItemTime(ScpRecord* record, uint16_t section, uint8_t tag, const ScpTime* value) {
  return AddTypedItem(record, section, tag, kScpLayoutTime, value);
}

ScpStatus ScpAddItemDate(ScpRecord* record, uint16_t section, uint8_t tag, const ScpDate* value) {
  return AddTypedItem(record, section, tag, kScpLayoutDate, value);
}

ScpStatus ScpAddItemEnd(ScpRecord* record, uint16_t section) {
  ScpStatus status = ScpAddItem(record, section, kScpTagTerminator, kScpLayoutBytes, nullptr, 0);
  return status == kScpOk ? kScpOk : status - kScpLayerTypedItem;
}

ScpStatus ScpSetStatementHeader(ScpRecord* record, uint16_t section,
                                const ScpStatementHeader* header) {
  if (!HoldsStatementHeader(section)) {
    return kScpErrNotItemSection - kScpLayerAccessor;
  }
  if (header == nullptr) {
    return kScpErrNoData - kScpLayerAccessor;
  }
  int64_t length = ScpRecordSectionLength(record, section);
  if (length < 0) {
    return kScpErrNoSection - kScpLayerRecord - kScpLayerAccessor;
  }
  if (length == 0) {
    return ScpAppendFields(record, section, kScpLayoutStatementHeader, header,
                           kScpStatementHeaderSize);
  }
  if (length < kScpStatementHeaderSize) {
    return kScpErrShortSection - kScpLayerAccessor;
  }
  ScpStatus status = ScpPutFields(record, section, kScpLayoutStatementHeader, header, 0, 0);
  return status == kScpOk ? kScpOk : status - kScpLayerAccessor;
}
