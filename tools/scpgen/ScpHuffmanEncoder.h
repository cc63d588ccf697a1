// Huffman coding of lead data with the default table of SCP-ECG: the writer's side of the
// decoder in scp/ScpHuffman.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scp/ScpHuffman.h"

namespace scpgen {

// Bits of the longest code word of the default table (both escapes and the codes of +-8).
constexpr int kLongestDefaultCode = 10;

// Returns the number of bits the default table spends on `value`: 1 for 0, |v| + 2 for
// 1 <= |v| <= 8, 18 for the 8-bit escape (the rest of -128 .. 127), 26 for the 16-bit escape.
int DefaultCodeBits(int16_t value);

// Appends the default-table codes of `count` values to `out`, filling each byte from its most
// significant bit, so that a decoder reading bits in that order and matching the table's code
// words (stored with the first stream bit in bit 0) gets the values back. Values -8 .. +8 take
// their own codes; other values within -128 .. 127 the 8-bit escape followed by the value in two's
// complement, most significant bit first; the rest the 16-bit escape likewise. The last byte is
// padded with 0 bits, which a decoder reads as trailing values 0. Returns the number of bits
// written before the padding.
size_t HuffmanEncode(const int16_t* values, size_t count, std::vector<uint8_t>* out);

// Tables a record may carry in place of the default one, each a list of rows in stored order.
using HuffmanTableSet = std::vector<std::vector<ScpHuffmanCode>>;

// Which tables the generator writes into the Huffman table section.
enum class OwnHuffmanTables {
  kNone,      // the default table's mark only
  kPermuted,  // one table: the default rows in reverse order, each value's sign swapped
  kSwitching  // two tables that switch to each other; the second negates the first's values
};

// Returns the table set of `kind` (empty for kNone). In the switching set each table gives its
// 16-bit escape an 11-bit code and the other 11-bit code to a switch to the other table.
HuffmanTableSet OwnTables(OwnHuffmanTables kind);

// Appends the codes of `count` values with `tables`, starting in table 1, to `out` as HuffmanEncode
// does: each value takes the shortest value row that yields it. After every `switchEvery` values
// (0: never) the current table's first switch row, if any, is written and its table taken.
// Returns the bits written before the padding, or 0 when some value has no row.
size_t HuffmanEncodeWithTables(const int16_t* values, size_t count, const HuffmanTableSet& tables,
                               size_t switchEvery, std::vector<uint8_t>* out);

// The body of a Huffman table section holding `tables`: the table count, then per table its row
// count and 9-byte rows (prefix bits, total bits, mode, base value, code), little-endian.
std::vector<uint8_t> HuffmanTableSection(const HuffmanTableSet& tables);

}  // namespace scpgen
