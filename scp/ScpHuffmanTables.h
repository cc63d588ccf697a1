// The Huffman tables a record carries in section 2 in place of the default table: reading and
// checking them, and decoding lead data with them, table switches included.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scp/ScpHuffman.h"
#include "scp/ScpRecord.h"
#include "scp/ScpStatus.h"

// The table count section 2 holds when the lead data use the default table.
constexpr uint16_t kScpDefaultHuffmanMark = 19999;

// Longest code word a table row may declare, and most value bits after it (a 16-bit value).
constexpr int kScpLongestHuffmanCode = 32;
constexpr int kScpMostHuffmanValueBits = 16;

// What is wrong with the tables of a section 2 that cannot be used.
enum class ScpHuffmanTableFault : uint8_t {
  kNone,
  kTruncated,       // the body ends inside the table count, a row count or a row
  kNoRows,          // a table without rows
  kCodeLength,      // a code of 0 bits or of more than 32
  kCodeBeyondBits,  // a code word with bits set beyond its length
  kValueBits,       // a value row with fewer total bits than code bits, or more than 16 value bits
  kBadMode,         // a mode other than 0 (switch) and 1 (value)
  kMissingTable,    // a switch to a table the section does not hold
  kNotPrefixFree,   // a code word that begins another (or equals it)
};

// The fault and where it lies: 1-based table and row numbers (0 when not about one).
struct ScpHuffmanTableProblem {
  ScpHuffmanTableFault fault;
  uint16_t table;
  uint16_t row;
};

// The tables of one record, with the lookups built from their rows. Opaque; freed with
// ScpFreeHuffmanTables.
struct ScpHuffmanTables;

// Reads section 2. When the record has no section 2, or its table count is kScpDefaultHuffmanMark
// or 0 (no tables of its own), *tables is null (no section 2: plain data; otherwise the default
// table). Otherwise the tables are read
// (per table a u16 row count, then that many 9-byte rows: prefix bits u8, total bits u8, mode u8,
// base value i16, code u32 with the first bit of the stream in bit 0), checked, and their lookups
// built into a new *tables.
// Returns 0 (problem->fault kNone); kScpErrHuffmanTable - kScpLayerAccessor (-329) when the
// tables cannot be used, *problem saying why and where; kScpErrNoMemory - kScpLayerAccessor when
// memory runs out. *tables is null after any failure. `problem` may be null.
ScpStatus ScpReadHuffmanTables(const ScpRecord* record, ScpHuffmanTables** tables,
                               ScpHuffmanTableProblem* problem);

// Frees tables from ScpReadHuffmanTables; null is ignored.
void ScpFreeHuffmanTables(ScpHuffmanTables* tables);

// The number of tables, and the rows of table `table` (1-based; 0 outside 1 .. count).
uint16_t ScpHuffmanTableCount(const ScpHuffmanTables* tables);
uint16_t ScpHuffmanTableRows(const ScpHuffmanTables* tables, uint16_t table);

// Writes a one-line description of the problem, naming section 2 ("section 2: table 2 row 5
// switches to table 7, which the section does not hold"), into text[0 .. size - 1], terminated.
void ScpHuffmanTableProblemText(const ScpHuffmanTableProblem& problem, char* text, size_t size);

// Decodes as ScpHuffmanDecodeSamples does, with the record's own tables instead of the default:
// decoding starts with table 1; a row of mode 0 yields no value and switches to the table its base
// value names, for the codes that follow. `tables` null means the default table (and is exactly
// ScpHuffmanDecodeSamples with it). The same rules for padding, cut-off codes, value bits cut off,
// maxValues and *produced apply. Codes are found through a lookup of the next ten bits of the
// stream, longer codes by a search of the table's longer rows.
// Returns 0; kScpErrHuffmanNoCode - kScpLayerDirectory (-126) when 32 bits of the stream match no
// row of the current table (a table need not cover every bit sequence).
ScpStatus ScpHuffmanDecodeWithTables(const ScpHuffmanTables* tables, const uint8_t* data,
                                     uint32_t byteCount, uint8_t differenceEncoding, int16_t* out,
                                     uint32_t maxValues, uint32_t* produced);
