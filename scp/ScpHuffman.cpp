#include "scp/ScpHuffman.h"

const ScpHuffmanCode ScpDefaultHuffmanTable[kScpDefaultHuffmanRows] = {
    // prefixBits, totalBits, mode, baseValue, code (first bit read in bit 0)
    {1, 1, 1, 0, 0x0},       // 0
    {3, 3, 1, 1, 0x1},       // 100
    {3, 3, 1, -1, 0x5},      // 101
    {4, 4, 1, 2, 0x3},       // 1100
    {4, 4, 1, -2, 0xB},      // 1101
    {5, 5, 1, 3, 0x7},       // 11100
    {5, 5, 1, -3, 0x17},     // 11101
    {6, 6, 1, 4, 0xF},       // 111100
    {6, 6, 1, -4, 0x2F},     // 111101
    {7, 7, 1, 5, 0x1F},      // 1111100
    {7, 7, 1, -5, 0x5F},     // 1111101
    {8, 8, 1, 6, 0x3F},      // 11111100
    {8, 8, 1, -6, 0xBF},     // 11111101
    {9, 9, 1, 7, 0x7F},      // 111111100
    {9, 9, 1, -7, 0x17F},    // 111111101
    {10, 10, 1, 8, 0xFF},    // 1111111100
    {10, 10, 1, -8, 0x2FF},  // 1111111101
    {10, 18, 1, 0, 0x1FF},   // 1111111110 then an 8-bit value
    {10, 26, 1, 0, 0x3FF},   // 1111111111 then a 16-bit value
};

namespace {

// Hands out the bits of a byte run, most significant bit of each byte first.
class BitReader {
 public:
  BitReader(const uint8_t* data, uint32_t byteCount) : data_(data), bytesLeft_(byteCount) {}

  bool Exhausted() const { return bytesLeft_ == 0; }

  // Returns the next bit; the caller checks Exhausted() first.
  uint32_t Next() {
    const uint32_t bit = (*data_ & mask_) != 0 ? 1 : 0;
    mask_ >>= 1;
    if (mask_ == 0) {
      mask_ = 0x80;
      ++data_;
      --bytesLeft_;
    }
    return bit;
  }

 private:
  const uint8_t* data_;
  uint32_t bytesLeft_;
  uint8_t mask_ = 0x80;
};

const ScpHuffmanCode* FindRow(const ScpHuffmanCode* table, uint32_t bitCount, uint32_t code) {
  for (int row = 0; row < kScpDefaultHuffmanRows; ++row) {
    if (table[row].prefixBits == bitCount && table[row].code == code) {
      return &table[row];
    }
  }
  return nullptr;
}

// Reads the value bits that follow a code, most significant first, and sign-extends them from
// their top bit. Bits missing at the end of the stream stay 0.
int16_t ReadValueBits(BitReader& bits, int valueBits) {
  uint32_t value = 0;
  for (int position = valueBits - 1; position >= 0 && !bits.Exhausted(); --position) {
    const uint32_t bit = bits.Next();
    if (position < 32) {
      value |= bit << position;
    }
  }
  if (valueBits <= 16 && (value & (1u << (valueBits - 1))) != 0) {
    value |= 0xFFFFu << (valueBits - 1);
  }
  return static_cast<int16_t>(value & 0xFFFFu);
}

}  // namespace

ScpStatus ScpHuffmanDecode(const ScpHuffmanCode* table, const uint8_t* data, uint32_t byteCount,
                           int16_t* out, uint32_t maxValues, uint32_t* produced) {
  *produced = 0;
  if (table == nullptr) {
    table = ScpDefaultHuffmanTable;
  }
  BitReader bits(data, byteCount);
  uint32_t code = 0;
  uint32_t codeBits = 0;
  while (!bits.Exhausted()) {
    code |= bits.Next() << codeBits;
    ++codeBits;
    const ScpHuffmanCode* row = FindRow(table, codeBits, code);
    if (row != nullptr) {
      if (row->mode == 0) {
        return kScpErrHuffmanSwitch - kScpLayerDirectory;
      }
      const int valueBits = row->totalBits - row->prefixBits;
      const int16_t value = valueBits > 0 ? ReadValueBits(bits, valueBits) : row->baseValue;
      if (*produced < maxValues) {
        out[*produced] = value;
      }
      ++*produced;
      code = 0;
      codeBits = 0;
    } else if (codeBits == 32) {
      return kScpErrHuffmanNoCode - kScpLayerDirectory;
    }
  }
  return kScpOk;
}
