// The signal encoder: differences, complex layout, decimation and reference beat subtraction,
// checked against the decoder's own steps.
#include "tools/scpgen/ScpSignalEncoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "scp/ScpDecode.h"

namespace {

using namespace scpgen;

std::vector<ScpQrsZone> ToZones(const std::vector<ComplexLayout>& complexes) {
  std::vector<ScpQrsZone> zones;
  for (const ComplexLayout& c : complexes) {
    const bool subtracts = c.beatType == 0;
    zones.push_back({c.protectedSpan.start, c.protectedSpan.end,
                     subtracts ? c.subtraction.start : 0, subtracts ? c.subtraction.end : 0,
                     subtracts ? c.subtraction.referenceOffset : 0});
  }
  return zones;
}

// A protected span and an empty subtraction, for layouts that need no reference beat.
ComplexLayout Protected(int32_t start, int32_t end) {
  return {1, start, {start, end}, {start, start, 0}};
}

// A deterministic, wiggly test signal.
std::vector<int16_t> Wiggle(int32_t count, int amplitude) {
  std::vector<int16_t> samples(count);
  uint32_t state = 12345;
  int value = 0;
  for (int32_t i = 0; i < count; ++i) {
    state = state * 1103515245u + 12345u;
    value += static_cast<int>((state >> 16) % 7) - 3;
    value = std::clamp(value, -amplitude, amplitude);
    samples[i] = static_cast<int16_t>(value + (i % 40 == 0 ? amplitude / 2 : 0));
  }
  return samples;
}

TEST(ScpSignalEncoder, DifferencesAreTheOnesTheDecoderUndoes) {
  EXPECT_EQ(EncodeDifferences({5, 6, 4}, kFirstDifferences), (std::vector<int16_t>{5, 1, -2}));
  EXPECT_EQ(EncodeDifferences({5, 6, 8, 10}, kSecondDifferences),
            (std::vector<int16_t>{5, 6, 1, 0}));
  EXPECT_EQ(EncodeDifferences({5, 6, 4}, 3), (std::vector<int16_t>{5, 6, 4}));
}

TEST(ScpSignalEncoder, DifferencesSurviveSixteenBitWrapping) {
  const std::vector<int16_t> samples = {32767, -32768, 32767, 0, -32768, -32768, 1, 32767};
  std::vector<int16_t> first = EncodeDifferences(samples, kFirstDifferences);
  ScpUndoFirstDifferences(first.data(), static_cast<int32_t>(first.size()));
  EXPECT_EQ(first, samples);
  std::vector<int16_t> second = EncodeDifferences(samples, kSecondDifferences);
  ScpUndoSecondDifferences(second.data(), static_cast<int32_t>(second.size()));
  EXPECT_EQ(second, samples);
}

TEST(ScpSignalEncoder, CountsOneValuePerChunkOfEachStretchAsTheDecoderDoes) {
  // One zone [4, 8) of 12 samples at f = 2: 2 + 4 + 2 values.
  EXPECT_EQ(StoredValueCount(12, {Protected(4, 8)}, 2), 8);
  const std::vector<std::vector<ComplexLayout>> layouts = {
      {},
      {Protected(0, 5)},
      {Protected(3, 8)},
      {Protected(3, 8), Protected(13, 20)},
      {Protected(1, 2), Protected(9, 11)},
  };
  for (const auto& layout : layouts) {
    const std::vector<ScpQrsZone> zones = ToZones(layout);
    for (int32_t factor = 1; factor <= 3; ++factor) {
      for (int32_t count : {11, 20, 23}) {
        EXPECT_EQ(StoredValueCount(count, layout, factor),
                  ScpCountStoredValues(zones.data(), static_cast<uint16_t>(zones.size()),
                                       static_cast<uint16_t>(factor), count))
            << "factor " << factor << ", count " << count << ", zones " << zones.size();
      }
    }
  }
}

TEST(ScpSignalEncoder, StoresChunkMeansFromEachStretchStartAndProtectedSamplesAsTheyAre) {
  // Samples 0, 10, ..., 120 with one protected span [3, 6) at f = 2: the stretch before holds
  // the chunks {0, 10} and {20}; the one after {60, 70}, {80, 90}, {100, 110}, {120}.
  std::vector<int16_t> samples(13);
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(10 * i);
  }
  RhythmEncoding encoding;
  encoding.factor = 2;
  EXPECT_EQ(EncodeRhythmValues(samples, {Protected(3, 6)}, encoding),
            (std::vector<int16_t>{5, 20, 30, 40, 50, 65, 85, 105, 120}));
  // Halves round away from zero.
  encoding.factor = 2;
  EXPECT_EQ(EncodeRhythmValues({-1, -2, 1, 2}, {}, encoding), (std::vector<int16_t>{-2, 2}));
}

TEST(ScpSignalEncoder, DerivesProtectedSpansLikeAReaderWithoutTheList) {
  // fid 201 (as the header's sample number), QRS onset at reference sample 180 and offset at 230,
  // fiducial sample number 1101, f = 2: the span is [1080, 1132).
  ComplexPlan plan;
  plan.sampleCount = 5000;
  plan.factor = 2;
  plan.referenceFiducial = 201;
  plan.referenceLength = 500;
  plan.qrsOnset = 180;
  plan.qrsOffset = 230;
  plan.subtractFirst = 100;
  plan.subtractEnd = 400;
  plan.derivedSpans = true;
  const std::vector<ComplexLayout> derived = PlanComplexes({1100}, {0}, plan);
  ASSERT_EQ(derived.size(), 1u);
  EXPECT_EQ(derived[0].protectedSpan.start, 1080);
  EXPECT_EQ(derived[0].protectedSpan.end, 1132);

  // With the list the span is the QRS complex exactly, not widened.
  plan.derivedSpans = false;
  const std::vector<ComplexLayout> listed = PlanComplexes({1100}, {0}, plan);
  EXPECT_EQ(listed[0].protectedSpan.start, 1100 + 180 - 201);
  EXPECT_EQ(listed[0].protectedSpan.end, 1100 + 230 + 1 - 201);
}

TEST(ScpSignalEncoder, SubtractionSpansStartAndEndOnChunkBoundariesInsideTheReferenceBeat) {
  ComplexPlan plan;
  plan.sampleCount = 2000;
  plan.factor = 2;
  plan.referenceFiducial = 150;
  plan.referenceLength = 400;
  plan.qrsOnset = 130;
  plan.qrsOffset = 172;
  plan.subtractFirst = 35;
  plan.subtractEnd = 325;
  const std::vector<int32_t> fiducials = {170, 600, 1031, 1460, 1800};
  const std::vector<ComplexLayout> complexes = PlanComplexes(fiducials, {0, 0, 1, 0, 0}, plan);
  ASSERT_EQ(complexes.size(), fiducials.size());
  int32_t previousEnd = 0;
  for (size_t i = 0; i < complexes.size(); ++i) {
    const ComplexLayout& c = complexes[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(c.fiducialIndex, fiducials[i]);
    EXPECT_EQ(c.protectedSpan.start, fiducials[i] - 20);
    EXPECT_EQ(c.protectedSpan.end, fiducials[i] + 23);
    if (c.beatType != 0) {
      EXPECT_EQ(c.subtraction.start, c.subtraction.end);
    } else {
      const int32_t stretchStart = i == 0 ? 0 : complexes[i - 1].protectedSpan.end;
      EXPECT_EQ((c.subtraction.start - stretchStart) % 2, 0);
      EXPECT_EQ((c.subtraction.end - c.protectedSpan.end) % 2, 0);
      EXPECT_LE(c.subtraction.start, fiducials[i] - 115);
      EXPECT_GE(c.subtraction.end, fiducials[i] + 175);
      EXPECT_GE(c.subtraction.start, previousEnd);
      EXPECT_EQ(c.subtraction.referenceOffset, c.subtraction.start - fiducials[i] + 150);
      EXPECT_GE(c.subtraction.referenceOffset, 0);
      EXPECT_LE(c.subtraction.end - c.subtraction.start + c.subtraction.referenceOffset, 400);
      previousEnd = c.subtraction.end;
    }
  }
}

// Runs the decoder's steps after differences on stored values: rescale to reference units,
// expand, add the reference beat, rescale back. No smoothing.
std::vector<int16_t> Rebuild(std::vector<int16_t> stored, int32_t sampleCount, int32_t factor,
                             const std::vector<ScpQrsZone>& zones,
                             const std::vector<int16_t>& reference, uint16_t rhythmNanovolts,
                             uint16_t referenceNanovolts) {
  const int32_t storedCount = static_cast<int32_t>(stored.size());
  stored.resize(std::max(storedCount, sampleCount));
  ScpRescale(stored.data(), storedCount, rhythmNanovolts, referenceNanovolts);
  ScpExpandDecimated(stored.data(), storedCount, static_cast<uint16_t>(factor), sampleCount,
                     zones.data(), static_cast<uint16_t>(zones.size()));
  ScpAddReferenceBeat(reference.data(), static_cast<int32_t>(reference.size()), stored.data(),
                      sampleCount, zones.data(), static_cast<uint16_t>(zones.size()));
  ScpRescale(stored.data(), sampleCount, referenceNanovolts, rhythmNanovolts);
  stored.resize(sampleCount);
  return stored;
}

TEST(ScpSignalEncoder, ProtectedSamplesComeBackExactlyAndChunksWithinHalfTheirSpread) {
  const int32_t sampleCount = 1200;
  const std::vector<int16_t> samples = Wiggle(sampleCount, 300);
  // A reference beat that is roughly the signal's shape, so the residual is small but not zero.
  ComplexPlan plan;
  plan.sampleCount = sampleCount;
  plan.factor = 2;
  plan.referenceFiducial = 100;
  plan.referenceLength = 260;
  plan.qrsOnset = 90;
  plan.qrsOffset = 115;
  plan.subtractFirst = 10;
  plan.subtractEnd = 250;
  const std::vector<ComplexLayout> complexes = PlanComplexes({201, 501, 901}, {0, 1, 0}, plan);
  const std::vector<ScpQrsZone> zones = ToZones(complexes);

  for (uint16_t referenceNanovolts : {5000, 2500, 1000}) {
    SCOPED_TRACE(referenceNanovolts);
    const int32_t scale = 5000 / referenceNanovolts;
    std::vector<int16_t> reference(plan.referenceLength);
    for (int32_t k = 0; k < plan.referenceLength; ++k) {
      reference[k] = static_cast<int16_t>(samples[201 - 100 + k] * scale + (k % 5) - 2);
    }
    RhythmEncoding encoding;
    encoding.reference = &reference;
    encoding.referenceScale = scale;
    encoding.factor = 2;
    const std::vector<int16_t> stored = EncodeRhythmValues(samples, complexes, encoding);
    ASSERT_EQ(static_cast<int32_t>(stored.size()), StoredValueCount(sampleCount, complexes, 2));
    const std::vector<int16_t> rebuilt =
        Rebuild(stored, sampleCount, 2, zones, reference, 5000, referenceNanovolts);

    // What the stored values stand for: the samples less the reference beat, in rhythm units.
    std::vector<double> residual(samples.begin(), samples.end());
    for (const ScpQrsZone& zone : zones) {
      for (int32_t i = zone.subtractStart; i < zone.subtractEnd; ++i) {
        residual[i] -=
            static_cast<double>(reference[zone.referenceOffset + i - zone.subtractStart]) / scale;
      }
    }
    std::vector<bool> inProtected(sampleCount, false);
    for (const ComplexLayout& c : complexes) {
      std::fill(inProtected.begin() + c.protectedSpan.start,
                inProtected.begin() + c.protectedSpan.end, true);
    }
    for (int32_t i = 0; i < sampleCount; ++i) {
      if (inProtected[i]) {
        ASSERT_EQ(rebuilt[i], samples[i]) << "protected sample " << i;
        continue;
      }
      // A chunk pairs a sample with one neighbour: half their residuals' difference, the
      // rounding of the mean (1/2) and the truncation of the rescale (under 1).
      const double spread =
          std::max(std::abs(residual[i] - residual[std::max(i - 1, 0)]),
                   std::abs(residual[std::min(i + 1, sampleCount - 1)] - residual[i]));
      ASSERT_LE(std::abs(rebuilt[i] - samples[i]), spread / 2 + 1.5) << "sample " << i;
    }
  }
}

TEST(ScpSignalEncoder, WithoutAReferenceBeatStoresTheSamplesThemselves) {
  const std::vector<int16_t> samples = Wiggle(300, 200);
  RhythmEncoding encoding;
  EXPECT_EQ(EncodeRhythmValues(samples, {}, encoding), samples);
  EXPECT_EQ(EncodeRhythmValues(samples, {Protected(10, 40), Protected(100, 140)}, encoding),
            samples);
}

TEST(ScpSignalEncoder, PacksPlainValuesAsLittleEndianWords) {
  EXPECT_EQ(PackLeadData({1, -2, 0x1234}, false),
            (std::vector<uint8_t>{0x01, 0x00, 0xFE, 0xFF, 0x34, 0x12}));
  EXPECT_EQ(PackLeadData({1, -1}, true), (std::vector<uint8_t>{0x94}));  // 100 101, then 00
}

}  // namespace
