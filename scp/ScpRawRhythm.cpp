#include "scp/ScpRawRhythm.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr uint32_t kMicrosecondsPerSecond = 1000000;
constexpr uint8_t kMostBytesPerSample = 4;

// Field offsets within the header.
constexpr uint32_t kRateAt = 0;
constexpr uint32_t kLeadCountAt = 4;
constexpr uint32_t kSampleCountAt = 5;
constexpr uint32_t kBytesPerSampleAt = 9;
constexpr uint32_t kDateAt = 10;
constexpr uint32_t kTimeAt = 14;
// Field offsets within a lead entry.
constexpr uint32_t kLeadUnitAt = 1;
constexpr uint32_t kLeadReservedAt = 3;

struct Body {
  const uint8_t* bytes = nullptr;
  uint32_t length = 0;
};

ScpStatus Fail(ScpRawRhythmFault* fault, ScpRawRhythmFault why) {
  if (fault != nullptr) {
    *fault = why;
  }
  return kScpErrRawRhythm - kScpLayerAccessor;
}

// The body of section 12 and its checked header.
ScpStatus ReadHeader(const ScpRecord* record, ScpRawRhythmHeader* header, Body* body,
                     ScpRawRhythmFault* fault) {
  if (fault != nullptr) {
    *fault = ScpRawRhythmFault::kNone;
  }
  const int64_t length = ScpRecordSectionLength(record, kScpRawRhythmSection);
  if (length < 0) {
    return kScpErrNoSection - kScpLayerAccessor;
  }
  if (!ScpIsVersion3Section(
          static_cast<uint8_t>(ScpRecordSectionVersion(record, kScpRawRhythmSection)))) {
    return Fail(fault, ScpRawRhythmFault::kVersion);
  }
  body->bytes = ScpMemLock(ScpRecordSectionData(record, kScpRawRhythmSection));
  body->length = static_cast<uint32_t>(length);
  if (body->bytes == nullptr || body->length < kScpRawRhythmHeaderSize) {
    return Fail(fault, ScpRawRhythmFault::kShort);
  }
  const uint8_t* b = body->bytes;
  ScpUnpack(b, body->length, kScpLayoutDword, &header->sampleRate, kRateAt, 0);
  ScpUnpack(b, body->length, kScpLayoutByte, &header->leadCount, kLeadCountAt, 0);
  ScpUnpack(b, body->length, kScpLayoutDword, &header->sampleCount, kSampleCountAt, 0);
  ScpUnpack(b, body->length, kScpLayoutByte, &header->bytesPerSample, kBytesPerSampleAt, 0);
  ScpUnpack(b, body->length, kScpLayoutDate, &header->date, kDateAt, 0);
  ScpUnpack(b, body->length, kScpLayoutTime, &header->time, kTimeAt, 0);
  if (header->leadCount == 0 || header->sampleCount == 0) {
    return Fail(fault, ScpRawRhythmFault::kNoLeads);
  }
  if (header->sampleRate == 0 || kMicrosecondsPerSecond % header->sampleRate != 0 ||
      kMicrosecondsPerSecond / header->sampleRate > UINT16_MAX) {
    return Fail(fault, ScpRawRhythmFault::kSampleRate);
  }
  if (header->bytesPerSample < 1 || header->bytesPerSample > kMostBytesPerSample) {
    return Fail(fault, ScpRawRhythmFault::kBytesPerSample);
  }
  const uint64_t samplesAt =
      kScpRawRhythmHeaderSize + uint64_t{kScpRawRhythmLeadSize} * header->leadCount;
  if (body->length < samplesAt) {
    return Fail(fault, ScpRawRhythmFault::kShort);
  }
  for (uint32_t lead = 0; lead < header->leadCount; ++lead) {
    if (b[kScpRawRhythmHeaderSize + kScpRawRhythmLeadSize * lead + kLeadReservedAt] != 0) {
      return Fail(fault, ScpRawRhythmFault::kLeadUnit);
    }
  }
  const uint64_t sampleBytes =
      uint64_t{header->sampleCount} * header->leadCount * header->bytesPerSample;
  if (body->length - samplesAt != sampleBytes) {
    return Fail(fault, ScpRawRhythmFault::kSize);
  }
  return kScpOk;
}

// The signed little-endian value of `bytes` bytes at `at`.
int32_t ReadSample(const uint8_t* at, uint8_t bytes) {
  uint32_t raw = 0;
  for (uint8_t byte = 0; byte < bytes; ++byte) {
    raw |= static_cast<uint32_t>(at[byte]) << (8 * byte);
  }
  const uint32_t sign = 1u << (8 * bytes - 1);
  return static_cast<int32_t>((raw ^ sign) - sign);
}

}  // namespace

ScpStatus ScpGetRawRhythmHeader(const ScpRecord* record, ScpRawRhythmHeader* header,
                                ScpRawRhythmFault* fault) {
  Body body;
  return ReadHeader(record, header, &body, fault);
}

ScpStatus ScpGetRawRhythmLead(const ScpRecord* record, uint8_t index, ScpRawRhythmLead* lead) {
  ScpRawRhythmHeader header{};
  Body body;
  const ScpStatus status = ReadHeader(record, &header, &body, nullptr);
  if (status != kScpOk) {
    return status;
  }
  if (index >= header.leadCount) {
    return kScpErrNoSuchEntry - kScpLayerAccessor;
  }
  const uint32_t at = kScpRawRhythmHeaderSize + kScpRawRhythmLeadSize * index;
  ScpUnpack(body.bytes, body.length, kScpLayoutByte, &lead->leadCode, at, 0);
  ScpUnpack(body.bytes, body.length, kScpLayoutWord, &lead->amplitudeMultiplier, at + kLeadUnitAt,
            0);
  return kScpOk;
}

void ScpRawRhythmFaultText(ScpRawRhythmFault fault, char* text, size_t size) {
  const char* what = "fits its layout";
  switch (fault) {
    case ScpRawRhythmFault::kNone:
      break;
    case ScpRawRhythmFault::kVersion:
      what = "has a section version other than 29 or 30";
      break;
    case ScpRawRhythmFault::kShort:
      what = "ends inside its header or lead list";
      break;
    case ScpRawRhythmFault::kNoLeads:
      what = "holds no leads or no samples";
      break;
    case ScpRawRhythmFault::kSampleRate:
      what = "has a sample rate that is not a whole number of microseconds per sample";
      break;
    case ScpRawRhythmFault::kBytesPerSample:
      what = "has a sample size other than 1 to 4 bytes";
      break;
    case ScpRawRhythmFault::kLeadUnit:
      what = "has a lead unit wider than 16 bits";
      break;
    case ScpRawRhythmFault::kSize:
      what = "holds more or fewer sample bytes than its header declares";
      break;
    case ScpRawRhythmFault::kValueRange:
      what = "holds a sample beyond 16 bits";
      break;
  }
  if (size != 0) {
    std::snprintf(text, size, "section 12: %s", what);
  }
}

ScpStatus ScpDecodeRawRhythm(const ScpRecord* record, uint8_t leadCode, ScpRhythmSignal* rhythm) {
  *rhythm = ScpRhythmSignal{};
  rhythm->leadCode = leadCode;
  rhythm->decimationFactor = 1;
  ScpRawRhythmHeader header{};
  Body body;
  const ScpStatus status = ReadHeader(record, &header, &body, nullptr);
  if (status != kScpOk) {
    return static_cast<ScpStatus>(status - kScpLayerDecoder);
  }
  int32_t ordinal = -1;
  ScpRawRhythmLead lead{};
  for (uint8_t i = 0; i < header.leadCount && ordinal < 0; ++i) {
    ScpGetRawRhythmLead(record, i, &lead);
    if (lead.leadCode == leadCode) {
      ordinal = i;
    }
  }
  if (ordinal < 0) {
    return kScpErrNoLead - kScpLayerDecoder;
  }
  if (header.sampleCount > static_cast<uint32_t>(INT32_MAX)) {
    return kScpErrRawRhythm - kScpLayerDecoder;
  }
  auto* samples = static_cast<int16_t*>(std::malloc(sizeof(int16_t) * header.sampleCount));
  if (samples == nullptr) {
    return kScpErrNoSampleMemory - kScpLayerDecoder;
  }
  const uint32_t stride = uint32_t{header.leadCount} * header.bytesPerSample;
  const uint8_t* at = body.bytes + kScpRawRhythmHeaderSize +
                      size_t{kScpRawRhythmLeadSize} * header.leadCount +
                      static_cast<size_t>(ordinal) * header.bytesPerSample;
  for (uint32_t i = 0; i < header.sampleCount; ++i, at += stride) {
    const int32_t value = ReadSample(at, header.bytesPerSample);
    if (value < INT16_MIN || value > INT16_MAX) {
      std::free(samples);
      return kScpErrRawRhythm - kScpLayerDecoder;
    }
    samples[i] = static_cast<int16_t>(value);
  }
  rhythm->leadCount = header.leadCount;
  rhythm->startSample = 1;
  rhythm->endSample = static_cast<int32_t>(header.sampleCount);
  rhythm->ordinal = static_cast<int16_t>(ordinal);
  rhythm->amplitudeMultiplier = lead.amplitudeMultiplier;
  rhythm->sampleInterval = static_cast<uint16_t>(kMicrosecondsPerSecond / header.sampleRate);
  rhythm->dataOffset =
      static_cast<int32_t>(at - body.bytes) - static_cast<int32_t>(stride * header.sampleCount);
  rhythm->dataLength = static_cast<int32_t>(uint32_t{header.bytesPerSample} * header.sampleCount);
  rhythm->sampleCount = static_cast<int32_t>(header.sampleCount);
  rhythm->samples = samples;
  return kScpOk;
}
