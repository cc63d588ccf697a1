// Tagged items: the patient and examination data of section 1 and the statements of sections 8
// and 11 (behind a 9-byte statement header), and any section numbered 12 or above.
//
// Item readers and writers accept sections 1, 8, 11 and 12 and above, and fail with
// kScpErrNotItemSection for 2 to 7, 9 and 10 (and 0). Readers return the first matching item
// before the terminator (tag 255) and never look past the section body.
#pragma once

#include <cstdint>

#include "scp/ScpFields.h"
#include "scp/ScpRecord.h"

constexpr uint8_t kScpTagTerminator = 255;

// Section 1 tags read and written by Quillon.
enum ScpPatientTag : uint8_t {
  kScpTagLastName = 0,
  kScpTagFirstName = 1,
  kScpTagPatientId = 2,
  kScpTagSecondLastName = 3,
  kScpTagAge = 4,
  kScpTagDateOfBirth = 5,
  kScpTagHeight = 6,
  kScpTagWeight = 7,
  kScpTagSex = 8,
  kScpTagRace = 9,
  kScpTagSystolic = 11,
  kScpTagDiastolic = 12,
  kScpTagDiagnosis = 13,
  kScpTagAcquiringInstitution = 16,
  kScpTagAnalysingInstitution = 17,
  kScpTagAcquiringDepartment = 18,
  kScpTagAnalysingDepartment = 19,
  kScpTagReferringPhysician = 20,
  kScpTagConfirmingPhysician = 21,
  kScpTagTechnician = 22,
  kScpTagRoom = 23,
  kScpTagStat = 24,
  kScpTagAcquisitionDate = 25,
  kScpTagAcquisitionTime = 26,
  kScpTagBaselineFilter = 27,
  kScpTagLowPassFilter = 28,
  kScpTagFreeText = 30,
  kScpTagSequenceNumber = 31,
};

// Section 1 tags Quillon neither shows nor edits, but removes or blanks when it anonymises.
enum ScpIdentifyingTag : uint8_t {
  kScpTagAcquiringDevice = 14,  // device identification (layout below)
  kScpTagAnalysingDevice = 15,  // the same layout, for the analysing device
  kScpTagMedicalHistoryText = 35,
};

// The device identification of tags 14 and 15: institution, department and device numbers (three
// words), fixed fields up to kScpDeviceFirstTextOffset, then five zero-ended texts: the analysing
// program's revision, the device's serial number, its system software, the SCP implementation
// and the manufacturer's trade name.
constexpr uint32_t kScpDeviceNumbersSize = 6;
constexpr uint32_t kScpDeviceFirstTextOffset = 36;
constexpr int kScpDeviceSerialText = 1;  // index among the five texts

// Finds the first item with `tag` and copies min(size, its length) value bytes into `buffer`;
// *length (may be null) receives the item's full stored length (may exceed size). Returns 0;
// kScpErrNotItemSection - kScpLayerAccessor (-309) for a section that holds no items;
// kScpErrNoSection - kScpLayerRecord - kScpLayerAccessor (-504) when the section is absent;
// kScpErrNoData - kScpLayerAccessor (-308) for a null buffer with a non-zero size;
// kScpErrItemNotFound - kScpLayerAccessor (-310) when no item before the terminator or the body
// end has the tag. An item whose value runs past the body end is treated as the end, even when it
// carries the tag: nothing beyond the body is ever read. Nothing is written on failure.
ScpStatus ScpFindItem(const ScpRecord* record, uint16_t section, uint8_t tag, void* buffer,
                      uint32_t size, uint32_t* length);

// One item of a section, as ScpNextItem finds it: its tag, its value length, and the body offset of
// its 3-byte head.
struct ScpItemSpan {
  uint8_t tag;
  uint16_t length;
  uint32_t offset;
};

// The body offset of a section's first item: 9 for sections 8 and 11 (behind the statement
// header), else 0.
uint32_t ScpFirstItemOffset(uint16_t section);

// Walks the items of a section in stored order by ScpFindItem's rule. *cursor starts at
// ScpFirstItemOffset(section); each call fills *item with the item at *cursor and moves *cursor
// past it. Returns 0; kScpErrItemNotFound - kScpLayerAccessor (-310) at the end: the terminator
// (tag 255, length 0; *cursor then stays on it), fewer than 3 bytes left, or an item whose value
// runs past the body; the statuses of ScpFindItem for a section that holds no items or is absent.
ScpStatus ScpNextItem(const ScpRecord* record, uint16_t section, uint32_t* cursor,
                      ScpItemSpan* item);

// Reads a text item: at most size - 1 characters, always terminated (size 256 for the form).
// *length (may be null) receives the stored length. Statuses: those of ScpFindItem minus
// kScpLayerItem; kScpErrOutOfBounds - kScpLayerItem (-412) for a null text or a size of 0.
ScpStatus ScpGetItemText(const ScpRecord* record, uint16_t section, uint8_t tag, char* text,
                         uint32_t size, uint32_t* length);

// Typed readers. An item shorter than its layout fills the missing bytes with 0 (never stale
// memory). Statuses: those of ScpFindItem minus kScpLayerItem; the output is untouched on failure.
ScpStatus ScpGetItemValueUnit(const ScpRecord* record, uint16_t section, uint8_t tag,
                              ScpValueUnit* out);
ScpStatus ScpGetItemWord(const ScpRecord* record, uint16_t section, uint8_t tag, uint16_t* out);
ScpStatus ScpGetItemByte(const ScpRecord* record, uint16_t section, uint8_t tag, uint8_t* out);
ScpStatus ScpGetItemTime(const ScpRecord* record, uint16_t section, uint8_t tag, ScpTime* out);
ScpStatus ScpGetItemDate(const ScpRecord* record, uint16_t section, uint8_t tag, ScpDate* out);

// Reads the 9-byte statement header of section 8, 11 or 12 and above. Returns 0;
// kScpErrNotItemSection - kScpLayerAccessor (-309) for any other id; a field-codec status minus
// kScpLayerAccessor when the section is absent (-504) or shorter than 9 bytes (-412). The output
// is untouched on failure.
ScpStatus ScpGetStatementHeader(const ScpRecord* record, uint16_t section, ScpStatementHeader* out);

// Appends one item (3-byte head, then `n` value bytes packed with `layout` when value is given)
// at the end of the section body. A head that was appended stays when the value fails.
// Returns 0; kScpErrNotItemSection - kScpLayerItem (-409) for a section that holds no items; or
// the failing ScpAppendFields status minus kScpLayerItem (-904 for an absent section).
ScpStatus ScpAddItem(ScpRecord* record, uint16_t section, uint8_t tag, int layout,
                     const void* value, uint16_t n);

// Typed writers; each appends one item. Statuses: those of ScpAddItem minus kScpLayerTypedItem;
// kScpErrNoData - kScpLayerTypedItem (-508) for a null value or text; a text longer than 65534
// bytes is refused with kScpErrOutOfBounds - kScpLayerTypedItem (-512) and nothing is appended.
ScpStatus ScpAddItemText(ScpRecord* record, uint16_t section, uint8_t tag, const char* text);
ScpStatus ScpAddItemValueUnit(ScpRecord* record, uint16_t section, uint8_t tag,
                              const ScpValueUnit* value);
ScpStatus ScpAddItemWord(ScpRecord* record, uint16_t section, uint8_t tag, uint16_t value);
ScpStatus ScpAddItemByte(ScpRecord* record, uint16_t section, uint8_t tag, uint8_t value);
ScpStatus ScpAddItemTime(ScpRecord* record, uint16_t section, uint8_t tag, const ScpTime* value);
ScpStatus ScpAddItemDate(ScpRecord* record, uint16_t section, uint8_t tag, const ScpDate* value);

// Appends the terminator (tag 255, length 0). Statuses as the typed writers.
ScpStatus ScpAddItemEnd(ScpRecord* record, uint16_t section);

// Writes the statement header of section 8, 11 or 12 and above: appended to an empty body,
// overwritten in place when the body holds at least 9 bytes. Returns 0;
// kScpErrNotItemSection - kScpLayerAccessor (-309) for any other id; kScpErrShortSection -
// kScpLayerAccessor (-313) when the body holds 1 to 8 bytes; -504 when the section is absent;
// -308 for a null header; an ScpAppendFields status when appending fails.
ScpStatus ScpSetStatementHeader(ScpRecord* record, uint16_t section,
                                const ScpStatementHeader* header);
