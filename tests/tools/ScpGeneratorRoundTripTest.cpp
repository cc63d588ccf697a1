// Round trip through the generator: synthetic signal -> SCP-ECG file -> Quillon's decoder gives
// the signal back within the losses of the coding, for every coding variant a reader must handle.
//
// Where the losses come from, and the bound each decoded sample x' of original x must meet:
// - Protected spans (the QRS complexes) are stored one value per sample, chosen so the decoder's
//   rescale-add-rescale rebuilds the sample exactly: x' = x.
// - Outside them, each chunk of f samples is stored as one value, the rounded mean of the chunk's
//   residual r (the sample less the reference beat, where it was subtracted). Before smoothing a
//   sample is then off by e <= spread(r over its chunk) / 2 + 1/2 (rounding), + 1 more when the
//   reference beat has finer units (truncation of the rescale back).
// - The decoder smooths those stretches with (x[j-1] + x[j] + x[j+1] + 1) / 3, truncated: that
//   moves a sample by the signal's curvature |x[j-1] - 2x[j] + x[j+1]| / 3, plus up to 1 for the
//   truncation, plus the largest e of the three samples. The ends of a stretch keep their value.
// So |x' - x| <= |x[j-1] - 2x[j] + x[j+1]| / 3 + max(e[j-1], e[j], e[j+1]) + 1 outside the
// protected spans, and 0 inside them. Records without reference beats and decimation are not
// smoothed at all and come back exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "scp/ScpDecode.h"
#include "scp/ScpHandles.h"
#include "scp/ScpReader.h"
#include "scp/ScpWriter.h"
#include "tests/scp/ScpTestFiles.h"
#include "tools/scpgen/DemoRecord.h"

namespace {

using namespace scpgen;

struct Fixture {
  const char* name;
  std::function<void(DemoRecordOptions*)> configure;
};

std::ostream& operator<<(std::ostream& out, const Fixture& fixture) {
  return out << fixture.name;
}

const Fixture kFixtures[] = {
    {"Demo", [](DemoRecordOptions*) {}},
    {"RawNoDifferencesDecimated",
     [](DemoRecordOptions* o) {
       o->huffman = false;
       o->differenceEncoding = 0;
     }},
    {"HuffmanFirstDifferencesFullRate",
     [](DemoRecordOptions* o) {
       o->differenceEncoding = 1;
       o->decimationFactor = 1;
     }},
    {"RawSecondDifferencesFullRate",
     [](DemoRecordOptions* o) {
       o->huffman = false;
       o->decimationFactor = 1;
     }},
    {"DerivedProtectedSpans",
     [](DemoRecordOptions* o) {
       o->protectedAreaList = false;
       o->differenceEncoding = 0;
     }},
    {"EveryThirdBeatOfAnotherType", [](DemoRecordOptions* o) { o->otherBeatTypeEvery = 3; }},
    {"NoBeatOfTypeZeroWithoutTheList",
     [](DemoRecordOptions* o) {
       o->otherBeatTypeEvery = 1;
       o->protectedAreaList = false;
     }},
    {"OnlyLeadsIAndII",
     [](DemoRecordOptions* o) {
       o->leadCodes = {1, 2};
     }},
    {"ChestLeadsOutOfOrder",
     [](DemoRecordOptions* o) {
       o->leadCodes = {8, 3, 5};
     }},
    {"FinerReferenceUnits", [](DemoRecordOptions* o) { o->referenceNanovolts = 2500; }},
    {"CoarseRhythmUnitsDecimatedByFour",
     [](DemoRecordOptions* o) {
       o->rhythmNanovolts = 10000;
       o->referenceNanovolts = 2000;
       o->decimationFactor = 4;
     }},
    {"NoisySignal",
     [](DemoRecordOptions* o) {
       o->noiseMicrovolts = 10.0;
       o->seed = 7;
     }},
    {"NoReferenceBeats",
     [](DemoRecordOptions* o) {
       o->referenceBeats = false;
       o->decimationFactor = 1;
     }},
};

// The largest error each sample may show, in rhythm units (see the top of the file); -1 marks a
// protected sample, which must come back exactly.
std::vector<double> ErrorBounds(const std::vector<int16_t>& samples,
                                const std::vector<int16_t>& reference,
                                const DemoRecordContent& content,
                                const DemoRecordOptions& options) {
  const int32_t n = static_cast<int32_t>(samples.size());
  const int32_t scale = options.rhythmNanovolts / options.referenceNanovolts;
  std::vector<double> residual(samples.begin(), samples.end());
  std::vector<bool> isProtected(n, false);
  for (const ComplexLayout& c : content.complexes) {
    std::fill(isProtected.begin() + c.protectedSpan.start,
              isProtected.begin() + c.protectedSpan.end, true);
    if (c.beatType != 0) {
      continue;
    }
    for (int32_t i = c.subtraction.start; i < c.subtraction.end; ++i) {
      residual[i] -=
          static_cast<double>(reference[c.subtraction.referenceOffset + i - c.subtraction.start]) /
          scale;
    }
  }
  // e per sample: half the residual's spread over its chunk, the rounding and the rescale.
  const double rescale = scale > 1 ? 1.0 : 0.0;
  std::vector<double> chunkError(n, 0.0);
  const int32_t f = options.decimationFactor;
  for (int32_t start = 0; start < n;) {
    if (isProtected[start]) {
      ++start;
      continue;
    }
    int32_t end = start;
    while (end < n && !isProtected[end]) {
      ++end;
    }
    for (int32_t chunk = start; chunk < end; chunk += f) {
      const int32_t chunkEnd = std::min(chunk + f, end);
      const auto [low, high] =
          std::minmax_element(residual.begin() + chunk, residual.begin() + chunkEnd);
      std::fill(chunkError.begin() + chunk, chunkError.begin() + chunkEnd,
                (*high - *low) / 2 + 0.5 + rescale);
    }
    start = end;
  }
  std::vector<double> bound(n, -1.0);
  for (int32_t j = 0; j < n; ++j) {
    if (isProtected[j]) {
      continue;
    }
    const int32_t before = std::max(j - 1, 0);
    const int32_t after = std::min(j + 1, n - 1);
    const double curvature = std::abs(samples[before] - 2.0 * samples[j] + samples[after]) / 3;
    bound[j] = curvature + std::max({chunkError[before], chunkError[j], chunkError[after]}) + 1.0;
  }
  return bound;
}

class ScpGeneratorRoundTrip : public ::testing::TestWithParam<Fixture> {};

TEST_P(ScpGeneratorRoundTrip, DecodedLeadsMatchTheSyntheticSignalWithinTheCodingLosses) {
  DemoRecordOptions options;
  GetParam().configure(&options);
  ScpRecordPtr built;
  DemoRecordContent content;
  ASSERT_EQ(BuildDemoRecord(options, &built, &content), 0);
  scptest::TempDir dir;
  const std::string path = dir.File("fixture.scp");
  ASSERT_EQ(ScpWriteRecord(built.get(), path.c_str()), 0);
  ScpRecordPtr record(ScpReadRecord(path.c_str()));
  ASSERT_NE(record, nullptr);

  double worst = 0.0;
  double squares = 0.0;
  int64_t count = 0;
  for (size_t lead = 0; lead < content.leadCodes.size(); ++lead) {
    const uint8_t code = content.leadCodes[lead];
    SCOPED_TRACE(static_cast<int>(code));
    const std::vector<int16_t>& original = *content.ecg.Lead(code);
    ScpReferenceBeat beat{};
    ScpBeatSamplesPtr beatSamples(&beat);
    const ScpReferenceBeat* reference = nullptr;
    if (options.referenceBeats) {
      ASSERT_EQ(ScpDecodeReferenceBeat(record.get(), code, &beat), 0);
      ASSERT_EQ(beat.sampleCount, content.referenceBeats[lead].size());
      EXPECT_TRUE(std::equal(beat.samples, beat.samples + beat.sampleCount,
                             content.referenceBeats[lead].begin()))
          << "the reference beat is stored losslessly";
      EXPECT_EQ(beat.fiducial, content.plan.referenceFiducial);
      reference = &beat;
    }
    ScpRhythmSignal rhythm{};
    ScpRhythmSamplesPtr rhythmSamples(&rhythm);
    ASSERT_EQ(ScpDecodeRhythm(record.get(), code, &rhythm, reference), 0);
    ASSERT_EQ(rhythm.sampleCount, 5000);
    ASSERT_EQ(rhythm.zoneCount, content.complexes.size());
    for (uint16_t z = 0; z < rhythm.zoneCount; ++z) {
      EXPECT_EQ(rhythm.zones[z].protectedStart, content.complexes[z].protectedSpan.start) << z;
      EXPECT_EQ(rhythm.zones[z].protectedEnd, content.complexes[z].protectedSpan.end) << z;
    }

    const std::vector<double> bound =
        ErrorBounds(original, content.referenceBeats[lead], content, options);
    const bool exact = !options.referenceBeats;  // nothing is decimated, subtracted or smoothed
    for (int32_t i = 0; i < rhythm.sampleCount; ++i) {
      const double error = std::abs(rhythm.samples[i] - original[i]);
      if (exact || bound[i] < 0) {
        ASSERT_EQ(rhythm.samples[i], original[i]) << "sample " << i << " must be exact";
      } else {
        ASSERT_LE(error, bound[i]) << "sample " << i;
      }
      const double microvolts = error * options.rhythmNanovolts / 1000.0;
      worst = std::max(worst, microvolts);
      squares += microvolts * microvolts;
      ++count;
    }
  }
  // Leads that were not stored cannot be decoded.
  for (uint8_t code : kIndependentLeadCodes) {
    if (std::find(content.leadCodes.begin(), content.leadCodes.end(), code) ==
        content.leadCodes.end()) {
      ScpRhythmSignal rhythm{};
      ScpRhythmSamplesPtr rhythmSamples(&rhythm);
      EXPECT_LT(ScpDecodeRhythm(record.get(), code, &rhythm, nullptr), 0) << int{code};
      EXPECT_EQ(rhythm.samples, nullptr);
    }
  }
  const double rms = std::sqrt(squares / static_cast<double>(count));
  std::printf("[ measured ] %s: max %.1f uV, RMS %.2f uV over %lld samples\n", GetParam().name,
              worst, rms, static_cast<long long>(count));
  RecordProperty("max_error_uV", static_cast<int>(std::lround(worst)));
}

INSTANTIATE_TEST_SUITE_P(Variants, ScpGeneratorRoundTrip, ::testing::ValuesIn(kFixtures),
                         [](const ::testing::TestParamInfo<Fixture>& info) {
                           return std::string(info.param.name);
                         });

// BioSig's save2gdf (Debian's biosig-tools), run as an independent reader: for records that need
// no reference beat added back and no decimation undone, it must read the synthetic signal exactly.
// It adds no reference beats back and does not honour protected zones, so it cannot judge the rest.
TEST(ScpGeneratorOracle, BiosigReadsUnsubtractedFullRateRecordsExactly) {
  if (std::system("command -v save2gdf >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "save2gdf (biosig-tools) is not installed";
  }
  DemoRecordOptions huffman;
  huffman.referenceBeats = false;
  huffman.decimationFactor = 1;
  DemoRecordOptions raw;
  raw.huffman = false;
  raw.differenceEncoding = 1;
  raw.decimationFactor = 1;
  raw.otherBeatTypeEvery = 1;  // complexes present, none with a reference beat
  raw.leadCodes = {2, 7, 1};
  raw.noiseMicrovolts = 20.0;
  std::vector<DemoRecordOptions> variants;
  variants.push_back(huffman);
  variants.push_back(raw);
  for (const DemoRecordOptions& options : variants) {
    scptest::TempDir dir;
    DemoRecordContent content;
    ScpRecordPtr record;
    ASSERT_EQ(BuildDemoRecord(options, &record, &content), 0);
    ASSERT_EQ(ScpWriteRecord(record.get(), dir.File("in.scp").c_str()), 0);
    const std::string command =
        "cd '" + dir.path() + "' && save2gdf -f=ASCII in.scp out >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (size_t lead = 0; lead < content.leadCodes.size(); ++lead) {
      // save2gdf writes one file per channel: out.a01, out.a02, ...
      const std::string channel = std::to_string(lead + 1);
      std::ifstream in(dir.File("out.a" + std::string(channel.size() < 2 ? "0" : "") + channel));
      const std::vector<int16_t>& original = *content.ecg.Lead(content.leadCodes[lead]);
      size_t i = 0;
      double microvolts = 0.0;
      while (in >> microvolts) {
        ASSERT_LT(i, original.size());
        ASSERT_EQ(std::lround(microvolts * 1000.0 / options.rhythmNanovolts), original[i])
            << "lead " << int{content.leadCodes[lead]} << ", sample " << i;
        ++i;
      }
      EXPECT_EQ(i, original.size());
    }
  }
}

}  // namespace
