#include "scp/ScpHuffman.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

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

// What the first ten bits of the stream decode to with the default table: the code's length,
// the number of value bits after it, and the value when there are none.
struct WindowCode {
  uint8_t codeBits;
  uint8_t valueBits;
  int16_t value;
};

constexpr int kWindowBits = 10;  // the default table's longest code
using WindowTable = std::array<WindowCode, size_t{1} << kWindowBits>;

// Resolves every ten-bit window the way the bit-by-bit search does: after each bit, the first row
// whose code matches the bits so far. The default table is complete, so every window resolves.
WindowTable BuildWindowTable() {
  WindowTable windows{};
  for (uint32_t window = 0; window < windows.size(); ++window) {
    uint32_t code = 0;
    for (uint32_t bits = 1; bits <= kWindowBits; ++bits) {
      code |= ((window >> (kWindowBits - bits)) & 1u) << (bits - 1);
      const ScpHuffmanCode* row = FindRow(ScpDefaultHuffmanTable, bits, code);
      if (row != nullptr) {
        windows[window] =
            WindowCode{static_cast<uint8_t>(bits),
                       static_cast<uint8_t>(row->totalBits - row->prefixBits), row->baseValue};
        break;
      }
    }
  }
  return windows;
}

// Up to four whole codes without value bits (values -8 to +8) that open a twelve-bit window,
// decoded in one step: most lead data are runs of small differences.
struct ShortCodeRun {
  uint8_t count;  // codes in the run, 0 when the window opens with an escape
  uint8_t bits;   // their total length
  int16_t values[4];
};

constexpr int kRunWindowBits = 12;
constexpr int kMaxRunCodes = 4;
// Bits that always decode to at least three values: three of the longest code with its value.
constexpr int kThreeLongestCodes = 3 * 26;
// Runs decoded from one refilled window (at least 56 bits) without looking at its count.
constexpr int kBatchRuns = 4;
static_assert(kBatchRuns * kRunWindowBits <= 56, "a batch of runs fits a refilled window");
using RunTable = std::array<ShortCodeRun, size_t{1} << kRunWindowBits>;

RunTable BuildRunTable(const WindowTable& windows) {
  RunTable runs{};
  for (uint32_t window = 0; window < runs.size(); ++window) {
    ShortCodeRun& run = runs[window];
    while (run.count < kMaxRunCodes) {
      // The ten bits from the run's end, with zeros past the window.
      const uint32_t rest = (window << run.bits) & ((1u << kRunWindowBits) - 1);
      const WindowCode code = windows[rest >> (kRunWindowBits - kWindowBits)];
      if (code.valueBits != 0 || run.bits + code.codeBits > kRunWindowBits) {
        break;
      }
      run.values[run.count++] = code.value;
      run.bits = static_cast<uint8_t>(run.bits + code.codeBits);
    }
  }
  return runs;
}

// Holds the next bits of a byte run left-aligned in 64 bits. Bits past the end of the run read
// as 0, which is how value bits cut off by the end decode.
class BitWindow {
 public:
  BitWindow(const uint8_t* data, uint32_t byteCount) : next_(data), end_(data + byteCount) {}

  // Tops the window up to at least 56 bits, or to every bit left.
  void Refill() {
    if (end_ - next_ >= 8) {
      uint64_t word = 0;
      std::memcpy(&word, next_, sizeof word);
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
      word = __builtin_bswap64(word);  // the stream's first byte on top
#endif
      bits_ |= word >> count_;
      const int bytes = (63 - count_) >> 3;
      next_ += bytes;
      count_ += bytes * 8;
      return;
    }
    while (count_ <= 56 && next_ < end_) {
      bits_ |= static_cast<uint64_t>(*next_++) << (56 - count_);
      count_ += 8;
    }
  }

  int Count() const {
    return count_;
  }
  // True when at least `bits` more bits follow the window.
  bool BitsFollow(int64_t bits) const {
    return (end_ - next_) * int64_t{8} >= bits;
  }
  uint32_t Peek(int bits) const {
    return static_cast<uint32_t>(bits_ >> (64 - bits));
  }
  void Skip(int bits) {
    bits_ <<= bits;
    count_ -= bits;
  }

 private:
  const uint8_t* next_;
  const uint8_t* end_;
  uint64_t bits_ = 0;
  int count_ = 0;  // bits of the window that belong to the run
};

ScpStatus DecodeDefaultTable(const uint8_t* data, uint32_t byteCount, int16_t* out,
                             uint32_t maxValues, uint32_t* produced) {
  static const WindowTable kWindows = BuildWindowTable();
  static const RunTable kRuns = BuildRunTable(kWindows);
  BitWindow bits(data, byteCount);
  uint32_t count = 0;
  for (;;) {
    bits.Refill();
    if (bits.Count() == 0) {
      break;
    }
    if (count < maxValues && maxValues - count >= kBatchRuns * kMaxRunCodes &&
        bits.BitsFollow(kThreeLongestCodes)) {
      // Far from the end of both arrays: the refilled window holds a batch of runs, whose spare
      // slots the stream after them overwrites (see below). An escape ends the batch and is
      // decoded from a refilled window.
      int batched = 0;
      for (; batched < kBatchRuns; ++batched) {
        const ShortCodeRun& run = kRuns[bits.Peek(kRunWindowBits)];
        if (run.count == 0) {
          break;
        }
        std::memcpy(out + count, run.values, sizeof run.values);
        count += run.count;
        bits.Skip(run.bits);
      }
      if (batched != 0) {
        continue;
      }
    }
    // A run lies wholly in the data when its bits do; past the end the window reads zeros.
    const ShortCodeRun& run = kRuns[bits.Peek(kRunWindowBits)];
    if (run.count != 0 && run.bits <= bits.Count()) {
      const uint32_t room = count < maxValues ? maxValues - count : 0;
      if (room >= kMaxRunCodes && bits.BitsFollow(kThreeLongestCodes)) {
        // All four slots at once: those past the run are overwritten by the three or more
        // values the rest of the stream is long enough to hold, so no stray value survives.
        std::memcpy(out + count, run.values, sizeof run.values);
      } else {
        for (uint32_t i = 0; i < run.count && i < room; ++i) {
          out[count + i] = run.values[i];
        }
      }
      count += run.count;
      bits.Skip(run.bits);
      continue;
    }
    const WindowCode code = kWindows[bits.Peek(kWindowBits)];
    if (code.codeBits > bits.Count()) {
      break;  // a code cut off by the end of the data is dropped
    }
    bits.Skip(code.codeBits);
    int16_t value = code.value;
    if (code.valueBits != 0) {
      uint32_t raw = bits.Peek(code.valueBits);
      if ((raw & (1u << (code.valueBits - 1))) != 0) {
        raw |= 0xFFFFu << (code.valueBits - 1);
      }
      value = static_cast<int16_t>(raw & 0xFFFFu);
      bits.Skip(std::min<int>(code.valueBits, bits.Count()));
    }
    if (count < maxValues) {
      out[count] = value;
    }
    ++count;
  }
  *produced = count;
  return kScpOk;
}

}  // namespace

ScpStatus ScpHuffmanDecode(const ScpHuffmanCode* table, const uint8_t* data, uint32_t byteCount,
                           int16_t* out, uint32_t maxValues, uint32_t* produced) {
  if (table != nullptr && table != ScpDefaultHuffmanTable) {
    return ScpHuffmanDecodeBitByBit(table, data, byteCount, out, maxValues, produced);
  }
  return DecodeDefaultTable(data, byteCount, out, maxValues, produced);
}

ScpStatus ScpHuffmanDecodeBitByBit(const ScpHuffmanCode* table, const uint8_t* data,
                                   uint32_t byteCount, int16_t* out, uint32_t maxValues,
                                   uint32_t* produced) {
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
