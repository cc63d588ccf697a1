#include "scp/ScpHuffmanTables.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "scp/ScpDecode.h"
#include "scp/ScpFields.h"
#include "scp/ScpLeads.h"

namespace {

constexpr uint32_t kRowBytes = 9;
constexpr int kMostLookupBits = 10;

// A row as the decoder uses it: the code in stream order, left-aligned in 32 bits.
struct Row {
  uint32_t pattern;
  uint8_t codeBits;
  uint8_t valueBits;
  uint8_t mode;
  int16_t value;  // the value of a code without value bits, or the table a switch names
};

// What the next `bits` bits of the stream open with: a row of up to `bits` bits, or (codeBits 0)
// only longer rows, found by a search.
struct LookupEntry {
  uint8_t codeBits;
  uint8_t valueBits;
  uint8_t mode;
  int16_t value;
};

struct Table {
  uint32_t firstRow;  // into ScpHuffmanTables::rows
  uint16_t rowCount;
  uint8_t lookupBits;
  uint32_t firstLookup;  // into ScpHuffmanTables::lookups
  uint32_t firstLong;    // into ScpHuffmanTables::longRows
  uint32_t longCount;
};

uint32_t Reverse(uint32_t code, int bits) {
  uint32_t reversed = 0;
  for (int bit = 0; bit < bits; ++bit) {
    reversed |= ((code >> bit) & 1u) << (bits - 1 - bit);
  }
  return reversed;
}

int BitWidth(uint32_t value) {
  int width = 0;
  while (value != 0) {
    ++width;
    value >>= 1;
  }
  return width;
}

}  // namespace

struct ScpHuffmanTables {
  uint16_t count;
  Table* tables;
  Row* rows;
  LookupEntry* lookups;
  Row* longRows;
};

namespace {

void SetProblem(ScpHuffmanTableProblem* problem, ScpHuffmanTableFault fault, uint16_t table,
                uint16_t row) {
  if (problem != nullptr) {
    *problem = {fault, table, row};
  }
}

// Checks one row; kNone when it can be decoded.
ScpHuffmanTableFault CheckRow(const ScpHuffmanCode& code, uint16_t tableCount) {
  if (code.prefixBits == 0 || code.prefixBits > kScpLongestHuffmanCode) {
    return ScpHuffmanTableFault::kCodeLength;
  }
  if (code.prefixBits < 32 && (code.code >> code.prefixBits) != 0) {
    return ScpHuffmanTableFault::kCodeBeyondBits;
  }
  if (code.mode == 1) {
    if (code.totalBits < code.prefixBits ||
        code.totalBits - code.prefixBits > kScpMostHuffmanValueBits) {
      return ScpHuffmanTableFault::kValueBits;
    }
  } else if (code.mode == 0) {
    if (code.baseValue < 1 || code.baseValue > tableCount) {
      return ScpHuffmanTableFault::kMissingTable;
    }
  } else {
    return ScpHuffmanTableFault::kBadMode;
  }
  return ScpHuffmanTableFault::kNone;
}

Row ToRow(const ScpHuffmanCode& code) {
  Row row{};
  row.codeBits = code.prefixBits;
  row.pattern = Reverse(code.code, code.prefixBits) << (32 - code.prefixBits);
  row.mode = code.mode;
  row.valueBits = code.mode == 1 ? static_cast<uint8_t>(code.totalBits - code.prefixBits) : 0;
  row.value = code.baseValue;
  return row;
}

// The position (1-based row) of a row whose code begins another's, or 0 when the rows are
// prefix-free. Sorted by pattern, a code that begins any other begins the one right after it.
uint16_t FindPrefixClash(const Row* rows, uint16_t count, uint16_t* order) {
  for (uint16_t i = 0; i < count; ++i) {
    order[i] = i;
  }
  std::sort(order, order + count, [rows](uint16_t a, uint16_t b) {
    if (rows[a].pattern != rows[b].pattern) {
      return rows[a].pattern < rows[b].pattern;
    }
    return rows[a].codeBits < rows[b].codeBits;
  });
  for (uint16_t i = 1; i < count; ++i) {
    const Row& shorter = rows[order[i - 1]];
    const Row& longer = rows[order[i]];
    const int bits = shorter.codeBits;
    const uint32_t mask = bits == 32 ? 0xFFFFFFFFu : ~(0xFFFFFFFFu >> bits);
    if ((longer.pattern & mask) == shorter.pattern) {
      return static_cast<uint16_t>(std::max(order[i - 1], order[i]) + 1);
    }
  }
  return 0;
}

// Lookup bits of a table: up to ten, no more than its longest code needs, and few for a table of
// few rows, so that a section of many small tables cannot ask for much memory.
uint8_t LookupBitsFor(const Row* rows, uint16_t count) {
  int longest = 0;
  for (uint16_t i = 0; i < count; ++i) {
    longest = std::max<int>(longest, rows[i].codeBits);
  }
  return static_cast<uint8_t>(std::min({kMostLookupBits, longest, 3 + BitWidth(count)}));
}

// Fills the table's lookup from its prefix-free rows and collects its longer rows.
void BuildLookup(ScpHuffmanTables* set, Table* table, uint32_t* longUsed) {
  const Row* rows = set->rows + table->firstRow;
  LookupEntry* lookup = set->lookups + table->firstLookup;
  table->firstLong = *longUsed;
  table->longCount = 0;
  for (uint16_t i = 0; i < table->rowCount; ++i) {
    const Row& row = rows[i];
    if (row.codeBits > table->lookupBits) {
      set->longRows[(*longUsed)++] = row;
      ++table->longCount;
      continue;
    }
    const uint32_t first = row.pattern >> (32 - table->lookupBits);
    const uint32_t span = 1u << (table->lookupBits - row.codeBits);
    for (uint32_t window = first; window < first + span; ++window) {
      lookup[window] = {row.codeBits, row.valueBits, row.mode, row.value};
    }
  }
}

// Reads the row counts and rows into the set's tables; kNone or the fault found.
ScpHuffmanTableFault ReadRows(const uint8_t* body, uint32_t length, ScpHuffmanTables* set,
                              uint16_t* faultTable, uint16_t* faultRow) {
  uint32_t offset = 2;
  uint32_t rowsUsed = 0;
  for (uint16_t t = 0; t < set->count; ++t) {
    *faultTable = static_cast<uint16_t>(t + 1);
    uint16_t rowCount = 0;
    if (ScpUnpack(body, length, kScpLayoutWord, &rowCount, offset, 0) != kScpOk ||
        static_cast<uint64_t>(rowCount) * kRowBytes > length - offset - 2) {
      return ScpHuffmanTableFault::kTruncated;
    }
    if (rowCount == 0) {
      return ScpHuffmanTableFault::kNoRows;
    }
    offset += 2;
    set->tables[t].firstRow = rowsUsed;
    set->tables[t].rowCount = rowCount;
    for (uint16_t r = 0; r < rowCount; ++r, offset += kRowBytes) {
      *faultRow = static_cast<uint16_t>(r + 1);
      ScpHuffmanCode code{};
      ScpUnpack(body, length, kScpLayoutByte, &code.prefixBits, offset, 0);
      ScpUnpack(body, length, kScpLayoutByte, &code.totalBits, offset + 1, 0);
      ScpUnpack(body, length, kScpLayoutByte, &code.mode, offset + 2, 0);
      ScpUnpack(body, length, kScpLayoutWord, &code.baseValue, offset + 3, 0);
      ScpUnpack(body, length, kScpLayoutDword, &code.code, offset + 5, 0);
      const ScpHuffmanTableFault fault = CheckRow(code, set->count);
      if (fault != ScpHuffmanTableFault::kNone) {
        return fault;
      }
      set->rows[rowsUsed++] = ToRow(code);
    }
    *faultRow = 0;
  }
  return ScpHuffmanTableFault::kNone;
}

template <typename T>
T* AllocateArray(uint64_t count) {
  return static_cast<T*>(std::calloc(static_cast<size_t>(std::max<uint64_t>(count, 1)), sizeof(T)));
}

// Holds the next bits of a byte run left-aligned in 64 bits, zeros below the bits it holds.
class Bits {
 public:
  Bits(const uint8_t* data, uint32_t byteCount) : next_(data), end_(data + byteCount) {}
  void Refill() {
    while (count_ <= 56 && next_ < end_) {
      bits_ |= static_cast<uint64_t>(*next_++) << (56 - count_);
      count_ += 8;
    }
  }
  int Count() const { return count_; }
  uint64_t Peek() const { return bits_; }
  void Skip(int bits) {
    bits_ = bits >= 64 ? 0 : bits_ << bits;
    count_ -= bits;
  }

 private:
  const uint8_t* next_;
  const uint8_t* end_;
  uint64_t bits_ = 0;
  int count_ = 0;
};

// Finds the row that opens `peek` in the table; false when no row does.
bool FindCode(const ScpHuffmanTables& set, const Table& table, uint64_t peek, LookupEntry* found) {
  const LookupEntry& entry =
      set.lookups[table.firstLookup + static_cast<uint32_t>(peek >> (64 - table.lookupBits))];
  if (entry.codeBits != 0) {
    *found = entry;
    return true;
  }
  const auto top = static_cast<uint32_t>(peek >> 32);
  const Row* rows = set.longRows + table.firstLong;
  for (uint32_t i = 0; i < table.longCount; ++i) {
    const int bits = rows[i].codeBits;
    if ((top >> (32 - bits)) == (rows[i].pattern >> (32 - bits))) {
      *found = {rows[i].codeBits, rows[i].valueBits, rows[i].mode, rows[i].value};
      return true;
    }
  }
  return false;
}

ScpStatus DecodeValues(const ScpHuffmanTables& set, const uint8_t* data, uint32_t byteCount,
                       int16_t* out, uint32_t maxValues, uint32_t* produced) {
  *produced = 0;
  const Table* table = &set.tables[0];
  Bits bits(data, byteCount);
  for (;;) {
    bits.Refill();
    const int available = bits.Count();
    if (available == 0) {
      return kScpOk;
    }
    LookupEntry code{};
    if (!FindCode(set, *table, bits.Peek(), &code)) {
      // No row matches: an error once 32 bits of data have been seen, else the data end first.
      return available >= kScpLongestHuffmanCode ? kScpErrHuffmanNoCode - kScpLayerDirectory
                                                 : kScpOk;
    }
    if (code.codeBits > available) {
      return kScpOk;  // a code cut off by the end of the data is dropped
    }
    bits.Skip(code.codeBits);
    if (code.mode == 0) {
      table = &set.tables[code.value - 1];
      continue;
    }
    int16_t value = code.value;
    if (code.valueBits != 0) {
      auto raw = static_cast<uint32_t>(bits.Peek() >> (64 - code.valueBits));
      if ((raw & (1u << (code.valueBits - 1))) != 0) {
        raw |= 0xFFFFu << (code.valueBits - 1);
      }
      value = static_cast<int16_t>(raw & 0xFFFFu);
      bits.Skip(std::min<int>(code.valueBits, available - code.codeBits));
    }
    if (*produced < maxValues) {
      out[*produced] = value;
    }
    ++*produced;
  }
}

}  // namespace

ScpStatus ScpReadHuffmanTables(const ScpRecord* record, ScpHuffmanTables** tables,
                               ScpHuffmanTableProblem* problem) {
  *tables = nullptr;
  SetProblem(problem, ScpHuffmanTableFault::kNone, 0, 0);
  const int64_t length = ScpRecordSectionLength(record, kScpHuffmanSection);
  if (length < 0) {
    return kScpOk;
  }
  const uint8_t* body = ScpMemLock(ScpRecordSectionData(record, kScpHuffmanSection));
  const auto bodyLength = static_cast<uint32_t>(length);
  uint16_t count = 0;
  if (body == nullptr || ScpUnpack(body, bodyLength, kScpLayoutWord, &count, 0, 0) != kScpOk) {
    SetProblem(problem, ScpHuffmanTableFault::kTruncated, 0, 0);
    return kScpErrHuffmanTable - kScpLayerAccessor;
  }
  if (count == kScpDefaultHuffmanMark || count == 0) {
    return kScpOk;
  }
  // Every table takes at least 11 bytes, every row 9: the body bounds what is allocated.
  const uint64_t mostRows = bodyLength / kRowBytes;
  auto* set = AllocateArray<ScpHuffmanTables>(1);
  if (set == nullptr) {
    return kScpErrNoMemory - kScpLayerAccessor;
  }
  set->count = count;
  set->tables = AllocateArray<Table>(count);
  set->rows = AllocateArray<Row>(mostRows);
  auto* order = AllocateArray<uint16_t>(UINT16_MAX);
  if (set->tables == nullptr || set->rows == nullptr || order == nullptr) {
    std::free(order);
    ScpFreeHuffmanTables(set);
    return kScpErrNoMemory - kScpLayerAccessor;
  }
  uint16_t faultTable = 0;
  uint16_t faultRow = 0;
  ScpHuffmanTableFault fault = ReadRows(body, bodyLength, set, &faultTable, &faultRow);
  uint64_t lookupEntries = 0;
  uint32_t rowsTotal = 0;
  for (uint16_t t = 0; t < count && fault == ScpHuffmanTableFault::kNone; ++t) {
    Table& table = set->tables[t];
    const uint16_t clash = FindPrefixClash(set->rows + table.firstRow, table.rowCount, order);
    if (clash != 0) {
      fault = ScpHuffmanTableFault::kNotPrefixFree;
      faultTable = static_cast<uint16_t>(t + 1);
      faultRow = clash;
    }
    table.lookupBits = LookupBitsFor(set->rows + table.firstRow, table.rowCount);
    table.firstLookup = static_cast<uint32_t>(lookupEntries);
    lookupEntries += uint64_t{1} << table.lookupBits;
    rowsTotal += table.rowCount;
  }
  std::free(order);
  if (fault != ScpHuffmanTableFault::kNone) {
    SetProblem(problem, fault, faultTable, faultRow);
    ScpFreeHuffmanTables(set);
    return kScpErrHuffmanTable - kScpLayerAccessor;
  }
  set->lookups = AllocateArray<LookupEntry>(lookupEntries);
  set->longRows = AllocateArray<Row>(rowsTotal);
  if (set->lookups == nullptr || set->longRows == nullptr) {
    ScpFreeHuffmanTables(set);
    return kScpErrNoMemory - kScpLayerAccessor;
  }
  uint32_t longUsed = 0;
  for (uint16_t t = 0; t < count; ++t) {
    BuildLookup(set, &set->tables[t], &longUsed);
  }
  *tables = set;
  return kScpOk;
}

void ScpFreeHuffmanTables(ScpHuffmanTables* tables) {
  if (tables == nullptr) {
    return;
  }
  std::free(tables->tables);
  std::free(tables->rows);
  std::free(tables->lookups);
  std::free(tables->longRows);
  std::free(tables);
}

uint16_t ScpHuffmanTableCount(const ScpHuffmanTables* tables) {
  return tables == nullptr ? 0 : tables->count;
}

uint16_t ScpHuffmanTableRows(const ScpHuffmanTables* tables, uint16_t table) {
  if (tables == nullptr || table < 1 || table > tables->count) {
    return 0;
  }
  return tables->tables[table - 1].rowCount;
}

void ScpHuffmanTableProblemText(const ScpHuffmanTableProblem& problem, char* text, size_t size) {
  if (size == 0) {
    return;
  }
  char where[48] = "";
  if (problem.table != 0 && problem.row != 0) {
    std::snprintf(where, sizeof where, "table %u row %u ", problem.table, problem.row);
  } else if (problem.table != 0) {
    std::snprintf(where, sizeof where, "table %u ", problem.table);
  }
  const char* what = "holds usable tables";
  switch (problem.fault) {
    case ScpHuffmanTableFault::kNone:
      break;
    case ScpHuffmanTableFault::kTruncated:
      what = "ends before its tables do";
      break;
    case ScpHuffmanTableFault::kNoRows:
      what = "has no rows";
      break;
    case ScpHuffmanTableFault::kCodeLength:
      what = "has a code of 0 or more than 32 bits";
      break;
    case ScpHuffmanTableFault::kCodeBeyondBits:
      what = "has a code word with bits beyond its length";
      break;
    case ScpHuffmanTableFault::kValueBits:
      what = "has fewer total bits than code bits, or more than 16 value bits";
      break;
    case ScpHuffmanTableFault::kBadMode:
      what = "has a mode other than 0 (switch) or 1 (value)";
      break;
    case ScpHuffmanTableFault::kMissingTable:
      what = "switches to a table the section does not hold";
      break;
    case ScpHuffmanTableFault::kNotPrefixFree:
      what = "has a code that begins another code of its table";
      break;
  }
  std::snprintf(text, size, "section 2: %s%s", where, what);
}

ScpStatus ScpHuffmanDecodeWithTables(const ScpHuffmanTables* tables, const uint8_t* data,
                                     uint32_t byteCount, uint8_t differenceEncoding, int16_t* out,
                                     uint32_t maxValues, uint32_t* produced) {
  if (tables == nullptr) {
    return ScpHuffmanDecodeSamples(nullptr, data, byteCount, differenceEncoding, out, maxValues,
                                   produced);
  }
  const ScpStatus status = DecodeValues(*tables, data, byteCount, out, maxValues, produced);
  const auto kept = static_cast<int32_t>(std::min(*produced, maxValues));
  if (differenceEncoding == 1) {
    ScpUndoFirstDifferences(out, kept);
  } else if (differenceEncoding == 2) {
    ScpUndoSecondDifferences(out, kept);
  }
  return status;
}
