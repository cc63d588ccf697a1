#include "scp/ScpDecode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "tests/scp/ScpCodecTestRecords.h"

namespace {

using codectest::Bytes;
using codectest::LeadTable;
using codectest::MakeRecord;
using codectest::PlainValues;
using codectest::QrsSection;
using codectest::SignalSection;
using Samples = std::vector<int16_t>;

ScpQrsZone Protected(int32_t start, int32_t end) {
  return {start, end, 0, 0, 0};
}

ScpQrsZone Subtracting(int32_t start, int32_t end, int32_t referenceOffset) {
  return {0, 0, start, end, referenceOffset};
}

// The plain walk the fast routes are held to: stretch(start, end) and zone(start, end) in time
// order, each protected zone clipped to the lead and to the end of the zone before it.
template <class Stretch, class Zone>
void WalkPlainly(const std::vector<ScpQrsZone>& zones, int32_t count, Stretch stretch, Zone zone) {
  int32_t stretchStart = 0;
  for (size_t z = 0; z <= zones.size(); ++z) {
    int32_t zoneStart = count;
    int32_t zoneEnd = count;
    if (z < zones.size()) {
      zoneStart = std::clamp(zones[z].protectedStart, stretchStart, count);
      zoneEnd = std::clamp(zones[z].protectedEnd, zoneStart, count);
    }
    stretch(stretchStart, zoneStart);
    zone(zoneStart, zoneEnd);
    stretchStart = zoneEnd;
  }
}

// Up to three random protected zones in time order over a lead of `count` samples, some empty,
// overlapping or reaching past either end.
std::vector<ScpQrsZone> RandomZones(std::mt19937& random, int32_t count) {
  std::vector<ScpQrsZone> zones;
  for (uint32_t z = random() % 4; z > 0; --z) {
    const auto start = static_cast<int32_t>(random() % static_cast<uint32_t>(count + 6)) - 3;
    zones.push_back(Protected(start, start + static_cast<int32_t>(random() % 12)));
  }
  std::sort(zones.begin(), zones.end(), [](const ScpQrsZone& a, const ScpQrsZone& b) {
    return a.protectedStart < b.protectedStart;
  });
  return zones;
}

// --- Differences and rescaling -------------------------------------------------------------

TEST(ScpDifferences, FirstDifferencesAccumulate) {
  Samples values{5, 1, -2};
  ScpUndoFirstDifferences(values.data(), 3);
  EXPECT_EQ(values, (Samples{5, 6, 4}));
}

TEST(ScpDifferences, SecondDifferencesStartFromTwoSamples) {
  Samples values{5, 6, 1, 0};
  ScpUndoSecondDifferences(values.data(), 4);
  EXPECT_EQ(values, (Samples{5, 6, 8, 10}));
}

TEST(ScpDifferences, SumsWrapAtSixteenBits) {
  Samples values{32767, 1};
  ScpUndoFirstDifferences(values.data(), 2);
  EXPECT_EQ(values[1], -32768);
}

TEST(ScpDifferences, SecondDifferencesOfASingleValueLeaveItAlone) {
  Samples values{7, 99};  // the second value lies past the count
  ScpUndoSecondDifferences(values.data(), 1);
  EXPECT_EQ(values, (Samples{7, 99}));
}

TEST(ScpRescale, MultipliesThenDividesTruncatingTowardZero) {
  Samples values{10, -10, 32767};
  ScpRescale(values.data(), 3, 5000, 2500);
  EXPECT_EQ(values, (Samples{20, -20, -2}));  // 65534 stored back as 16 bits
  Samples thirds{10, -10};
  ScpRescale(thirds.data(), 2, 1, 3);
  EXPECT_EQ(thirds, (Samples{3, -3}));
}

TEST(ScpRescale, AgreesWithIntegerDivisionOnEveryValue) {
  for (const auto& [m, d] : {std::pair<uint16_t, uint16_t>{65535, 1},
                             {1, 65535},
                             {7, 3},
                             {2500, 5000},
                             {65535, 65534},
                             {4999, 5000}}) {
    Samples values;
    for (int32_t x = -32768; x <= 32767; ++x) {
      values.push_back(static_cast<int16_t>(x));
    }
    ScpRescale(values.data(), 65536, m, d);
    for (size_t i = 0; i < values.size(); ++i) {
      const int32_t x = static_cast<int32_t>(i) - 32768;
      ASSERT_EQ(values[i], static_cast<int16_t>(x * m / d)) << x << " * " << m << " / " << d;
    }
  }
}

TEST(ScpRescale, DivisorZeroLeavesTheValues) {
  Samples values{10, -10};
  ScpRescale(values.data(), 2, 5000, 0);
  EXPECT_EQ(values, (Samples{10, -10}));
}

// --- Expansion of decimated stretches ------------------------------------------------------

TEST(ScpExpandDecimated, RepeatsDecimatedValuesAndCopiesTheProtectedZone) {
  const ScpQrsZone zone = Protected(4, 8);
  EXPECT_EQ(ScpCountStoredValues(&zone, 1, 2, 12), 8);  // 2 + 4 + 2
  Samples values{10, 11, 12, 13, 14, 15, 16, 17, 0, 0, 0, 0};
  ScpExpandDecimated(values.data(), 8, 2, 12, &zone, 1);
  EXPECT_EQ(values, (Samples{10, 10, 11, 11, 12, 13, 14, 15, 16, 16, 17, 17}));
}

TEST(ScpExpandDecimated, StretchesThatAreNoMultipleOfTheFactorEndWithAShortFill) {
  // f = 4: [0, 5) takes 2 values (4 + 1 samples), zone [5, 7) 2 values, [7, 13) 2 values (4 + 2).
  const ScpQrsZone zone = Protected(5, 7);
  ASSERT_EQ(ScpCountStoredValues(&zone, 1, 4, 13), 6);
  Samples values{1, 2, 3, 4, 5, 6, 0, 0, 0, 0, 0, 0, 0};
  ScpExpandDecimated(values.data(), 6, 4, 13, &zone, 1);
  EXPECT_EQ(values, (Samples{1, 1, 1, 1, 2, 3, 4, 5, 5, 5, 5, 6, 6}));
}

TEST(ScpExpandDecimated, ShortStreamFillsTheMissingTailWithZero) {
  const ScpQrsZone zone = Protected(4, 8);
  Samples values{10, 11, 12, 13, 14, 0, 0, 0, 0, 0, 0, 0};
  ScpExpandDecimated(values.data(), 5, 2, 12, &zone, 1);  // three of eight values missing
  EXPECT_EQ(values, (Samples{10, 10, 11, 11, 12, 13, 14, 0, 0, 0, 0, 0}));
}

TEST(ScpExpandDecimated, WithoutZonesTheWholeLeadIsOneDecimatedStretch) {
  EXPECT_EQ(ScpCountStoredValues(nullptr, 0, 3, 7), 3);
  Samples values{1, 2, 3, 0, 0, 0, 0};
  ScpExpandDecimated(values.data(), 3, 3, 7, nullptr, 0);
  EXPECT_EQ(values, (Samples{1, 1, 1, 2, 2, 2, 3}));
}

TEST(ScpExpandDecimated, ZonesPastTheLeadOrOverlappingAreClipped) {
  // The second zone starts inside the first and runs past the 10 samples.
  const ScpQrsZone zones[] = {Protected(2, 6), Protected(4, 40)};
  ASSERT_EQ(ScpCountStoredValues(zones, 2, 2, 10), 1 + 4 + 4);
  Samples values(10, 0);
  for (int i = 0; i < 9; ++i) {
    values[i] = static_cast<int16_t>(i + 1);
  }
  ScpExpandDecimated(values.data(), 9, 2, 10, zones, 2);
  EXPECT_EQ(values, (Samples{1, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

// Stretches of one value per `factor` samples and protected zones of one per sample, on random
// stored values of every size and on leads of every length near the vector widths; the stored
// values fall short, match or run over what the zones call for.
TEST(ScpExpandDecimated, MatchesThePlainValueByValueFillOnRandomLeads) {
  std::mt19937 random(1);
  for (const uint16_t factor : {1, 2, 3, 4, 8}) {
    for (int32_t count = 1; count <= 80; ++count) {
      const std::vector<ScpQrsZone> zones = RandomZones(random, count);
      const auto zoneCount = static_cast<uint16_t>(zones.size());
      const int32_t needed = ScpCountStoredValues(zones.data(), zoneCount, factor, count);
      const auto storedCount = static_cast<int32_t>(random() % static_cast<uint32_t>(needed + 3));
      const auto mix = codectest::kSampleMixes[random() % std::size(codectest::kSampleMixes)];
      const Samples stored =
          codectest::RandomSamples(random, static_cast<size_t>(storedCount), mix);
      Samples expected(static_cast<size_t>(count));
      size_t next = 0;
      const auto nextValue = [&] { return next < stored.size() ? stored[next++] : int16_t{0}; };
      WalkPlainly(
          zones, count,
          [&](int32_t start, int32_t end) {
            for (int32_t i = start; i < end; i += factor) {
              std::fill(&expected[i], &expected[0] + std::min(i + factor, end), nextValue());
            }
          },
          [&](int32_t start, int32_t end) {
            std::generate(&expected[0] + start, &expected[0] + end, nextValue);
          });
      Samples values = stored;
      values.resize(std::max(stored.size(), expected.size()));
      ScpExpandDecimated(values.data(), storedCount, factor, count, zones.data(), zoneCount);
      values.resize(expected.size());
      ASSERT_EQ(values, expected) << "factor " << factor << ", " << count << " samples";
    }
  }
}

// --- Reference beat addition ----------------------------------------------------------------

TEST(ScpAddReferenceBeat, AddsOverTheSubtractionZoneFromTheReferenceOffset) {
  const Samples reference{100, 200, 300, 400};
  Samples values(6, 1);
  const ScpQrsZone zone = Subtracting(2, 4, 1);
  ScpAddReferenceBeat(reference.data(), 4, values.data(), 6, &zone, 1);
  EXPECT_EQ(values, (Samples{1, 1, 201, 301, 1, 1}));
}

TEST(ScpAddReferenceBeat, ZoneStartingBeforeTheFirstSampleIsClippedAndTheReferenceAdvanced) {
  const Samples reference{100, 200, 300, 400};
  Samples values(4, 0);
  const ScpQrsZone zone = Subtracting(-2, 2, 0);
  ScpAddReferenceBeat(reference.data(), 4, values.data(), 4, &zone, 1);
  EXPECT_EQ(values, (Samples{300, 400, 0, 0}));
}

TEST(ScpAddReferenceBeat, ZonesReachingPastEitherArrayStopAtItsEnd) {
  const Samples reference{100, 200, 300};
  Samples values(5, 0);
  const ScpQrsZone zones[] = {Subtracting(3, 9, 0), Subtracting(0, 3, 2), Subtracting(0, 2, -1)};
  ScpAddReferenceBeat(reference.data(), 3, values.data(), 5, zones, 3);
  // zone 0: values 3, 4 get reference 0, 1; zone 1: value 0 gets reference 2 and the beat ends;
  // zone 2: reference index -1 is skipped, so value 1 gets reference 0.
  EXPECT_EQ(values, (Samples{300, 100, 0, 100, 200}));
}

// Random subtraction ranges, some starting before either array or running past it, added to
// leads and beats of every length near the vector widths and every size of sample.
TEST(ScpAddReferenceBeat, MatchesThePlainSampleBySampleSumOnRandomZones) {
  std::mt19937 random(2);
  for (int32_t count = 1; count <= 80; ++count) {
    for (const codectest::SampleMix mix : codectest::kSampleMixes) {
      const auto referenceCount = static_cast<int32_t>(random() % 80);
      const Samples reference =
          codectest::RandomSamples(random, static_cast<size_t>(referenceCount), mix);
      const Samples values = codectest::RandomSamples(random, static_cast<size_t>(count), mix);
      std::vector<ScpQrsZone> zones;
      for (uint32_t z = random() % 4; z > 0; --z) {
        const auto start = static_cast<int32_t>(random() % static_cast<uint32_t>(count + 40)) - 20;
        const auto offset = static_cast<int32_t>(random() % 100) - 20;
        zones.push_back(Subtracting(start, start + static_cast<int32_t>(random() % 70), offset));
      }
      Samples expected = values;
      for (const ScpQrsZone& zone : zones) {
        for (int32_t i = std::max(zone.subtractStart, 0); i < std::min(zone.subtractEnd, count);
             ++i) {
          const int32_t k = zone.referenceOffset + i - zone.subtractStart;
          if (k >= 0 && k < referenceCount) {
            expected[i] = static_cast<int16_t>(expected[i] + reference[k]);
          }
        }
      }
      Samples added = values;
      ScpAddReferenceBeat(reference.data(), referenceCount, added.data(), count, zones.data(),
                          static_cast<uint16_t>(zones.size()));
      ASSERT_EQ(added, expected) << count << " samples, beat of " << referenceCount;
    }
  }
}

// --- Smoothing --------------------------------------------------------------------------------

Samples Smoothed(const Samples& values, int32_t count, const ScpQrsZone* zones,
                 uint16_t zoneCount) {
  Samples smoothed(values.size());
  ScpSmoothOutsideZones(values.data(), smoothed.data(), count, zones, zoneCount);
  return smoothed;
}

TEST(ScpSmoothOutsideZones, AveragesThreeNeighboursAndKeepsTheEnds) {
  Samples values{30, 60, 0, 90};
  values = Smoothed(values, 4, nullptr, 0);
  EXPECT_EQ(values, (Samples{30, 30, 50, 90}));
}

TEST(ScpSmoothOutsideZones, NegativeSumsTruncateTowardZero) {
  Samples values{-30, -60, 0, -90};
  values = Smoothed(values, 4, nullptr, 0);
  EXPECT_EQ(values, (Samples{-30, -29, -49, -90}));  // (-89) / 3 and (-149) / 3
}

TEST(ScpSmoothOutsideZones, EverySumOfThreeSamplesDividesAsIntegers) {
  // Triples whose middle sample sees every sum three samples up to `limit` can make; every inner
  // sample must match the integer average of its neighbours before smoothing. The full range and
  // the largest samples whose sums still fit 16 bits take different routes.
  for (const int32_t limit : {int32_t{INT16_MAX}, int32_t{INT16_MAX / 3}}) {
    Samples values;
    for (int32_t total = -3 * limit; total <= 3 * limit; ++total) {
      const int32_t first = std::clamp(total, -limit, limit);
      const int32_t second = std::clamp(total - first, -limit, limit);
      values.insert(values.end(), {static_cast<int16_t>(first), static_cast<int16_t>(second),
                                   static_cast<int16_t>(total - first - second)});
    }
    Samples expected = values;
    for (size_t i = 1; i + 1 < values.size(); ++i) {
      expected[i] = static_cast<int16_t>((values[i - 1] + values[i] + values[i + 1] + 1) / 3);
    }
    values = Smoothed(values, static_cast<int32_t>(values.size()), nullptr, 0);
    EXPECT_EQ(values, expected) << "samples up to " << limit;
  }
}

// Sums of three samples beyond 10 922 in magnitude do not fit 16 bits; they are averaged in full
// whether every sample lies beyond it or only one at an end of the lead does.
TEST(ScpSmoothOutsideZones, SamplesTooLargeForSixteenBitSumsAverageTruly) {
  const std::pair<Samples, Samples> cases[] = {
      {{10923, 16383, 16383, 10923}, {10923, 14563, 14563, 10923}},
      {{-16383, -10923, -16383, -16383}, {-16383, -14562, -14562, -16383}},
      {{0, -10922, -10922, -32768}, {0, -7281, -18203, -32768}},
      {{32767, 10922, 10922, 0}, {32767, 18204, 7281, 0}},
  };
  for (const auto& [values, expected] : cases) {
    EXPECT_EQ(Smoothed(values, 4, nullptr, 0), expected) << values[0] << ", " << values[3];
  }
}

// Random leads of every length near the vector widths, of every size of sample, without zones or
// with random ones, against the plain stretch-by-stretch average in 32 bits.
TEST(ScpSmoothOutsideZones, MatchesThePlainStretchByStretchAverageOnRandomLeads) {
  std::mt19937 random(3);
  for (int32_t count = 1; count <= 100; ++count) {
    for (const codectest::SampleMix mix : codectest::kSampleMixes) {
      for (int round = 0; round < 4; ++round) {
        const Samples values = codectest::RandomSamples(random, static_cast<size_t>(count), mix);
        const std::vector<ScpQrsZone> zones = RandomZones(random, count);
        Samples expected = values;
        WalkPlainly(
            zones, count,
            [&](int32_t start, int32_t end) {
              // The second of a two-value stretch is averaged with the value after it, if any.
              const int32_t averagedEnd = end - start == 2 && end < count ? end : end - 1;
              for (int32_t j = start + 1; j < averagedEnd; ++j) {
                expected[j] =
                    static_cast<int16_t>((values[j - 1] + values[j] + values[j + 1] + 1) / 3);
              }
            },
            [](int32_t, int32_t) {});
        ASSERT_EQ(Smoothed(values, count, zones.data(), static_cast<uint16_t>(zones.size())),
                  expected)
            << count << " samples, " << zones.size() << " zones";
      }
    }
  }
}

TEST(ScpSmoothOutsideZones, ProtectedZonesStayAndBoundTheStretches) {
  Samples values{0, 30, 60, 90, 9, 9, 9, 0, 60};
  const ScpQrsZone zone = Protected(4, 7);
  values = Smoothed(values, 9, &zone, 1);
  // [0, 4) smooths its inner values; the zone stays; [7, 9) has two values and no value after.
  EXPECT_EQ(values, (Samples{0, 30, 60, 90, 9, 9, 9, 0, 60}));
  Samples inner{0, 3, 6, 90, 9, 9, 9, 0, 60};
  inner = Smoothed(inner, 9, &zone, 1);
  EXPECT_EQ(inner, (Samples{0, 3, 33, 90, 9, 9, 9, 0, 60}));
}

TEST(ScpSmoothOutsideZones, TwoValueStretchAveragesItsSecondWithTheValueAfterIt) {
  Samples values{10, 20, 90, 90};
  const ScpQrsZone zone = Protected(2, 4);
  values = Smoothed(values, 4, &zone, 1);
  EXPECT_EQ(values, (Samples{10, 40, 90, 90}));  // (10 + 20 + 90 + 1) / 3
}

TEST(ScpSmoothOutsideZones, OneValueStretchesAndZonesAtTheEndsStay) {
  const Samples values{50, 9, 9, 70, 0, 30};
  // One-value stretches between zones, and a zone opening the lead before a two-value stretch
  // that ends it: nothing has neighbours of its own to be averaged with.
  const ScpQrsZone between[] = {Protected(1, 3), Protected(4, 5)};
  EXPECT_EQ(Smoothed(values, 6, between, 2), values);
  const ScpQrsZone opening[] = {Protected(0, 2), Protected(3, 4)};
  EXPECT_EQ(Smoothed(values, 6, opening, 2), values);
}

// --- The decoders on small records -----------------------------------------------------------

// A record of one plain lead (code 1, samples 1 to n) in sections 3 and 6, and a reference beat
// in section 5 when given.
ScpRecordPtr PlainRecord(const Samples& rhythm, uint8_t differences, const Samples& reference = {},
                         uint16_t rhythmMultiplier = 5000, uint16_t referenceMultiplier = 5000) {
  std::vector<std::pair<uint16_t, Bytes>> sections{
      {3, LeadTable({{1, static_cast<uint32_t>(rhythm.size()), 1}})},
      {6, SignalSection(rhythmMultiplier, 2000, differences, {PlainValues(rhythm)})}};
  if (!reference.empty()) {
    sections.push_back({5, SignalSection(referenceMultiplier, 2000, 0, {PlainValues(reference)})});
  }
  return MakeRecord(sections);
}

TEST(ScpDecodeRhythm, PlainDataWithFirstDifferencesDecodesToSamples) {
  ScpRecordPtr record = PlainRecord({5, 1, -2, 3}, 1);
  ScpRhythmSignal rhythm{};
  ASSERT_EQ(ScpDecodeRhythm(record.get(), 1, &rhythm, nullptr), kScpOk);
  EXPECT_EQ(Samples(rhythm.samples, rhythm.samples + rhythm.sampleCount), (Samples{5, 6, 4, 7}));
  EXPECT_EQ(rhythm.zoneCount, 0);
  EXPECT_EQ(rhythm.zones, nullptr);
  EXPECT_EQ(rhythm.decimationFactor, 1);
  EXPECT_EQ(rhythm.amplitudeMultiplier, 5000);
  EXPECT_EQ(rhythm.sampleInterval, 2000);
  ScpFreeRhythm(&rhythm);
  EXPECT_EQ(rhythm.samples, nullptr);
}

TEST(ScpDecodeRhythm, UnknownDifferenceEncodingLeavesValuesAsStored) {
  ScpRecordPtr record = PlainRecord({5, 1, -2}, 3);
  ScpRhythmSignal rhythm{};
  ASSERT_EQ(ScpDecodeRhythm(record.get(), 1, &rhythm, nullptr), kScpOk);
  EXPECT_EQ(Samples(rhythm.samples, rhythm.samples + 3), (Samples{5, 1, -2}));
  ScpFreeRhythm(&rhythm);
}

TEST(ScpDecodeRhythm, PlainDataAreReadByTheLeadsSampleCountNotItsByteCount) {
  // Lead 1 claims 4 samples but stores 2 bytes; its values run on into lead 2's data, as stored
  // plain data always have. Lead 2 is the last: its fourth value would lie past the body, so the
  // lead ends after its third (no invented zero).
  ScpRecordPtr record =
      MakeRecord({{3, LeadTable({{1, 4, 1}, {1, 4, 2}})},
                  {6, SignalSection(5000, 2000, 0, {PlainValues({1}), PlainValues({2, 3, 4})})}});
  ScpRhythmSignal first{};
  ASSERT_EQ(ScpDecodeRhythm(record.get(), 1, &first, nullptr), kScpOk);
  EXPECT_EQ(Samples(first.samples, first.samples + first.sampleCount), (Samples{1, 2, 3, 4}));
  ScpRhythmSignal second{};
  ASSERT_EQ(ScpDecodeRhythm(record.get(), 2, &second, nullptr), kScpOk);
  EXPECT_EQ(Samples(second.samples, second.samples + second.sampleCount), (Samples{2, 3, 4}));
  EXPECT_EQ(second.endSample, 3);
  ScpFreeRhythm(&first);
  ScpFreeRhythm(&second);
}

TEST(ScpDecodeRhythm, PlainLeadCutShortByTheSectionEndsWhereItsDataEnd) {
  // Two billion samples claimed, 1000 stored, decimated by 2 outside no complex: the lead is the
  // 2000 samples its values fill, allocated for what is there rather than for the claim.
  Samples stored(1000);
  for (size_t i = 0; i < stored.size(); ++i) {
    stored[i] = static_cast<int16_t>(i + 1);
  }
  ScpRecordPtr record = MakeRecord({{3, LeadTable({{1, 2000000000, 1}})},
                                    {4, codectest::QrsSection(800, 200, {}, {})},
                                    {5, SignalSection(5000, 2000, 0, {Bytes{}})},
                                    {6, SignalSection(5000, 4000, 0, {PlainValues(stored)})}});
  ScpRhythmSignal rhythm{};
  ASSERT_EQ(ScpDecodeRhythm(record.get(), 1, &rhythm, nullptr), kScpOk);
  ASSERT_EQ(rhythm.sampleCount, 2000);
  EXPECT_EQ(rhythm.endSample, 2000);
  EXPECT_EQ(rhythm.samples[1999], 1000);
  ScpFreeRhythm(&rhythm);
}

TEST(ScpDecodeRhythm, ShortHuffmanStreamEndsInZeros) {
  // 8 samples from one byte: +1 (100), 0 (0), +1 (100), 0 (0), then nothing more to read.
  ScpRecordPtr record = MakeRecord({{2, Bytes{0, 0}},
                                    {3, LeadTable({{1, 8, 1}})},
                                    {6, SignalSection(5000, 2000, 0, {Bytes{0x88}})}});
  ScpRhythmSignal rhythm{};
  ASSERT_EQ(ScpDecodeRhythm(record.get(), 1, &rhythm, nullptr), kScpOk);
  EXPECT_EQ(Samples(rhythm.samples, rhythm.samples + rhythm.sampleCount),
            (Samples{1, 0, 1, 0, 0, 0, 0, 0}));
  ScpFreeRhythm(&rhythm);
}

TEST(ScpDecodeRhythm, LeadsLongerThan65535SamplesKeepTheirFullCount) {
  Samples values(70000);
  for (size_t i = 0; i < values.size(); ++i) {
    values[i] = static_cast<int16_t>(i % 1000);
  }
  ScpRecordPtr record = PlainRecord(values, 0);
  ScpRhythmSignal rhythm{};
  ASSERT_EQ(ScpDecodeRhythm(record.get(), 1, &rhythm, nullptr), kScpOk);
  ASSERT_EQ(rhythm.sampleCount, 70000);
  EXPECT_EQ(rhythm.samples[69999], 999);
  EXPECT_EQ(rhythm.samples[65536], 536);
  ScpFreeRhythm(&rhythm);
}

TEST(ScpDecodeRhythm, HuffmanSpanLargerThanTheLeadsOwnBytesCouldCodeIsRefused) {
  // A 4-byte lead codes at most 32 values: 10 million samples are refused, and so are 33 even
  // when another lead's data make the section large.
  for (uint32_t span : {10000000u, 33u}) {
    ScpRecordPtr record =
        MakeRecord({{2, Bytes{0, 0}},
                    {3, LeadTable({{1, span, 1}, {1, span, 2}})},
                    {6, SignalSection(5000, 2000, 0, {Bytes{0, 0, 0, 0}, Bytes(60000, 0)})}});
    ScpRhythmSignal rhythm{};
    EXPECT_EQ(ScpDecodeRhythm(record.get(), 1, &rhythm, nullptr),
              kScpErrMalformed - kScpLayerDecoder)
        << span;
    EXPECT_EQ(rhythm.samples, nullptr);
    EXPECT_EQ(rhythm.zones, nullptr);
  }
}

TEST(ScpDecodeRhythm, ReversedOrEmptySpanIsRefused) {
  ScpRecordPtr record = MakeRecord(
      {{3, LeadTable({{5, 4, 1}})}, {6, SignalSection(5000, 2000, 0, {PlainValues({1, 2})})}});
  ScpRhythmSignal rhythm{};
  EXPECT_EQ(ScpDecodeRhythm(record.get(), 1, &rhythm, nullptr),
            kScpErrMalformed - kScpLayerDecoder);
  EXPECT_EQ(rhythm.samples, nullptr);
}

TEST(ScpDecodeRhythm, UnlistedLeadCodeFailsThroughTheLeadLookup) {
  ScpRecordPtr record = PlainRecord({1, 2}, 0);
  ScpRhythmSignal rhythm{};
  EXPECT_EQ(ScpDecodeRhythm(record.get(), 2, &rhythm, nullptr),
            kScpErrNoLead - kScpLayerItem - kScpLayerTypedItem - kScpLayerDecoder);
  EXPECT_EQ(rhythm.samples, nullptr);
}

TEST(ScpDecodeRhythm, ReferenceBeatWithoutQrsSectionRescalesAndSmoothsTheWholeLead) {
  // Rhythm units of 5000 nV, reference units of 2500 nV: 7 becomes 14 and comes back as 7.
  ScpRecordPtr record = PlainRecord({30, 60, 0, 90, 7}, 0, {1, 1}, 5000, 2500);
  ScpReferenceBeat beat{};
  ASSERT_EQ(ScpDecodeReferenceBeat(record.get(), 1, &beat), kScpOk);
  ScpRhythmSignal rhythm{};
  ASSERT_EQ(ScpDecodeRhythm(record.get(), 1, &rhythm, &beat), kScpOk);
  EXPECT_EQ(Samples(rhythm.samples, rhythm.samples + 5), (Samples{30, 30, 50, 32, 7}));
  ScpFreeRhythm(&rhythm);
  ScpFreeReferenceBeat(&beat);
}

TEST(ScpDecodeRhythm, ReferenceBeatWithoutSamplesIsTreatedAsNone) {
  ScpRecordPtr record = PlainRecord({30, 60, 0, 90}, 0);
  ScpReferenceBeat beat{};
  beat.leadCode = 1;
  beat.amplitudeMultiplier = 5000;
  ScpRhythmSignal rhythm{};
  ASSERT_EQ(ScpDecodeRhythm(record.get(), 1, &rhythm, &beat), kScpOk);
  EXPECT_EQ(Samples(rhythm.samples, rhythm.samples + 4), (Samples{30, 60, 0, 90}));  // unsmoothed
  ScpFreeRhythm(&rhythm);
}

TEST(ScpDecodeRhythm, ZeroAmplitudeMultiplierSkipsRescalingInsteadOfDividingByZero) {
  ScpRecordPtr record = PlainRecord({30, 60, 0, 90}, 0, {1, 1}, 5000, 0);
  ScpReferenceBeat beat{};
  ASSERT_EQ(ScpDecodeReferenceBeat(record.get(), 1, &beat), kScpOk);
  ScpRhythmSignal rhythm{};
  ASSERT_EQ(ScpDecodeRhythm(record.get(), 1, &rhythm, &beat), kScpOk);
  EXPECT_EQ(Samples(rhythm.samples, rhythm.samples + 4), (Samples{30, 30, 50, 90}));
  ScpFreeRhythm(&rhythm);
  ScpFreeReferenceBeat(&beat);
}

TEST(ScpDecodeReferenceBeat, WithoutQrsSectionPlainDataSizeTheBeat) {
  ScpRecordPtr record = PlainRecord({0}, 0, {4, 5, 6});
  ScpReferenceBeat beat{};
  ASSERT_EQ(ScpDecodeReferenceBeat(record.get(), 1, &beat), kScpOk);
  EXPECT_EQ(beat.beatLength, 6);  // 3 values of 2000 us
  EXPECT_EQ(beat.sampleCount, 3);
  EXPECT_EQ(beat.fiducial, 0);
  EXPECT_EQ(beat.startSample, 0);
  EXPECT_EQ(beat.endSample, 3);
  EXPECT_EQ(Samples(beat.samples, beat.samples + 3), (Samples{4, 5, 6}));
  ScpFreeReferenceBeat(&beat);
}

TEST(ScpDecodeReferenceBeat, QrsHeaderSizesTheBeatAndAShortStreamEndsInZeros) {
  ScpRecordPtr record = MakeRecord({{3, LeadTable({{1, 10, 1}})},
                                    {4, QrsSection(10, 3, {})},  // 10 ms at 2000 us: 5 samples
                                    {5, SignalSection(5000, 2000, 2, {PlainValues({5, 6, 1})})}});
  ScpReferenceBeat beat{};
  ASSERT_EQ(ScpDecodeReferenceBeat(record.get(), 1, &beat), kScpOk);
  EXPECT_EQ(beat.fiducial, 3);
  ASSERT_EQ(beat.sampleCount, 5);
  // 5, 6, 1 then two missing values taken as 0: second differences 5, 6, 1, 0, 0.
  EXPECT_EQ(Samples(beat.samples, beat.samples + 5), (Samples{5, 6, 8, 10, 12}));
  ScpFreeReferenceBeat(&beat);
}

TEST(ScpDecodeReferenceBeat, HuffmanDataWithoutQrsSectionCannotBeSized) {
  ScpRecordPtr record = MakeRecord({{2, Bytes{0, 0}},
                                    {3, LeadTable({{1, 10, 1}})},
                                    {5, SignalSection(5000, 2000, 0, {Bytes{0}})}});
  ScpReferenceBeat beat{};
  EXPECT_EQ(ScpDecodeReferenceBeat(record.get(), 1, &beat),
            kScpErrNoSection - kScpLayerRecord - kScpLayerAccessor - kScpLayerDecoder);
  EXPECT_EQ(beat.samples, nullptr);
}

TEST(ScpDecodeReferenceBeat, BeatLongerThan65535SamplesIsRefusedNotTruncated) {
  // 65535 ms at 500 us would be 131070 samples, more than the beat's 16-bit count can hold.
  ScpRecordPtr record = MakeRecord({{3, LeadTable({{1, 10, 1}})},
                                    {4, QrsSection(65535, 3, {})},
                                    {5, SignalSection(5000, 500, 0, {PlainValues({1, 2})})}});
  ScpReferenceBeat beat{};
  EXPECT_EQ(ScpDecodeReferenceBeat(record.get(), 1, &beat), kScpErrMalformed - kScpLayerDecoder);
  EXPECT_EQ(beat.samples, nullptr);
}

TEST(ScpDecodeReferenceBeat, HuffmanTablesDeclaredInSectionTwoAreUsed) {
  // Section 2 declaring one table of two rows: bit 0 is the value 5, bit 1 the value 1. The
  // default table would read 0x80 as +1 (code 100) and then 0s.
  const Bytes ownTable{1, 0, 2, 0,                  // one table of two rows
                       1, 1, 1, 5, 0, 0, 0, 0, 0,   // 1 bit, value 5, code 0
                       1, 1, 1, 1, 0, 1, 0, 0, 0};  // 1 bit, value 1, code 1
  ScpRecordPtr record = MakeRecord({{2, ownTable},
                                    {3, LeadTable({{1, 10, 1}})},
                                    {4, QrsSection(8, 1, {})},  // 8 ms at 2000 us: 4 samples
                                    {5, SignalSection(5000, 2000, 0, {Bytes{0x80}})}});
  ScpReferenceBeat beat{};
  ASSERT_EQ(ScpDecodeReferenceBeat(record.get(), 1, &beat), kScpOk);
  EXPECT_EQ(Samples(beat.samples, beat.samples + 4), (Samples{1, 5, 5, 5}));
  ScpFreeReferenceBeat(&beat);
}

TEST(ScpDecodeReferenceBeat, ZeroSampleIntervalIsRefusedInsteadOfDividingByZero) {
  ScpRecordPtr record = MakeRecord({{3, LeadTable({{1, 10, 1}})},
                                    {4, QrsSection(10, 3, {})},
                                    {5, SignalSection(5000, 0, 0, {PlainValues({1, 2})})}});
  ScpReferenceBeat beat{};
  EXPECT_EQ(ScpDecodeReferenceBeat(record.get(), 1, &beat), kScpErrMalformed - kScpLayerDecoder);
  EXPECT_EQ(beat.samples, nullptr);
}

// Leads decoded together (in groups of sixteen, Huffman-coded streams in pairs, zones shared by
// leads of one span) come out as each decoded alone does, status for status. The list crosses a
// group boundary, repeats every lead and holds a code the record lacks.
TEST(ScpDecodeLeads, TogetherTheyDecodeAsEachAlone) {
  ScpRecordPtr record = codectest::ReadExample();
  ASSERT_NE(record, nullptr);
  std::vector<uint8_t> codes;
  for (int round = 0; round < 3; ++round) {
    for (uint8_t code = 1; code <= 8; ++code) {
      codes.push_back(code);
    }
  }
  codes.insert(codes.begin() + 5, 200);
  const auto count = static_cast<int32_t>(codes.size());
  std::vector<ScpReferenceBeat> beats(codes.size());
  std::vector<ScpRhythmSignal> rhythms(codes.size());
  std::vector<ScpStatus> beatStatuses(codes.size());
  std::vector<ScpStatus> rhythmStatuses(codes.size());
  std::vector<const ScpReferenceBeat*> references(codes.size());
  for (size_t i = 0; i < codes.size(); ++i) {
    references[i] = &beats[i];
  }
  ScpDecodeReferenceBeats(record.get(), count, codes.data(), beats.data(), beatStatuses.data());
  ScpDecodeRhythmLeads(record.get(), count, codes.data(), references.data(), rhythms.data(),
                       rhythmStatuses.data());
  int decoded = 0;
  for (size_t i = 0; i < codes.size(); ++i) {
    ScpReferenceBeat beat{};
    ScpRhythmSignal rhythm{};
    EXPECT_EQ(ScpDecodeReferenceBeat(record.get(), codes[i], &beat), beatStatuses[i]) << i;
    EXPECT_EQ(ScpDecodeRhythm(record.get(), codes[i], &rhythm, &beat), rhythmStatuses[i]) << i;
    if (rhythmStatuses[i] == kScpOk && beatStatuses[i] == kScpOk) {
      ++decoded;
      EXPECT_EQ(Samples(beats[i].samples, beats[i].samples + beats[i].sampleCount),
                Samples(beat.samples, beat.samples + beat.sampleCount))
          << i;
      EXPECT_EQ(Samples(rhythms[i].samples, rhythms[i].samples + rhythms[i].sampleCount),
                Samples(rhythm.samples, rhythm.samples + rhythm.sampleCount))
          << i;
    }
    ScpFreeRhythm(&rhythm);
    ScpFreeReferenceBeat(&beat);
    ScpFreeRhythm(&rhythms[i]);
    ScpFreeReferenceBeat(&beats[i]);
  }
  EXPECT_NE(rhythmStatuses[5], kScpOk);
  EXPECT_EQ(decoded, 24);
}

}  // namespace
