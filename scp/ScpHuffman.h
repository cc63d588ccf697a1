// Huffman decoding of SCP-ECG lead data with the format's default table.
#pragma once

#include <cstdint>

#include "scp/ScpStatus.h"

// One table row, with the fields of a row of the Huffman table section in their stored order.
struct ScpHuffmanCode {
  uint8_t prefixBits;  // bits of the code word
  uint8_t totalBits;   // code bits plus the value bits that follow the code
  uint8_t mode;        // 1: the code yields a value; 0: the code switches to another table
  int16_t baseValue;   // the value of a code that has no value bits
  uint32_t code;       // the code word, with the first bit of the stream in bit 0
};

// The default table of SCP-ECG: values -8 to +8 as codes of up to 10 bits, then two escape codes
// followed by an 8-bit and a 16-bit two's complement value. Every row has mode 1.
constexpr int kScpDefaultHuffmanRows = 19;
extern const ScpHuffmanCode ScpDefaultHuffmanTable[kScpDefaultHuffmanRows];

// Decodes byteCount bytes at `data` (bits taken from the most significant of each byte) with
// `table`, an array of kScpDefaultHuffmanRows rows searched in order, or with the default table
// when `table` is null. Values are written to out[0 .. maxValues - 1]; *produced receives the
// number of values decoded, which may exceed maxValues (those values are counted and dropped).
// Nothing is written past out[min(*produced, maxValues) - 1].
// Padding bits at the end of the last byte decode like data (each trailing 0 bit is a value 0); a
// code cut off by the end of the data is dropped; value bits cut off leave their low bits 0.
// Returns 0; kScpErrHuffmanSwitch - kScpLayerDirectory (-125) when a row with mode 0 is met;
// kScpErrHuffmanNoCode - kScpLayerDirectory (-126) when no row matches 32 bits. Neither happens
// with the default table. *produced holds the values decoded before a failure.
// The default table is decoded through lookups over the next twelve bits (runs of short codes)
// and ten bits (its longest code); any other table is decoded bit by bit as
// ScpHuffmanDecodeBitByBit does. Both give the same values, counts and statuses on every input.
ScpStatus ScpHuffmanDecode(const ScpHuffmanCode* table, const uint8_t* data, uint32_t byteCount,
                           int16_t* out, uint32_t maxValues, uint32_t* produced);

// Decodes as ScpHuffmanDecode does and undoes the difference encoding over the values kept:
// out[0 .. min(*produced, maxValues) - 1] hold what ScpHuffmanDecode writes there followed by
// ScpUndoFirstDifferences (differenceEncoding 1: x[i] = x[i - 1] + x[i]) or
// ScpUndoSecondDifferences (2: the first two values are samples, then
// x[i] = 2 x[i - 1] - x[i - 2] + x[i]) over those values, 16-bit wrapping; any other encoding
// leaves them as decoded. Nothing past them is written. Same statuses and *produced as
// ScpHuffmanDecode. With the default table the samples are summed run by run as the codes are
// looked up, in one pass.
ScpStatus ScpHuffmanDecodeSamples(const ScpHuffmanCode* table, const uint8_t* data,
                                  uint32_t byteCount, uint8_t differenceEncoding, int16_t* out,
                                  uint32_t maxValues, uint32_t* produced);

// One stream of a pair decoded together: its bytes and where its values go.
struct ScpHuffmanStream {
  const uint8_t* data;
  uint32_t byteCount;
  int16_t* out;
  uint32_t maxValues;
};

// Decodes two streams with the default table as two calls of ScpHuffmanDecodeSamples would (same
// encoding, same values, *produced counts), with the work on both interleaved: each stream's
// lookups wait on the one before, and two streams give the processor two such chains at once.
// The default table never fails, so there is no status.
void ScpHuffmanDecodeSamplesPair(uint8_t differenceEncoding, const ScpHuffmanStream& first,
                                 const ScpHuffmanStream& second, uint32_t* producedFirst,
                                 uint32_t* producedSecond);

// The same decoding, one bit at a time with a search of the rows after every bit: the reference
// the lookup decoder is held to, and the decoder for tables other than the default.
ScpStatus ScpHuffmanDecodeBitByBit(const ScpHuffmanCode* table, const uint8_t* data,
                                   uint32_t byteCount, int16_t* out, uint32_t maxValues,
                                   uint32_t* produced);
