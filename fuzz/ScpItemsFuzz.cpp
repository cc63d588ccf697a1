// Fuzz target: any byte string becomes the bodies of a patient section (1) and a statement
// section (8) of an in-memory record, which then goes through everything the patient form does
// with them: every tag read as text and as each typed value, the statement header read, items of
// every kind appended with values taken from the input, the header rewritten, and the sections
// read again. Nothing may crash, read outside a body, or leave a body shorter than its length.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "scp/ScpItems.h"
#include "scp/ScpSections.h"
#include "scp/ScpMemory.h"
#include "scp/ScpRecord.h"
#include "scp/ScpSections.h"

namespace {

constexpr uint16_t kItemSections[] = {kScpPatientSection, kScpStatementSection};

// Hands out the input's bytes in order, then zeros.
class InputCursor {
 public:
  InputCursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }
  uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }

  // The next `count` bytes (fewer at the end), as a block the record can own.
  ScpBlock Block(size_t count, uint32_t* length) {
    count = std::min(count, size_ - position_);
    ScpBlock block = ScpMemAlloc(count);
    if (block != nullptr && count > 0) {
      ScpMemCopy(ScpMemLock(block), data_ + position_, count);
    }
    position_ += count;
    *length = static_cast<uint32_t>(count);
    return block;
  }

  std::string Text() {
    const size_t count = Byte();
    std::string text;
    for (size_t i = 0; i < count; ++i) {
      text.push_back(static_cast<char>(Byte() | 1));  // no embedded terminator
    }
    return text;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

void AddSection(ScpRecord* record, uint16_t id, InputCursor& input) {
  uint32_t length = 0;
  ScpBlock block = input.Block(input.Word(), &length);
  if (block != nullptr && ScpRecordAddSection(record, id, length, block) != kScpOk) {
    ScpMemFree(block);
  }
}

// Every tag as text (each one a full search of the items), and a few tags, picked by the input,
// as each typed value.
void ReadEverything(const ScpRecord* record, InputCursor& input) {
  char text[256];
  uint32_t length = 0;
  for (uint16_t section : kItemSections) {
    for (int tag = 0; tag < 256; ++tag) {
      ScpGetItemText(record, section, static_cast<uint8_t>(tag), text, sizeof text, &length);
    }
    for (int pick = 0; pick < 4; ++pick) {
      const uint8_t tag = input.Byte();
      ScpValueUnit valueUnit;
      ScpGetItemValueUnit(record, section, tag, &valueUnit);
      uint16_t word = 0;
      ScpGetItemWord(record, section, tag, &word);
      uint8_t byte = 0;
      ScpGetItemByte(record, section, tag, &byte);
      ScpTime time;
      ScpGetItemTime(record, section, tag, &time);
      ScpDate date;
      ScpGetItemDate(record, section, tag, &date);
    }
    ScpStatementHeader header;
    ScpGetStatementHeader(record, section, &header);
  }
}

void WriteItems(ScpRecord* record, InputCursor& input) {
  for (uint16_t section : kItemSections) {
    const uint8_t tag = input.Byte();
    ScpAddItemText(record, section, tag, input.Text().c_str());
    const ScpValueUnit valueUnit{input.Word(), input.Byte()};
    ScpAddItemValueUnit(record, section, input.Byte(), &valueUnit);
    ScpAddItemWord(record, section, input.Byte(), input.Word());
    ScpAddItemByte(record, section, input.Byte(), input.Byte());
    const ScpTime time{input.Byte(), input.Byte(), input.Byte()};
    ScpAddItemTime(record, section, input.Byte(), &time);
    const ScpDate date{input.Word(), input.Byte(), input.Byte()};
    ScpAddItemDate(record, section, input.Byte(), &date);
    ScpAddItemEnd(record, section);
  }
  ScpStatementHeader header{};
  header.confirmed = input.Byte();
  header.year = input.Word();
  header.statementCount = input.Byte();
  ScpSetStatementHeader(record, kScpStatementSection, &header);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ScpRecord* record = ScpRecordCreate();
  if (record == nullptr) {
    return 0;
  }
  InputCursor input(data, size);
  AddSection(record, kScpPatientSection, input);
  AddSection(record, kScpStatementSection, input);
  ReadEverything(record, input);
  WriteItems(record, input);
  ReadEverything(record, input);
  // A section emptied and refilled from scratch, as the form does when it stores its fields.
  ScpRecordRemoveSection(record, kScpPatientSection);
  if (ScpRecordNewSection(record, kScpPatientSection) != nullptr) {
    WriteItems(record, input);
    ReadEverything(record, input);
  }
  ScpRecordFree(record);
  return 0;
}
