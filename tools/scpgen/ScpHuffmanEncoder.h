// Huffman coding of lead data with the default table of SCP-ECG: the writer's side of the
// decoder in scp/ScpHuffman.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

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

}  // namespace scpgen
