#include "scp/ScpHuffman.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <numeric>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

constexpr int kWindowBits = 10;       // the default table's longest code
constexpr int kLongestCodeBits = 26;  // with its value bits
using WindowTable = std::array<WindowCode, size_t{1} << kWindowBits>;

// Resolves every ten-bit window the way the bit-by-bit search does: after each bit, the first row
// whose code matches the bits so far. The default table is complete, so every window resolves.
void BuildWindowTable(WindowTable& windows) {
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
}

// Up to eight whole codes without value bits (values -8 to +8) that open a twelve-bit window,
// decoded in one step: most lead data are runs of small differences. The run's length sits in a
// small table of its own, on the chain of lookups through the stream; what the run writes sits in
// tables of eight lanes beside it, one for each difference encoding.
struct RunStep {
  uint8_t bits;   // the run's length in bits
  uint8_t count;  // its codes, 0 when the window opens with an escape
};

constexpr int kRunWindowBits = 12;
constexpr int kRunLanes = 8;
constexpr size_t kRunWindows = size_t{1} << kRunWindowBits;

struct RunTables {
  WindowTable windows;
  std::array<RunStep, kRunWindows> steps;
};

// The ten bits of `window` from bit `bits` (from its top), with zeros past the window.
uint32_t WindowAt(uint32_t window, int bits) {
  return ((window << bits) & (kRunWindows - 1)) >> (kRunWindowBits - kWindowBits);
}

std::unique_ptr<const RunTables> BuildRunTables() {
  auto tables = std::make_unique<RunTables>();
  BuildWindowTable(tables->windows);
  for (uint32_t window = 0; window < kRunWindows; ++window) {
    RunStep& step = tables->steps[window];
    while (step.count < kRunLanes) {
      const WindowCode code = tables->windows[WindowAt(window, step.bits)];
      if (code.valueBits != 0 || step.bits + code.codeBits > kRunWindowBits) {
        break;
      }
      ++step.count;
      step.bits = static_cast<uint8_t>(step.bits + code.codeBits);
    }
  }
  return tables;
}

const RunTables& Runs() {
  static const std::unique_ptr<const RunTables> kTables = BuildRunTables();
  return *kTables;
}

// Eight 16-bit lanes: a run's values followed by zeros, or running sums of those. All sums wrap
// modulo 2^16 as the samples do.
struct alignas(16) RunLanes {
  uint16_t lane[kRunLanes];
};
using LaneTable = std::array<RunLanes, kRunWindows>;

// The lanes of every window's run, with its values summed `sums` times over. Each difference
// encoding builds its own on first use.
std::unique_ptr<const LaneTable> BuildLaneTable(int sums) {
  const RunTables& runs = Runs();
  auto table = std::make_unique<LaneTable>();
  for (uint32_t window = 0; window < kRunWindows; ++window) {
    uint16_t* lanes = (*table)[window].lane;
    int bits = 0;
    for (int code = 0; code < runs.steps[window].count; ++code) {
      const WindowCode next = runs.windows[WindowAt(window, bits)];
      lanes[code] = static_cast<uint16_t>(next.value);
      bits += next.codeBits;
    }
    for (int sum = 0; sum < sums; ++sum) {
      std::partial_sum(lanes, lanes + kRunLanes, lanes,
                       [](uint16_t a, uint16_t b) { return static_cast<uint16_t>(a + b); });
    }
  }
  return table;
}

// Holds the next bits of a byte run left-aligned in 64 bits. Bits past the end of the run read
// as 0, which is how value bits cut off by the end decode.
class BitBuffer {
 public:
  BitBuffer(const uint8_t* data, uint32_t byteCount) : next_(data), end_(data + byteCount) {}

  // Bytes not yet taken into the buffer.
  ptrdiff_t BytesAhead() const { return end_ - next_; }

  // Tops the buffer up to at least 56 bits from the eight bytes ahead, which must be there.
  // Bits loaded past the count are the stream's own, loaded again by the next refill.
  void RefillFromWord() {
    uint64_t word = 0;
    std::memcpy(&word, next_, sizeof word);
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    word = __builtin_bswap64(word);  // the stream's first byte on top
#endif
    bits_ |= word >> count_;
    const int bytes = (63 - count_) >> 3;
    next_ += bytes;
    count_ += bytes * 8;
  }

  // Tops the buffer up to at least 56 bits, or to every bit left.
  void Refill() {
    if (BytesAhead() >= 8) {
      RefillFromWord();
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
  int count_ = 0;  // bits of the buffer that belong to the run
};

// A code and its value bits, as the next bits of the stream decode them.
struct DecodedCode {
  int bits;  // taken from the stream; 0 when the data end before the code does (it is dropped)
  int16_t value;
};

// Decodes the code that opens `next`, the next 26 bits of the stream of which `available` are
// data (the rest 0).
inline DecodedCode DecodeCode(const WindowTable& windows, uint32_t next, int available) {
  const WindowCode code = windows[next >> (kLongestCodeBits - kWindowBits)];
  if (available == 0 || code.codeBits > available) {
    return {0, 0};
  }
  if (code.valueBits == 0) {
    return {code.codeBits, code.value};
  }
  const int bits = code.codeBits + code.valueBits;
  uint32_t raw = (next >> (kLongestCodeBits - bits)) & ((1u << code.valueBits) - 1);
  if ((raw & (1u << (code.valueBits - 1))) != 0) {
    raw |= 0xFFFFu << (code.valueBits - 1);
  }
  return {std::min(bits, available), static_cast<int16_t>(raw & 0xFFFFu)};
}

// Eight 16-bit lanes of wrapping arithmetic, in one SSE2 register where there is one.
#if defined(__SSE2__)
class Lanes {
 public:
  Lanes() : lanes_(_mm_setzero_si128()) {}
  static Lanes Load(const RunLanes& lanes) {
    return Lanes(_mm_load_si128(reinterpret_cast<const __m128i*>(lanes.lane)));
  }
  static Lanes Fill(uint16_t value) { return Lanes(_mm_set1_epi16(static_cast<int16_t>(value))); }
  Lanes operator+(Lanes other) const { return Lanes(_mm_add_epi16(lanes_, other.lanes_)); }
  Lanes operator*(Lanes other) const { return Lanes(_mm_mullo_epi16(lanes_, other.lanes_)); }
  void Store(int16_t* to) const { _mm_storeu_si128(reinterpret_cast<__m128i*>(to), lanes_); }
  int16_t First() const { return static_cast<int16_t>(_mm_cvtsi128_si32(lanes_)); }

 private:
  explicit Lanes(__m128i lanes) : lanes_(lanes) {}
  __m128i lanes_;
};
#else
class Lanes {
 public:
  static Lanes Load(const RunLanes& lanes) {
    Lanes loaded;
    std::memcpy(loaded.lanes_, lanes.lane, sizeof loaded.lanes_);
    return loaded;
  }
  static Lanes Fill(uint16_t value) {
    Lanes filled;
    std::fill_n(filled.lanes_, kRunLanes, value);
    return filled;
  }
  Lanes operator+(Lanes other) const {
    for (int lane = 0; lane < kRunLanes; ++lane) {
      other.lanes_[lane] = static_cast<uint16_t>(lanes_[lane] + other.lanes_[lane]);
    }
    return other;
  }
  Lanes operator*(Lanes other) const {
    for (int lane = 0; lane < kRunLanes; ++lane) {
      other.lanes_[lane] = static_cast<uint16_t>(lanes_[lane] * other.lanes_[lane]);
    }
    return other;
  }
  void Store(int16_t* to) const { std::memcpy(to, lanes_, sizeof lanes_); }
  int16_t First() const { return static_cast<int16_t>(lanes_[0]); }

 private:
  uint16_t lanes_[kRunLanes] = {};
};
#endif

// The lane table summed `Sums` times, built on first use.
template <int Sums>
const RunLanes* SummedLanes() {
  static const std::unique_ptr<const LaneTable> kTable = BuildLaneTable(Sums);
  return kTable->data();
}

// What the decoder writes for its values, one class per difference encoding. Start takes the
// first value, which is a sample in every encoding; One each value after it; Run writes the eight
// lanes of a window's run (its samples, then lanes the caller discards or overwrites) and moves
// on past the run's values.
class PlainValues {
 public:
  using Row = RunLanes;
  static const Row* Table() { return SummedLanes<0>(); }
  void Start(int16_t value, int16_t* to) { *to = value; }
  void One(int16_t value, int16_t* to) { *to = value; }
  void Run(const RunLanes& values, int16_t* to) { Lanes::Load(values).Store(to); }
};

// x[i] = x[i - 1] + d[i]: over a run, sample j (from 1) is x + slopes[j - 1].
class FirstDifferences {
 public:
  using Row = RunLanes;
  static const Row* Table() { return SummedLanes<1>(); }
  void Start(int16_t value, int16_t* to) { One(value, to); }
  void One(int16_t value, int16_t* to) {
    sample_ = static_cast<uint16_t>(sample_ + static_cast<uint16_t>(value));
    *to = static_cast<int16_t>(sample_);
  }
  void Run(const RunLanes& sums, int16_t* to) {
    (Lanes::Fill(sample_) + Lanes::Load(sums)).Store(to);
    sample_ = static_cast<uint16_t>(sample_ + sums.lane[kRunLanes - 1]);  // past the run, zeros
  }

 private:
  uint16_t sample_ = 0;
};

// What a run does to second differences: its rises (sample j, from 1, is x + j * slope +
// rises[j - 1]), and, in every lane, its number of codes, its last rise and the sum of its values,
// by which the slope grows. One cache line a window.
struct alignas(64) SlopeRow {
  RunLanes rises;
  RunLanes codes;
  RunLanes lastRise;
  RunLanes slopeRise;
};
using SlopeTable = std::array<SlopeRow, kRunWindows>;

std::unique_ptr<const SlopeTable> BuildSlopeTable() {
  const RunTables& runs = Runs();
  const std::unique_ptr<const LaneTable> rises = BuildLaneTable(2);
  auto table = std::make_unique<SlopeTable>();
  for (uint32_t window = 0; window < kRunWindows; ++window) {
    SlopeRow& row = (*table)[window];
    const uint16_t* lanes = (*rises)[window].lane;
    const uint32_t codes = runs.steps[window].count;
    row.rises = (*rises)[window];
    // Past the run its lanes hold its values followed by zeros, so the last two lanes differ by
    // the run's sum. An empty run (an escape) changes nothing.
    const uint16_t last = codes == 0 ? 0 : lanes[codes - 1];
    const auto sum = static_cast<uint16_t>(lanes[kRunLanes - 1] - lanes[kRunLanes - 2]);
    std::fill_n(row.codes.lane, kRunLanes, static_cast<uint16_t>(codes));
    std::fill_n(row.lastRise.lane, kRunLanes, last);
    std::fill_n(row.slopeRise.lane, kRunLanes, sum);
  }
  return table;
}

// The first two values are samples; then slope += d[i] and x[i] = x[i - 1] + slope. The sample
// and slope are held in every lane, so a run needs no broadcast: its samples are x + j * slope +
// rises[j - 1], and the next sample and slope come from the row's own lanes. The sample's chain
// from one run to the next is a single addition.
class SecondDifferences {
 public:
  using Row = SlopeRow;
  static const Row* Table() {
    static const std::unique_ptr<const SlopeTable> kTable = BuildSlopeTable();
    return kTable->data();
  }
  void Start(int16_t value, int16_t* to) {
    sample_ = Lanes::Fill(static_cast<uint16_t>(value));
    slope_ = Lanes::Fill(static_cast<uint16_t>(-value));  // so the next value is taken as it is
    *to = value;
  }
  void One(int16_t value, int16_t* to) {
    slope_ = slope_ + Lanes::Fill(static_cast<uint16_t>(value));
    sample_ = sample_ + slope_;
    *to = sample_.First();
  }
  void Run(const SlopeRow& row, int16_t* to) {
    static const RunLanes kLaneNumbers = {{1, 2, 3, 4, 5, 6, 7, 8}};
    (sample_ + slope_ * Lanes::Load(kLaneNumbers) + Lanes::Load(row.rises)).Store(to);
    sample_ = sample_ + (slope_ * Lanes::Load(row.codes) + Lanes::Load(row.lastRise));
    slope_ = slope_ + Lanes::Load(row.slopeRise);
  }

 private:
  Lanes sample_;
  Lanes slope_;
};

// Runs decoded from one refill (at least 56 bits).
constexpr int kBatchRuns = 4;
constexpr int kBatchBits = kBatchRuns * kRunWindowBits;
static_assert(kBatchBits <= 56, "a batch of runs fits a refilled buffer");
constexpr uint32_t kBatchLanes = kBatchRuns * kRunLanes;
// Far from the end of the output: a batch, or a shorter one and an escape, writes inside it.
constexpr uint32_t kFarValues = kBatchLanes;
// Far from the end of the data: a batch takes at most four of the longest codes, the buffer never
// holds more than 63 bits past what was taken, and each refill reads the eight bytes at its end,
// so every refill of a batch finds them; and after the batch the stream still holds seven whole
// codes, which overwrite the lanes past its last run.
constexpr int kFarBytes = 36;
constexpr int kBatchMostBits = kBatchRuns * kLongestCodeBits;
constexpr uint32_t kBatchMostBytes = (kBatchMostBits + 7) / 8;
static_assert(kFarBytes * 8 >= kBatchMostBits + 63 + 64, "every refill of a batch finds its bytes");
static_assert(kFarBytes * 8 >= kBatchMostBits + (kRunLanes - 1) * kLongestCodeBits,
              "the stream after a batch overwrites its spare lanes");

// Near the end of either array: runs decoded into `staged`, each checked against the data left,
// until one would not fit, the window opens with an escape or the lanes are full. Returns the
// values staged.
constexpr uint32_t kStagedLanes = 8 * kBatchLanes;
template <class Output>
uint32_t StageRuns(const RunTables& tables, const typename Output::Row* lanes, BitBuffer& bits,
                   Output& output, int16_t* staged) {
  uint32_t count = 0;
  while (count <= kStagedLanes - kBatchLanes) {
    bits.Refill();
    for (int run = 0; run < kBatchRuns; ++run) {
      // A run lies wholly in the data when its bits do; past the end the buffer reads zeros.
      const uint32_t window = bits.Peek(kRunWindowBits);
      const RunStep step = tables.steps[window];
      if (step.count == 0 || step.bits > bits.Count()) {
        return count;
      }
      output.Run(lanes[window], staged + count);
      count += step.count;
      bits.Skip(step.bits);
    }
  }
  return count;
}

// The lookup decoder of one stream. Far from the end of both arrays, batches of runs written eight
// lanes at a time, an escape that stops a batch decoded after it; near either end, batches
// staged, each run checked against the data left, and copied within the room left, then a code at
// a time. The first value, which starts the samples, is decoded alone.
template <class Output>
class StreamDecoder {
 public:
  StreamDecoder(const RunTables& tables, const uint8_t* data, uint32_t byteCount, int16_t* out,
                uint32_t maxValues)
      : tables_(&tables),
        lanes_(Output::Table()),
        bits_(data, byteCount),
        out_(out),
        maxValues_(maxValues) {}

  uint32_t Count() const { return count_; }

  // How many batches in a row stay far from both ends: a batch takes at most four of the longest
  // codes and writes at most its lanes. Zero when the next step is not a batch.
  uint32_t FarBatchesAhead() const {
    if (count_ == 0 || Room() < kFarValues || bits_.BytesAhead() < kFarBytes) {
      return 0;
    }
    const auto bytes = static_cast<uint32_t>(bits_.BytesAhead() - kFarBytes);
    return 1 + std::min(bytes / kBatchMostBytes, (Room() - kFarValues) / kBatchLanes);
  }

  // One batch of runs, each escape among them decoded where it stands; only when far from both
  // ends. The tables come from the caller, who holds them once for both streams of a pair.
  void FarBatch(const RunTables& tables, const typename Output::Row* lanes) {
    bits_.RefillFromWord();
#pragma GCC unroll 4
    for (int run = 0; run < kBatchRuns; ++run) {
      const uint32_t window = bits_.Peek(kRunWindowBits);
      const RunStep step = tables.steps[window];
      if (__builtin_expect(step.count != 0, 1)) {
        output_.Run(lanes[window], out_ + count_);
        count_ += step.count;
        bits_.Skip(step.bits);
      } else {  // only an escape opens a window without a run
        bits_.RefillFromWord();
        const DecodedCode code =
            DecodeCode(tables.windows, bits_.Peek(kLongestCodeBits), bits_.Count());
        bits_.Skip(code.bits);
        bits_.RefillFromWord();  // the runs after it have their twelve bits each again
        output_.One(code.value, out_ + count_);
        ++count_;
      }
    }
  }

  // Batches for as long as both streams are far from their ends. The loop works on copies held
  // in locals, which the compiler keeps in registers: the lanes' stores may alias anything, so
  // fields it reaches through a pointer would be read back after every store.
  static void FarBatches(StreamDecoder* first, StreamDecoder* second) {
    StreamDecoder a = *first;
    StreamDecoder b = *second;
    const RunTables& tables = *a.tables_;
    const typename Output::Row* lanes = a.lanes_;
    for (;;) {
      const uint32_t batches = std::min(a.FarBatchesAhead(), b.FarBatchesAhead());
      if (batches == 0) {
        break;
      }
      for (uint32_t batch = 0; batch < batches; ++batch) {
        a.FarBatch(tables, lanes);
        b.FarBatch(tables, lanes);
      }
    }
    *first = a;
    *second = b;
  }

  // Decodes the next batches, staged runs or code; false when the data have ended.
  bool Step() {
    if (FarBatchesAhead() != 0) {
      StreamDecoder local = *this;
      const RunTables& tables = *tables_;
      const typename Output::Row* lanes = lanes_;
      for (uint32_t batches = local.FarBatchesAhead(); batches != 0;
           batches = local.FarBatchesAhead()) {
        for (uint32_t batch = 0; batch < batches; ++batch) {
          local.FarBatch(tables, lanes);
        }
      }
      *this = local;
      return true;
    }
    const uint32_t room = Room();
    if (count_ != 0) {
      // Staged from copies in locals, for the reason FarBatches gives.
      int16_t staged[kStagedLanes];
      BitBuffer bits = bits_;
      Output output = output_;
      const uint32_t stagedCount = StageRuns(*tables_, lanes_, bits, output, staged);
      bits_ = bits;
      output_ = output;
      if (stagedCount != 0) {
        std::copy_n(staged, std::min(stagedCount, room), out_ + count_);
        count_ += stagedCount;
        return true;
      }
    }
    // A code at a time: the first value, an escape, or the last bits of the data, which hold less
    // than a window and are decoded here to their end rather than offered to runs code by code.
    bits_.Refill();
    do {
      const DecodedCode code =
          DecodeCode(tables_->windows, bits_.Peek(kLongestCodeBits), bits_.Count());
      if (code.bits == 0) {
        return false;
      }
      bits_.Skip(code.bits);
      if (Room() != 0 && count_ == 0) {
        output_.Start(code.value, out_);
      } else if (Room() != 0) {
        output_.One(code.value, out_ + count_);
      }
      ++count_;
      bits_.Refill();
    } while (bits_.BytesAhead() == 0 && bits_.Count() < kRunWindowBits);
    return true;
  }

 private:
  uint32_t Room() const {
    return count_ < maxValues_ ? maxValues_ - count_ : 0;
  }

  const RunTables* tables_;
  const typename Output::Row* lanes_;
  Output output_;
  BitBuffer bits_;
  int16_t* out_;
  uint32_t maxValues_;
  uint32_t count_ = 0;
};

template <class Output>
ScpStatus DecodeDefaultTable(const uint8_t* data, uint32_t byteCount, int16_t* out,
                             uint32_t maxValues, uint32_t* produced) {
  StreamDecoder<Output> stream(Runs(), data, byteCount, out, maxValues);
  while (stream.Step()) {
  }
  *produced = stream.Count();
  return kScpOk;
}

// Two streams at once: while both are far from their ends their batches alternate, so the
// processor follows two independent chains of lookups instead of waiting on one.
template <class Output>
void DecodeDefaultTablePair(const ScpHuffmanStream& first, const ScpHuffmanStream& second,
                            uint32_t* producedFirst, uint32_t* producedSecond) {
  const RunTables& tables = Runs();
  StreamDecoder<Output> a(tables, first.data, first.byteCount, first.out, first.maxValues);
  StreamDecoder<Output> b(tables, second.data, second.byteCount, second.out, second.maxValues);
  bool aGoes = true;
  bool bGoes = true;
  while (aGoes && a.FarBatchesAhead() == 0) {
    aGoes = a.Step();
  }
  while (bGoes && b.FarBatchesAhead() == 0) {
    bGoes = b.Step();
  }
  StreamDecoder<Output>::FarBatches(&a, &b);
  while (aGoes && a.Step()) {
  }
  while (bGoes && b.Step()) {
  }
  *producedFirst = a.Count();
  *producedSecond = b.Count();
}

// Any other table: bit by bit, then the same outputs over the values kept.
template <class Output>
ScpStatus DecodeOtherTable(const ScpHuffmanCode* table, const uint8_t* data, uint32_t byteCount,
                           int16_t* out, uint32_t maxValues, uint32_t* produced) {
  const ScpStatus status =
      ScpHuffmanDecodeBitByBit(table, data, byteCount, out, maxValues, produced);
  const uint32_t kept = std::min(*produced, maxValues);
  Output output;
  if (kept != 0) {
    output.Start(out[0], out);
  }
  for (uint32_t i = 1; i < kept; ++i) {
    output.One(out[i], out + i);
  }
  return status;
}

template <class Output>
ScpStatus Decode(const ScpHuffmanCode* table, const uint8_t* data, uint32_t byteCount, int16_t* out,
                 uint32_t maxValues, uint32_t* produced) {
  if (table != nullptr && table != ScpDefaultHuffmanTable) {
    return DecodeOtherTable<Output>(table, data, byteCount, out, maxValues, produced);
  }
  return DecodeDefaultTable<Output>(data, byteCount, out, maxValues, produced);
}

}  // namespace

ScpStatus ScpHuffmanDecode(const ScpHuffmanCode* table, const uint8_t* data, uint32_t byteCount,
                           int16_t* out, uint32_t maxValues, uint32_t* produced) {
  return Decode<PlainValues>(table, data, byteCount, out, maxValues, produced);
}

ScpStatus ScpHuffmanDecodeSamples(const ScpHuffmanCode* table, const uint8_t* data,
                                  uint32_t byteCount, uint8_t differenceEncoding, int16_t* out,
                                  uint32_t maxValues, uint32_t* produced) {
  if (differenceEncoding == 1) {
    return Decode<FirstDifferences>(table, data, byteCount, out, maxValues, produced);
  }
  if (differenceEncoding == 2) {
    return Decode<SecondDifferences>(table, data, byteCount, out, maxValues, produced);
  }
  return Decode<PlainValues>(table, data, byteCount, out, maxValues, produced);
}

void ScpHuffmanDecodeSamplesPair(uint8_t differenceEncoding, const ScpHuffmanStream& first,
                                 const ScpHuffmanStream& second, uint32_t* producedFirst,
                                 uint32_t* producedSecond) {
  if (differenceEncoding == 1) {
    DecodeDefaultTablePair<FirstDifferences>(first, second, producedFirst, producedSecond);
  } else if (differenceEncoding == 2) {
    DecodeDefaultTablePair<SecondDifferences>(first, second, producedFirst, producedSecond);
  } else {
    DecodeDefaultTablePair<PlainValues>(first, second, producedFirst, producedSecond);
  }
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
