// Malformed records: every lead of every broken variant of a real and a synthetic record decodes
// or fails cleanly, never reading or writing outside its arrays (run under ASan and UBSan).
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "scp/ScpDecode.h"
#include "scp/ScpHandles.h"
#include "scp/ScpMeasurements.h"
#include "tests/scp/ScpCodecTestRecords.h"

namespace {

using codectest::Area;
using codectest::Bytes;
using codectest::Complex;
using Sections = std::vector<std::pair<uint16_t, Bytes>>;

// Lead codes of both records, one that no table lists, and the extremes of the byte.
constexpr uint8_t kLeadCodes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 61, 62, 63, 64, 99, 255};

// A Huffman-coded record with three complexes, protected areas and a decimation factor of 4.
Sections DecimatedRecord() {
  std::vector<int16_t> reference(300);
  for (size_t i = 0; i < reference.size(); ++i) {
    reference[i] = static_cast<int16_t>(i % 50 - 25);
  }
  std::vector<int16_t> rhythm(700);
  for (size_t i = 0; i < rhythm.size(); ++i) {
    rhythm[i] = static_cast<int16_t>((i * 7) % 300 - 150);
  }
  const std::vector<Complex> complexes{{0, 551, 601, 701}, {1, 0, 1201, 0}, {2, 0, 1601, 0}};
  const std::vector<Area> areas{{583, 627}, {1183, 1226}, {1587, 1629}};
  return {
      {2, Bytes{0x1F, 0x4E}},  // the default table's marker count, 19999
      {3, codectest::LeadTable({{1, 2000, 1}, {1, 2000, 2}})},
      {4, codectest::QrsSection(600, 201, complexes, areas)},
      {5, codectest::SignalSection(
              5000, 2000, 1,
              {codectest::HuffmanValues(reference), codectest::HuffmanValues(reference)})},
      {6, codectest::SignalSection(
              5000, 8000, 2, {codectest::HuffmanValues(rhythm), codectest::HuffmanValues(rhythm)})},
      {7, codectest::MeasurementSection(360, 460)}};
}

// Decodes every lead code every way and checks the contracts that hold whatever the input:
// statuses are 0 or negative, a success leaves arrays of the announced size, a failure none.
void DecodeEverything(const Sections& sections, const std::string& label) {
  ScpRecordPtr record = codectest::MakeRecord(sections);
  for (uint8_t code : kLeadCodes) {
    ScpReferenceBeat beat{};
    ScpBeatSamplesPtr beatSamples(&beat);
    const ScpStatus beatStatus = ScpDecodeReferenceBeat(record.get(), code, &beat);
    ASSERT_LE(beatStatus, 0) << label;
    ASSERT_EQ(beatStatus == kScpOk, beat.samples != nullptr) << label;
    int64_t beatSum = 0;
    for (int i = 0; i < beat.sampleCount; ++i) {
      beatSum += beat.samples[i];  // every sample is readable
    }
    for (const ScpReferenceBeat* reference : {static_cast<ScpReferenceBeat*>(nullptr), &beat}) {
      ScpRhythmSignal rhythm{};
      ScpRhythmSamplesPtr rhythmSamples(&rhythm);
      const ScpStatus status = ScpDecodeRhythm(record.get(), code, &rhythm, reference);
      ASSERT_LE(status, 0) << label;
      if (status != kScpOk) {
        ASSERT_EQ(rhythm.samples, nullptr) << label;
        ASSERT_EQ(rhythm.zones, nullptr) << label;
        continue;
      }
      ASSERT_NE(rhythm.samples, nullptr) << label;
      ASSERT_GT(rhythm.sampleCount, 0) << label;
      ASSERT_EQ(rhythm.zones == nullptr, rhythm.zoneCount == 0) << label;
      int64_t sum = beatSum;
      for (int32_t i = 0; i < rhythm.sampleCount; ++i) {
        sum += rhythm.samples[i];
      }
      for (uint16_t z = 1; z < rhythm.zoneCount; ++z) {
        ASSERT_LE(rhythm.zones[z - 1].protectedEnd, rhythm.zones[z].protectedStart) << label;
      }
      EXPECT_NE(sum, INT64_MIN);
    }
  }
  ScpBeatMeasurements measurements{};
  ASSERT_LE(ScpGetBeatMeasurements(record.get(), 0, &measurements), 0) << label;
  ScpLeadMeasurements lead{};
  ASSERT_LE(ScpGetLeadMeasurements(record.get(), 0, &lead), 0) << label;
}

// Calls `check` with variants of `sections`: each signal or measurement section cut at telling
// lengths, each of its first bytes (headers and tables) set to extreme values, the section left
// out, and seeded random byte changes anywhere.
void ForEachVariant(const Sections& sections,
                    const std::function<void(const Sections&, const std::string&)>& check) {
  for (size_t s = 0; s < sections.size(); ++s) {
    if (sections[s].first < 2 || sections[s].first > 10) {
      continue;  // patient data and statements play no part in decoding
    }
    const Bytes& body = sections[s].second;
    const std::string name = "section " + std::to_string(sections[s].first);
    for (size_t length : {size_t{0}, size_t{1}, size_t{2}, size_t{5}, size_t{6}, size_t{7},
                          size_t{13}, size_t{20}, body.size() / 2, body.size() - 1}) {
      if (length < body.size()) {
        Sections variant = sections;
        variant[s].second.resize(length);
        check(variant, name + " cut to " + std::to_string(length));
      }
    }
    // Header and table bytes (the first 48) set to 0x00, 0x7F, 0x80 and 0xFF one at a time.
    for (size_t at = 0; at < std::min<size_t>(body.size(), 48); ++at) {
      for (uint8_t value : {0x00, 0x7F, 0x80, 0xFF}) {
        Sections variant = sections;
        variant[s].second[at] = value;
        check(variant, name + " byte " + std::to_string(at) + " = " + std::to_string(value));
      }
    }
    Sections absent = sections;
    absent.erase(absent.begin() + static_cast<std::ptrdiff_t>(s));
    check(absent, name + " absent");
  }
  std::mt19937 random(20240);
  for (int round = 0; round < 150; ++round) {
    Sections variant = sections;
    Bytes& body = variant[random() % variant.size()].second;
    for (int change = 0; change < 3 && !body.empty(); ++change) {
      body[random() % body.size()] = static_cast<uint8_t>(random());
    }
    check(variant, "random round " + std::to_string(round));
  }
}

TEST(ScpDecodeRobustness, BrokenVariantsOfTheExampleRecordDecodeOrFailCleanly) {
  ScpRecordPtr example = codectest::ReadExample();
  ASSERT_NE(example, nullptr);
  ForEachVariant(codectest::SectionsOf(example.get()), DecodeEverything);
}

TEST(ScpDecodeRobustness, BrokenVariantsOfADecimatedRecordDecodeOrFailCleanly) {
  const Sections sections = DecimatedRecord();
  // The intact record decodes with its zones, so the variants start from a working path.
  ScpRecordPtr record = codectest::MakeRecord(sections);
  ScpRhythmSignal rhythm{};
  ScpRhythmSamplesPtr rhythmSamples(&rhythm);
  ASSERT_EQ(ScpDecodeRhythm(record.get(), 2, &rhythm, nullptr), kScpOk);
  EXPECT_EQ(rhythm.zoneCount, 3);
  EXPECT_EQ(rhythm.decimationFactor, 4);
  ForEachVariant(sections, DecodeEverything);
}

TEST(ScpDecodeRobustness, ExtremeLeadAndComplexFieldsDecodeOrFailCleanly) {
  const int32_t extremes[] = {0, 1, -1, 2001, INT32_MAX, INT32_MIN};
  for (int32_t start : extremes) {
    for (int32_t end : extremes) {
      Sections sections = DecimatedRecord();
      sections[1].second = codectest::LeadTable(
          {{static_cast<uint32_t>(start), static_cast<uint32_t>(end), 1}, {1, 2000, 2}});
      DecodeEverything(sections, "lead " + std::to_string(start) + ".." + std::to_string(end));
    }
  }
  for (int32_t sb : extremes) {
    for (int32_t fc : extremes) {
      for (int32_t qe : extremes) {
        for (uint16_t type : {0, 1}) {
          Sections sections = DecimatedRecord();
          sections[2].second = codectest::QrsSection(600, 201, {{type, sb, fc, qe}});
          DecodeEverything(sections, "complex " + std::to_string(sb) + " " + std::to_string(fc) +
                                         " " + std::to_string(qe));
        }
      }
    }
  }
}

}  // namespace
