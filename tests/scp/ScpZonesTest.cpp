// QRS zones of decimated rhythm leads: where the full-rate stretches lie, how many values the
// lead stores, and how a decimated lead with exact protected areas decodes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <tuple>
#include <vector>

#include "scp/ScpDecode.h"
#include "tests/scp/ScpCodecTestRecords.h"

namespace {

using codectest::Area;
using codectest::Bytes;
using codectest::Complex;
using codectest::LeadTable;
using codectest::MakeRecord;
using codectest::MeasurementSection;
using codectest::PlainValues;
using codectest::QrsSection;
using codectest::SignalSection;
using Samples = std::vector<int16_t>;

// The shape of the records below: one lead (code 1) of samples 1 to `samples`, a reference beat
// with fiducial 201 and QRS onset 360 ms / offset 460 ms in section 7.
struct ZoneRecord {
  uint32_t samples = 5000;
  uint16_t referenceInterval = 2000;
  uint16_t rhythmInterval = 4000;
  std::vector<Complex> complexes;
  std::vector<Area> areas;
  bool measurements = true;

  ScpRecordPtr Build() const {
    std::vector<std::pair<uint16_t, Bytes>> sections{
        {3, LeadTable({{1, samples, 1}})},
        {4, QrsSection(1200, 201, complexes, areas)},
        {5, SignalSection(5000, referenceInterval, 0, {Bytes{}})},
        {6, SignalSection(5000, rhythmInterval, 0, {Bytes{}})}};
    if (measurements) {
      sections.push_back({7, MeasurementSection(360, 460)});
    }
    return MakeRecord(sections);
  }
};

struct Zones {
  ScpStatus status = 0;
  std::vector<ScpQrsZone> zones;
  uint16_t factor = 0;
  int32_t expected = 0;
};

Zones BuildZones(const ScpRecord* record) {
  Zones result;
  ScpQrsZone* zones = nullptr;
  uint16_t count = 0;
  result.status = ScpBuildQrsZones(record, 0, &zones, &count, &result.factor, &result.expected);
  if (zones != nullptr) {
    result.zones.assign(zones, zones + count);
  }
  EXPECT_EQ(zones == nullptr, count == 0);
  std::free(zones);
  return result;
}

const Complex kWorkedComplex{0, 1001, 1101, 1301};

TEST(ScpQrsZones, WorkedExamplePlacesTheZonesAndCountsTheStoredValues) {
  ZoneRecord shape;
  shape.complexes = {kWorkedComplex};
  ScpRecordPtr record = shape.Build();
  const Zones built = BuildZones(record.get());
  ASSERT_EQ(built.status, kScpOk);
  EXPECT_EQ(built.factor, 2);
  ASSERT_EQ(built.zones.size(), 1u);
  const ScpQrsZone& zone = built.zones[0];
  EXPECT_EQ(zone.subtractStart, 1000);
  EXPECT_EQ(zone.subtractEnd, 1300);
  EXPECT_EQ(zone.referenceOffset, 101);  // rhythm index 1100 meets reference index 201
  EXPECT_EQ(zone.protectedStart, 1080);  // on = 180, off = 231
  EXPECT_EQ(zone.protectedEnd, 1132);
  EXPECT_EQ(built.expected, 540 + 52 + 1934);
}

TEST(ScpQrsZones, FactorIsTheWholeRatioOfTheIntervalsWhenTheRhythmIsSlower) {
  ZoneRecord shape;
  shape.complexes = {kWorkedComplex};
  shape.rhythmInterval = 3000;
  EXPECT_EQ(BuildZones(shape.Build().get()).factor, 1);
  shape.rhythmInterval = 8000;
  EXPECT_EQ(BuildZones(shape.Build().get()).factor, 4);
  shape.rhythmInterval = 1000;  // a faster rhythm is never decimated
  EXPECT_EQ(BuildZones(shape.Build().get()).factor, 1);
}

TEST(ScpQrsZones, OtherBeatTypesProtectTheirSpanAndSubtractNothing) {
  ZoneRecord shape;
  shape.complexes = {{1, 2001, 2101, 2301}};
  const Zones built = BuildZones(shape.Build().get());
  ASSERT_EQ(built.zones.size(), 1u);
  EXPECT_EQ(built.zones[0].protectedStart, 2000);
  EXPECT_EQ(built.zones[0].protectedEnd, 2300);
  EXPECT_EQ(built.zones[0].subtractStart, built.zones[0].subtractEnd);
  EXPECT_EQ(built.zones[0].referenceOffset, 201);
}

TEST(ScpQrsZones, UnsubtractedBeatWithoutSpanIsProtectedAroundItsFiducial) {
  ZoneRecord shape;
  shape.complexes = {kWorkedComplex, {2, 0, 2101, 0}};
  const Zones built = BuildZones(shape.Build().get());
  ASSERT_EQ(built.zones.size(), 2u);
  // Like a type-0 complex at fc 2101, not a zone at the start of the lead.
  EXPECT_EQ(built.zones[1].protectedStart, 2080);
  EXPECT_EQ(built.zones[1].protectedEnd, 2132);
  EXPECT_EQ(built.zones[1].subtractStart, built.zones[1].subtractEnd);
  EXPECT_EQ(built.expected, 540 + 52 + 474 + 52 + 1434);
}

TEST(ScpQrsZones, StoredProtectedAreasGiveExactZonesAndCeilingCounts) {
  ZoneRecord shape;
  shape.complexes = {kWorkedComplex, {1, 0, 2101, 0}};
  shape.areas = {{1081, 1131}, {2079, 2130}};  // 1-based, inclusive; no multiples of 2
  const Zones built = BuildZones(shape.Build().get());
  ASSERT_EQ(built.zones.size(), 2u);
  EXPECT_EQ(built.zones[0].protectedStart, 1080);
  EXPECT_EQ(built.zones[0].protectedEnd, 1131);
  EXPECT_EQ(built.zones[1].protectedStart, 2078);
  EXPECT_EQ(built.zones[1].protectedEnd, 2130);
  // Subtraction still follows the complex entries.
  EXPECT_EQ(built.zones[0].subtractStart, 1000);
  EXPECT_EQ(built.zones[0].referenceOffset, 101);
  // Stretches of 1080, 947 and 2870 samples take 540, 474 and 1435 values.
  EXPECT_EQ(built.expected, 540 + 51 + 474 + 52 + 1435);
}

TEST(ScpQrsZones, UnusableProtectedAreasFallBackToTheDerivedZones) {
  const std::vector<std::vector<Area>> unusable = {
      {{1131, 1081}, {2079, 2130}},  // reversed
      {{2079, 2130}, {1081, 1131}},  // out of time order
      {{1081, 1131}, {1131, 2130}},  // overlapping
      {{1081, 1131}, {4990, 5001}},  // past the lead
      {{0, 0}, {0, 0}},              // empty
  };
  for (const std::vector<Area>& areas : unusable) {
    ZoneRecord shape;
    shape.complexes = {kWorkedComplex, {0, 2001, 2101, 2301}};
    shape.areas = areas;
    const Zones built = BuildZones(shape.Build().get());
    ASSERT_EQ(built.zones.size(), 2u);
    EXPECT_EQ(built.zones[0].protectedStart, 1080) << areas[0].first;
    EXPECT_EQ(built.zones[1].protectedEnd, 2132) << areas[0].first;
  }
}

TEST(ScpQrsZones, ProtectedAreasNeedNoMeasurementSection) {
  ZoneRecord shape;
  shape.complexes = {kWorkedComplex};
  shape.areas = {{1081, 1131}};
  shape.measurements = false;
  const Zones built = BuildZones(shape.Build().get());
  ASSERT_EQ(built.zones.size(), 1u);
  EXPECT_EQ(built.zones[0].protectedStart, 1080);
  EXPECT_EQ(built.factor, 2);
}

TEST(ScpQrsZones, WithoutListOrMeasurementsTheWholeLeadIsDecimatedAndStillSubtracted) {
  ZoneRecord shape;
  shape.complexes = {kWorkedComplex};
  shape.measurements = false;
  const Zones built = BuildZones(shape.Build().get());
  EXPECT_EQ(built.status, kScpOk);
  ASSERT_EQ(built.zones.size(), 1u);
  EXPECT_EQ(built.zones[0].protectedEnd - built.zones[0].protectedStart, 0);
  EXPECT_EQ(built.zones[0].subtractStart, 1000);
  EXPECT_EQ(built.zones[0].subtractEnd, 1300);
  EXPECT_EQ(built.factor, 2);
  EXPECT_EQ(built.expected, 2500);
}

TEST(ScpQrsZones, FactorsAboveSixteenAreRefusedAsMalformed) {
  for (const auto& [rhythmInterval, status] : {std::pair<uint16_t, ScpStatus>{32000, kScpOk},
                                               {34000, kScpErrMalformed - kScpLayerItem},
                                               {65535, kScpErrMalformed - kScpLayerItem}}) {
    for (bool withComplexes : {false, true}) {
      ZoneRecord shape;  // reference interval 2000: f = 16, 17 and 32
      shape.rhythmInterval = rhythmInterval;
      if (withComplexes) {
        shape.complexes = {kWorkedComplex};
      }
      EXPECT_EQ(BuildZones(shape.Build().get()).status, status) << rhythmInterval;
    }
  }
}

TEST(ScpQrsZones, ZeroReferenceIntervalGivesNoZonesInsteadOfDividingByZero) {
  ZoneRecord shape;
  shape.complexes = {kWorkedComplex};
  shape.referenceInterval = 0;
  const Zones built = BuildZones(shape.Build().get());
  EXPECT_EQ(built.status, kScpOk);
  EXPECT_TRUE(built.zones.empty());
  EXPECT_EQ(built.factor, 1);
}

TEST(ScpQrsZones, NoComplexesBuildNoZonesAndAreNoFailure) {
  ZoneRecord shape;  // f = 2, no complexes
  const Zones built = BuildZones(shape.Build().get());
  EXPECT_EQ(built.status, kScpOk);
  EXPECT_TRUE(built.zones.empty());
  EXPECT_EQ(built.factor, 2);
  EXPECT_EQ(built.expected, 2500);
}

TEST(ScpQrsZones, ComplexCountBeyondTheSectionIsRefused) {
  ZoneRecord shape;
  shape.complexes = {kWorkedComplex};
  ScpRecordPtr record = shape.Build();
  Bytes qrs = QrsSection(1200, 201, {kWorkedComplex});
  qrs[4] = 2;  // claims two complexes, holds one
  auto sections = codectest::SectionsOf(record.get());
  sections[1].second = qrs;
  ScpRecordPtr broken = MakeRecord(sections);
  const Zones built = BuildZones(broken.get());
  EXPECT_EQ(built.status,
            kScpErrOutOfBounds - kScpLayerDirectory - kScpLayerAccessor - kScpLayerItem);
  EXPECT_TRUE(built.zones.empty());
}

TEST(ScpQrsZones, ZonesOverlappingOrRoundedPastTheLeadEndAreClipped) {
  ZoneRecord shape;
  shape.samples = 4999;
  // [4900, 4998), then a QRS around fc 4990, [4969, 5021), that overlaps it and runs past the
  // last sample even before it is rounded up to 5022.
  shape.complexes = {{1, 4901, 4950, 4999}, {0, 4950, 4990, 4999}};
  const Zones built = BuildZones(shape.Build().get());
  ASSERT_EQ(built.zones.size(), 2u);
  EXPECT_EQ(built.zones[0].protectedEnd, 4998);
  EXPECT_EQ(built.zones[1].protectedStart, 4998);
  EXPECT_EQ(built.zones[1].protectedEnd, 4999);
  EXPECT_EQ(built.expected, 2450 + 98 + 1);
}

// --- Decoding a decimated lead ----------------------------------------------------------------

// A lead decimated by 4 outside three protected areas that lie on no multiple of 4, with a
// reference beat subtracted over its type-0 complex, stored as a bimodal encoder stores it. The
// residual is made to survive decimation, so the decoder can give back the signal exactly.
class DecimatedLead : public ::testing::Test {
 protected:
  static constexpr int kSamples = 2000;
  static constexpr int kFactor = 4;

  void SetUp() override {
    // Complex 0: type 0 at fc 601, subtracted over samples 551 to 699; complexes 1 and 2: ectopic
    // beats of types 1 and 2 that were not subtracted (SB = QE = 0).
    complexes_ = {{0, 551, 601, 700}, {1, 0, 1201, 0}, {2, 0, 1601, 0}};
    areas_ = {{583, 627}, {1183, 1226}, {1587, 1629}};  // none on a multiple of 4
    for (int i = 0; i < 300; ++i) {
      reference_.push_back(static_cast<int16_t>((i * 37) % 200 - 100));
    }
    zones_ = {{582, 627, 0, 0, 0}, {1182, 1226, 0, 0, 0}, {1586, 1629, 0, 0, 0}};
    // The residual the encoder stores: constant over each group of four samples from a
    // stretch's start outside the zones, varying freely inside them.
    Samples residual(kSamples, 0);
    int32_t stretchStart = 0;
    for (size_t z = 0; z <= zones_.size(); ++z) {
      const int32_t stretchEnd = z < zones_.size() ? zones_[z].protectedStart : kSamples;
      for (int32_t i = stretchStart; i < stretchEnd; i += kFactor) {
        const int16_t value = static_cast<int16_t>((i * 3) % 400 - 200);
        stored_.push_back(value);
        std::fill(residual.begin() + i, residual.begin() + std::min(i + kFactor, stretchEnd),
                  value);
      }
      if (z < zones_.size()) {
        for (int32_t i = zones_[z].protectedStart; i < zones_[z].protectedEnd; ++i) {
          residual[i] = static_cast<int16_t>(1000 + 7 * i % 500);
          stored_.push_back(residual[i]);
        }
        stretchStart = zones_[z].protectedEnd;
      }
    }
    // The signal: the residual with the reference beat added back over samples 551 to 699, its
    // fiducial (index 201) on rhythm index 600 and its last sample (index 299) on index 698.
    signal_ = residual;
    for (int32_t i = 550; i < 699; ++i) {
      signal_[i] = static_cast<int16_t>(signal_[i] + reference_[i - 600 + 201]);
    }
  }

  ScpRecordPtr Build(bool huffman) const {
    auto encode = [huffman](const Samples& values) {
      return huffman ? codectest::HuffmanValues(values) : PlainValues(values);
    };
    std::vector<std::pair<uint16_t, Bytes>> sections{
        {3, LeadTable({{1, kSamples, 1}})},
        {4, QrsSection(600, 201, complexes_, areas_)},
        {5, SignalSection(5000, 2000, 0, {encode(reference_)})},
        {6, SignalSection(5000, 8000, 0, {encode(stored_)})},
        {7, MeasurementSection(360, 460)}};
    if (huffman) {
      sections.insert(sections.begin(), {2, Bytes{0, 0}});
    }
    return MakeRecord(sections);
  }

  std::vector<Complex> complexes_;
  std::vector<Area> areas_;
  std::vector<ScpQrsZone> zones_;
  Samples reference_;
  Samples signal_;
  Samples stored_;
};

TEST_F(DecimatedLead, DecodesToTheFullRateSignalWithTheReferenceBeatAddedBack) {
  for (bool huffman : {false, true}) {
    ScpRecordPtr record = Build(huffman);
    ScpReferenceBeat beat{};
    ASSERT_EQ(ScpDecodeReferenceBeat(record.get(), 1, &beat), kScpOk);
    ASSERT_EQ(beat.sampleCount, 300);
    ScpRhythmSignal rhythm{};
    ASSERT_EQ(ScpDecodeRhythm(record.get(), 1, &rhythm, &beat), kScpOk);
    ASSERT_EQ(rhythm.sampleCount, kSamples);
    EXPECT_EQ(rhythm.decimationFactor, kFactor);
    ASSERT_EQ(rhythm.zoneCount, 3);
    for (int z = 0; z < 3; ++z) {
      EXPECT_EQ(rhythm.zones[z].protectedStart, zones_[z].protectedStart);
      EXPECT_EQ(rhythm.zones[z].protectedEnd, zones_[z].protectedEnd);
    }
    // Exact inside the protected zones; outside them the signal as smoothed.
    Samples expected(signal_.size());
    ScpSmoothOutsideZones(signal_.data(), expected.data(), kSamples, zones_.data(), 3);
    int mismatches = 0;
    for (int i = 0; i < kSamples; ++i) {
      mismatches += rhythm.samples[i] != expected[i] ? 1 : 0;
    }
    EXPECT_EQ(mismatches, 0) << (huffman ? "Huffman-coded" : "plain");
    ScpFreeRhythm(&rhythm);
    ScpFreeReferenceBeat(&beat);
  }
}

TEST_F(DecimatedLead, WithoutReferenceBeatTheStoredResidualIsExpandedInPlace) {
  ScpRecordPtr record = Build(false);
  ScpRhythmSignal rhythm{};
  ASSERT_EQ(ScpDecodeRhythm(record.get(), 1, &rhythm, nullptr), kScpOk);
  // The last stretch, [1629, 2000), holds 371 samples: 92 values of four, then one of three
  // that fills [1997, 2000). Smoothing keeps the last two, which average equal values.
  EXPECT_EQ(rhythm.samples[1999], stored_.back());
  EXPECT_EQ(rhythm.samples[1998], stored_.back());
  EXPECT_EQ(rhythm.samples[1995], stored_[stored_.size() - 2]);  // inside [1993, 1997)
  EXPECT_EQ(static_cast<size_t>(ScpCountStoredValues(rhythm.zones, 3, 4, kSamples)),
            stored_.size());
  ScpFreeRhythm(&rhythm);
}

// Section 7 missing and no protected-area list: nothing says where the complexes were kept at
// the full rate, so the whole lead was stored at one value per f samples. It keeps its length and
// its R peak where the reference beat puts it, with no zeros after the stored values run out.
TEST_F(DecimatedLead, WithoutProtectedZonesTheLeadKeepsItsTimeBaseAndItsBeats) {
  Samples reference(300, 0);
  std::fill(reference.begin() + 200, reference.begin() + 203, int16_t{3000});  // R at 201
  const Samples stored(kSamples / kFactor, 10);
  ScpRecordPtr record = MakeRecord({{3, LeadTable({{1, kSamples, 1}})},
                                    {4, QrsSection(600, 201, complexes_, {})},
                                    {5, SignalSection(5000, 2000, 0, {PlainValues(reference)})},
                                    {6, SignalSection(5000, 8000, 0, {PlainValues(stored)})}});
  ScpReferenceBeat beat{};
  ASSERT_EQ(ScpDecodeReferenceBeat(record.get(), 1, &beat), kScpOk);
  ScpRhythmSignal rhythm{};
  ASSERT_EQ(ScpDecodeRhythm(record.get(), 1, &rhythm, &beat), kScpOk);
  ASSERT_EQ(rhythm.sampleCount, kSamples);
  EXPECT_EQ(rhythm.decimationFactor, kFactor);
  const int16_t* peak = std::max_element(rhythm.samples, rhythm.samples + kSamples);
  EXPECT_EQ(peak - rhythm.samples, 600);  // the complex's fiducial, sample 601
  EXPECT_EQ(*peak, 3010);
  EXPECT_EQ(rhythm.samples[1999], 10);
  EXPECT_EQ(std::count(rhythm.samples, rhythm.samples + kSamples, int16_t{0}), 0);
  ScpFreeRhythm(&rhythm);
  ScpFreeReferenceBeat(&beat);
}

// --- Leads decoded together --------------------------------------------------------------------

// Leads 1 to spans.size() over their own spans, sharing DecimatedLead's complexes and protected
// areas (when asked for) and measurements, each with a reference beat and stored values of its own.
struct SharedZonesRecord {
  std::vector<std::pair<uint32_t, uint32_t>> spans;  // first and last sample of each lead
  uint16_t factor = 1;
  bool areas = true;
  bool huffman = false;

  ScpRecordPtr Build(std::mt19937& random) const {
    std::vector<codectest::Lead> leads;
    std::vector<Bytes> beats;
    std::vector<Bytes> rhythms;
    for (const auto& [first, last] : spans) {
      const auto mix = codectest::kSampleMixes[random() % std::size(codectest::kSampleMixes)];
      leads.push_back({first, last, static_cast<uint8_t>(leads.size() + 1)});
      beats.push_back(Encode(codectest::RandomSamples(random, 300, mix)));
      rhythms.push_back(Encode(codectest::RandomSamples(random, last - first + 1, mix)));
    }
    const std::vector<Area> stored = {{583, 627}, {1183, 1226}, {1587, 1629}};
    std::vector<std::pair<uint16_t, Bytes>> sections{
        {3, LeadTable(leads)},
        {4, QrsSection(600, 201, {{0, 551, 601, 700}, {1, 0, 1201, 0}, {2, 0, 1601, 0}},
                       areas ? stored : std::vector<Area>{})},
        {5, SignalSection(5000, 2000, 0, beats)},
        {6, SignalSection(5000, static_cast<uint16_t>(2000 * factor), 0, rhythms)},
        {7, MeasurementSection(360, 460)}};
    if (huffman) {
      sections.insert(sections.begin(), {2, Bytes{0, 0}});
    }
    return MakeRecord(sections);
  }

  Bytes Encode(const Samples& values) const {
    return huffman ? codectest::HuffmanValues(values) : PlainValues(values);
  }
};

using ZoneFields = std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t>;

std::vector<ZoneFields> ZonesOf(const ScpRhythmSignal& rhythm) {
  std::vector<ZoneFields> zones;
  for (uint16_t z = 0; z < rhythm.zoneCount; ++z) {
    const ScpQrsZone& zone = rhythm.zones[z];
    zones.emplace_back(zone.protectedStart, zone.protectedEnd, zone.subtractStart, zone.subtractEnd,
                       zone.referenceOffset);
  }
  return zones;
}

// Decodes the rhythm of every lead of the record together, each with its reference beat, and
// holds each to the lead decoded alone, which builds its zones for itself: same status, zones,
// length and samples.
void ExpectTogetherAsAlone(const ScpRecord* record, size_t leadCount) {
  const auto count = static_cast<int32_t>(leadCount);
  std::vector<uint8_t> codes;
  for (size_t i = 1; i <= leadCount; ++i) {
    codes.push_back(static_cast<uint8_t>(i));
  }
  std::vector<ScpReferenceBeat> beats(leadCount);
  std::vector<ScpStatus> statuses(leadCount);
  ScpDecodeReferenceBeats(record, count, codes.data(), beats.data(), statuses.data());
  std::vector<const ScpReferenceBeat*> references;
  for (const ScpReferenceBeat& beat : beats) {
    references.push_back(&beat);
  }
  std::vector<ScpRhythmSignal> together(leadCount);
  ScpDecodeRhythmLeads(record, count, codes.data(), references.data(), together.data(),
                       statuses.data());
  for (size_t i = 0; i < leadCount; ++i) {
    ScpRhythmSignal alone{};
    EXPECT_EQ(statuses[i], ScpDecodeRhythm(record, codes[i], &alone, &beats[i])) << "lead " << i;
    EXPECT_EQ(together[i].sampleCount, alone.sampleCount) << "lead " << i;
    EXPECT_EQ(ZonesOf(together[i]), ZonesOf(alone)) << "lead " << i;
    EXPECT_EQ(Samples(together[i].samples, together[i].samples + together[i].sampleCount),
              Samples(alone.samples, alone.samples + alone.sampleCount))
        << "lead " << i;
    ScpFreeRhythm(&alone);
    ScpFreeRhythm(&together[i]);
    ScpFreeReferenceBeat(&beats[i]);
  }
}

// The second lead starts with the first and ends 800 samples later, past a protected area the
// first lead cannot hold: each has zones and a length of its own.
TEST(ScpQrsZones, RhythmLeadsStartingTogetherButEndingApartEachGetTheirOwnZonesAndLength) {
  std::mt19937 random(4);
  SharedZonesRecord shape;
  shape.spans = {{1, 1200}, {1, 2000}};
  ScpRecordPtr record = shape.Build(random);
  ExpectTogetherAsAlone(record.get(), 2);
  ScpRhythmSignal longer{};
  ASSERT_EQ(ScpDecodeRhythm(record.get(), 2, &longer, nullptr), kScpOk);
  EXPECT_EQ(longer.sampleCount, 2000);
  ASSERT_EQ(longer.zoneCount, 3);
  EXPECT_EQ(longer.zones[2].protectedStart, 1586);  // its own area, not one derived for 1200
  EXPECT_EQ(longer.zones[2].protectedEnd, 1629);
  ScpFreeRhythm(&longer);
}

// Leads that share a span take one set of zones; random records hold leads of equal, nested and
// shifted spans, decimated or not, with or without protected areas, plain or Huffman-coded.
TEST(ScpQrsZones, LeadsDecodedTogetherTakeTheZonesOfTheirOwnSpan) {
  std::mt19937 random(5);
  const uint32_t firsts[] = {1, 1, 1, 201};
  const uint32_t lasts[] = {1200, 1200, 1600, 2000};
  for (int round = 0; round < 24; ++round) {
    SharedZonesRecord shape;
    for (uint32_t lead = random() % 5 + 2; lead > 0; --lead) {
      shape.spans.emplace_back(firsts[random() % 4], lasts[random() % 4]);
    }
    shape.factor = static_cast<uint16_t>(1u << (random() % 3));
    shape.areas = random() % 2 == 0;
    shape.huffman = random() % 2 == 0;
    ScpRecordPtr record = shape.Build(random);
    SCOPED_TRACE(testing::Message() << "round " << round);
    ExpectTogetherAsAlone(record.get(), shape.spans.size());
  }
}

}  // namespace
