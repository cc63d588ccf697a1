#include "tools/scpgen/DemoRecord.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>
#include <string>

#include "scp/ScpItems.h"
#include "scp/ScpSections.h"
#include "scp/ScpWriter.h"

namespace scpgen {
namespace {

// The number of Huffman tables that stands for "the default table".
constexpr uint16_t kDefaultHuffmanTables = 19999;

constexpr int32_t kMaxRecordSampleCount = 1000000;
constexpr uint16_t kSampleInterval = 2000;  // microseconds, 500 Hz
constexpr int32_t kMicrosecondsPerMillisecond = 1000;
// The rhythm interval, kSampleInterval x f, must fit its 16-bit field.
constexpr uint16_t kMaxDecimationFactor = std::numeric_limits<uint16_t>::max() / kSampleInterval;
constexpr double kMillisecondsPerMinute = 60000.0;
constexpr double kHeartRate = 70.0;  // beats per minute
constexpr double kBaselineWanderMicrovolts = 40.0;

// Section 3 flags: reference beat subtraction used, leads recorded simultaneously, and the number
// of simultaneous leads in bits 3 to 7.
constexpr uint8_t kFlagReferenceSubtraction = 0x01;
constexpr uint8_t kFlagSimultaneous = 0x04;
constexpr int kSimultaneousLeadsShift = 3;

// Section 10 values: markers and codes.
constexpr int16_t kNotDetermined = 29999;
constexpr int16_t kMorphologyUnknown = 0;
constexpr int16_t kMorphologyPositive = 1;
constexpr int16_t kMorphologyNegative = 2;
constexpr int16_t kMorphologyPositiveNegative = 3;
constexpr int16_t kMorphologyNegativePositive = 4;
constexpr double kWaveThresholdMicrovolts = 20.0;  // smaller deflections do not count as waves
constexpr int kStAfterJ20Ms = 20;
constexpr int kStAfterJ60Ms = 60;
constexpr int kStAfterJ80Ms = 80;
constexpr double kMillisecondsPerSecond = 1000.0;
// Indexes of the 29 values of a lead block.
enum LeadValue {
  kPDuration,
  kPrInterval,
  kQrsDuration,
  kQtInterval,
  kQDuration,
  kRDuration,
  kSDuration,
  kRPrimeDuration,
  kSPrimeDuration,
  kQAmplitude,
  kRAmplitude,
  kSAmplitude,
  kRPrimeAmplitude,
  kSPrimeAmplitude,
  kJAmplitude,
  kPPlusAmplitude,
  kPMinusAmplitude,
  kTPlusAmplitude,
  kTMinusAmplitude,
  kStSlope,
  kPMorphology,
  kTMorphology,
  kISegment,
  kKSegment,
  kIntrinsicoidDeflection,
  kSignalQuality,
  kStJ20,
  kStJ60,
  kStJ80,
};

// Patient data of the demo record: a made-up person.
constexpr ScpValueUnit kAge = {54, 1};  // years
constexpr ScpDate kDateOfBirth = {1970, 3, 14};
constexpr ScpValueUnit kHeight = {168, 1};  // centimetres
constexpr ScpValueUnit kWeight = {62, 1};   // kilograms
constexpr uint8_t kSexFemale = 2;
constexpr uint8_t kRaceCaucasian = 1;
constexpr uint16_t kSystolic = 125;  // mmHg
constexpr uint16_t kDiastolic = 80;  // mmHg
constexpr uint8_t kStatRoutine = 0;
constexpr uint16_t kBaselineFilter = 5;   // 0.05 Hz, in hundredths of a hertz
constexpr uint16_t kLowPassFilter = 150;  // Hz

// Appends to the sections of a record, keeping the first failure and skipping every call after it.
class RecordBuilder {
 public:
  explicit RecordBuilder(ScpRecord* record) : record_(record) {}

  ScpStatus Status() const { return status_; }

  void NewSection(uint16_t id) {
    if (status_ == kScpOk && ScpRecordNewSection(record_, id) == nullptr) {
      status_ = kScpErrNoMemory - kScpLayerRecord;
    }
  }

  void Append(uint16_t id, int layout, const void* fields, uint32_t count) {
    Keep(ScpAppendFields(record_, id, layout, fields, count));
  }
  void AppendWord(uint16_t id, uint16_t value) { Append(id, kScpLayoutWord, &value, 2); }
  void AppendDword(uint16_t id, uint32_t value) { Append(id, kScpLayoutDword, &value, 4); }
  void AppendBytes(uint16_t id, const std::vector<uint8_t>& bytes) {
    if (!bytes.empty()) {
      Append(id, kScpLayoutBytes, bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
  }

  void Text(uint16_t id, uint8_t tag, const std::string& text) {
    Keep(ScpAddItemText(record_, id, tag, text.c_str()));
  }
  void Byte(uint8_t tag, uint8_t value) {
    Keep(ScpAddItemByte(record_, kScpPatientSection, tag, value));
  }
  void Word(uint8_t tag, uint16_t value) {
    Keep(ScpAddItemWord(record_, kScpPatientSection, tag, value));
  }
  void ValueUnit(uint8_t tag, const ScpValueUnit& value) {
    Keep(ScpAddItemValueUnit(record_, kScpPatientSection, tag, &value));
  }
  void Date(uint8_t tag, const ScpDate& value) {
    Keep(ScpAddItemDate(record_, kScpPatientSection, tag, &value));
  }
  void Time(uint8_t tag, const ScpTime& value) {
    Keep(ScpAddItemTime(record_, kScpPatientSection, tag, &value));
  }
  void Item(uint8_t tag, const std::vector<uint8_t>& value) {
    Keep(ScpAddItem(record_, kScpPatientSection, tag, kScpLayoutBytes, value.data(),
                    static_cast<uint16_t>(value.size())));
  }
  void End(uint16_t id) { Keep(ScpAddItemEnd(record_, id)); }
  void StatementHeader(const ScpStatementHeader& header) {
    Keep(ScpSetStatementHeader(record_, kScpStatementSection, &header));
  }

 private:
  void Keep(ScpStatus status) {
    if (status_ == kScpOk) {
      status_ = status;
    }
  }

  ScpRecord* record_;
  ScpStatus status_ = kScpOk;
};

int32_t MsToSamples(int32_t ms) {
  return ms * kMicrosecondsPerMillisecond / kSampleInterval;
}

int64_t RoundDiv(int64_t num, int64_t den) {
  return num >= 0 ? (2 * num + den) / (2 * den) : -((-2 * num + den) / (2 * den));
}

int16_t RoundToInt16(double value) {
  return static_cast<int16_t>(std::clamp(std::round(value), -32768.0, 32767.0));
}

// The mean of the beats around `fiducials`, `length` samples with the fiducial at index `fid`,
// multiplied by `scale` (rhythm units per reference unit) and rounded. Beats that lie wholly
// inside the lead are averaged; when there are none, every beat that covers an index counts.
std::vector<int16_t> AverageBeat(const std::vector<int16_t>& samples,
                                 const std::vector<int32_t>& fiducials, int32_t fid, int32_t length,
                                 int32_t scale) {
  const int32_t sampleCount = static_cast<int32_t>(samples.size());
  std::vector<int32_t> whole;
  for (int32_t fiducial : fiducials) {
    if (fiducial - fid >= 0 && fiducial - fid + length <= sampleCount) {
      whole.push_back(fiducial);
    }
  }
  const std::vector<int32_t>& used = whole.empty() ? fiducials : whole;
  std::vector<int16_t> beat(length, 0);
  for (int32_t k = 0; k < length; ++k) {
    int64_t sum = 0;
    int64_t count = 0;
    for (int32_t fiducial : used) {
      const int32_t i = fiducial - fid + k;
      if (i >= 0 && i < sampleCount) {
        sum += samples[i];
        ++count;
      }
    }
    if (count > 0) {
      beat[k] = static_cast<int16_t>(std::clamp<int64_t>(RoundDiv(sum * scale, count),
                                                         std::numeric_limits<int16_t>::min(),
                                                         std::numeric_limits<int16_t>::max()));
    }
  }
  return beat;
}

// The deflections of a lead's QRS complex, in time order: runs of one sign that reach past the
// wave threshold.
struct Deflection {
  bool positive;
  int32_t durationMs;
  double peakMicrovolts;
  int32_t peakMs;  // from the QRS onset
};

std::vector<Deflection> QrsDeflections(uint8_t leadCode) {
  std::vector<Deflection> deflections;
  const int32_t stepMs = kSampleInterval / kMicrosecondsPerMillisecond;
  Deflection current{};
  bool inRun = false;
  auto close = [&]() {
    if (inRun && std::fabs(current.peakMicrovolts) >= kWaveThresholdMicrovolts) {
      deflections.push_back(current);
    }
    inRun = false;
  };
  for (int32_t ms = kQrsOnsetMs; ms <= kQrsOffsetMs; ms += stepMs) {
    const double value = BeatMicrovolts(leadCode, ms);
    if (value == 0.0) {
      close();
      continue;
    }
    const bool positive = value > 0.0;
    if (inRun && positive != current.positive) {
      close();
    }
    if (!inRun) {
      current = {positive, 0, 0.0, 0};
      inRun = true;
    }
    current.durationMs += stepMs;
    if (std::fabs(value) > std::fabs(current.peakMicrovolts)) {
      current.peakMicrovolts = value;
      current.peakMs = ms - kQrsOnsetMs;
    }
  }
  close();
  return deflections;
}

// Morphology code of a wave between two bounds: positive, negative, or both in the order seen.
int16_t WaveMorphology(uint8_t leadCode, int32_t fromMs, int32_t toMs, double* maximum,
                       double* minimum) {
  const int32_t stepMs = kSampleInterval / kMicrosecondsPerMillisecond;
  *maximum = 0.0;
  *minimum = 0.0;
  int32_t maximumMs = 0;
  int32_t minimumMs = 0;
  for (int32_t ms = fromMs; ms <= toMs; ms += stepMs) {
    const double value = BeatMicrovolts(leadCode, ms);
    if (value > *maximum) {
      *maximum = value;
      maximumMs = ms;
    }
    if (value < *minimum) {
      *minimum = value;
      minimumMs = ms;
    }
  }
  const bool positive = *maximum >= kWaveThresholdMicrovolts;
  const bool negative = -*minimum >= kWaveThresholdMicrovolts;
  if (positive && negative) {
    return maximumMs < minimumMs ? kMorphologyPositiveNegative : kMorphologyNegativePositive;
  }
  if (positive) {
    return kMorphologyPositive;
  }
  return negative ? kMorphologyNegative : kMorphologyUnknown;
}

// The measurements of one standard lead, taken from the noise-free beat.
ScpLeadMeasurements MeasureLead(uint8_t leadCode) {
  ScpLeadMeasurements block{};
  block.leadCode = leadCode;
  int16_t* v = block.values;
  v[kPDuration] = kPOffsetMs - kPOnsetMs;
  v[kPrInterval] = kQrsOnsetMs - kPOnsetMs;
  v[kQrsDuration] = kQrsOffsetMs - kQrsOnsetMs;
  v[kQtInterval] = kTOffsetMs - kQrsOnsetMs;

  // Q before the first positive deflection, then R, S, R', S' in turn. The intrinsicoid
  // deflection is the time from the QRS onset to the peak of R.
  const std::vector<Deflection> deflections = QrsDeflections(leadCode);
  const LeadValue durations[] = {kRDuration, kSDuration, kRPrimeDuration, kSPrimeDuration};
  const LeadValue amplitudes[] = {kRAmplitude, kSAmplitude, kRPrimeAmplitude, kSPrimeAmplitude};
  size_t next = 0;
  if (!deflections.empty() && !deflections[0].positive) {
    v[kQDuration] = static_cast<int16_t>(deflections[0].durationMs);
    v[kQAmplitude] = RoundToInt16(deflections[0].peakMicrovolts);
    next = 1;
  }
  v[kIntrinsicoidDeflection] =
      next < deflections.size() ? static_cast<int16_t>(deflections[next].peakMs) : kNotDetermined;
  for (size_t wave = 0; wave < std::size(durations) && next < deflections.size(); ++wave, ++next) {
    v[durations[wave]] = static_cast<int16_t>(deflections[next].durationMs);
    v[amplitudes[wave]] = RoundToInt16(deflections[next].peakMicrovolts);
  }

  double maximum = 0.0;
  double minimum = 0.0;
  v[kPMorphology] = WaveMorphology(leadCode, kPOnsetMs, kPOffsetMs, &maximum, &minimum);
  v[kPPlusAmplitude] = RoundToInt16(maximum);
  v[kPMinusAmplitude] = RoundToInt16(minimum);
  v[kTMorphology] = WaveMorphology(leadCode, kTOnsetMs, kTOffsetMs, &maximum, &minimum);
  v[kTPlusAmplitude] = RoundToInt16(maximum);
  v[kTMinusAmplitude] = RoundToInt16(minimum);

  const double st20 = BeatMicrovolts(leadCode, kQrsOffsetMs + kStAfterJ20Ms);
  const double st60 = BeatMicrovolts(leadCode, kQrsOffsetMs + kStAfterJ60Ms);
  const double st80 = BeatMicrovolts(leadCode, kQrsOffsetMs + kStAfterJ80Ms);
  v[kJAmplitude] = RoundToInt16(BeatMicrovolts(leadCode, kQrsOffsetMs));
  v[kStJ20] = RoundToInt16(st20);
  v[kStJ60] = RoundToInt16(st60);
  v[kStJ80] = RoundToInt16(st80);
  v[kStSlope] =
      RoundToInt16((st80 - st20) * kMillisecondsPerSecond / (kStAfterJ80Ms - kStAfterJ20Ms));
  v[kISegment] = kNotDetermined;
  v[kKSegment] = kNotDetermined;
  v[kSignalQuality] = 0;
  return block;
}

double MeanRrMs(const std::vector<int32_t>& fiducials) {
  if (fiducials.size() < 2) {
    return kMillisecondsPerMinute / kHeartRate;
  }
  const double samples = fiducials.back() - fiducials.front();
  return samples * kSampleInterval / kMicrosecondsPerMillisecond / (fiducials.size() - 1);
}

std::string Format(const char* format, int value) {
  char text[96];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// A cart's identification: institution 3, department 5, device 11, model "CART12", then its five
// texts (analysing program, serial number, system software, SCP implementation, maker).
std::vector<uint8_t> DeviceIdentification(const std::string& serial) {
  std::vector<uint8_t> device(kScpDeviceFirstTextOffset, 0);
  device[0] = 3;
  device[2] = 5;
  device[4] = 11;
  const std::string model = "CART12";
  std::copy(model.begin(), model.end(), device.begin() + kScpDeviceNumbersSize + 2);
  for (const std::string& text : {std::string("1.0"), serial, std::string("fw-2.1"),
                                  std::string("Quillon"), std::string("Acme Carts")}) {
    device.insert(device.end(), text.begin(), text.end());
    device.push_back(0);
  }
  device[kScpDeviceFirstTextOffset - 1] = 4;  // the length of the first text, "1.0" and its end
  return device;
}

void AddPatientSection(RecordBuilder* builder, const DemoRecordOptions& options) {
  const uint16_t s = kScpPatientSection;
  builder->NewSection(s);
  // The order in which Quillon itself writes these items when it saves a record.
  builder->Text(s, kScpTagLastName, "Demo");
  builder->Text(s, kScpTagFirstName, "Anna");
  builder->Text(s, kScpTagSecondLastName, "");
  builder->Text(s, kScpTagPatientId, "QUILLON-DEMO-1");
  builder->Text(s, kScpTagReferringPhysician, "Dr. B. Example");
  builder->Text(s, kScpTagAcquiringInstitution, "Quillon Demo Clinic");
  builder->Text(s, kScpTagAnalysingInstitution, "Quillon Demo Clinic");
  builder->Text(s, kScpTagAcquiringDepartment, "Cardiology");
  builder->Text(s, kScpTagAnalysingDepartment, "Cardiology");
  builder->Date(kScpTagDateOfBirth, kDateOfBirth);
  builder->Byte(kScpTagRace, kRaceCaucasian);
  builder->Byte(kScpTagSex, kSexFemale);
  builder->Word(kScpTagSystolic, kSystolic);
  builder->Word(kScpTagDiastolic, kDiastolic);
  builder->ValueUnit(kScpTagAge, kAge);
  builder->ValueUnit(kScpTagHeight, kHeight);
  builder->ValueUnit(kScpTagWeight, kWeight);
  builder->Text(s, kScpTagDiagnosis, "Routine check-up");
  builder->Text(s, kScpTagConfirmingPhysician, "");
  builder->Text(s, kScpTagTechnician, "scpgen");
  builder->Text(s, kScpTagRoom, "1");
  builder->Byte(kScpTagStat, kStatRoutine);
  if (options.dated) {
    builder->Date(kScpTagAcquisitionDate, options.acquisitionDate);
    builder->Time(kScpTagAcquisitionTime, options.acquisitionTime);
  }
  builder->Word(kScpTagBaselineFilter, kBaselineFilter);
  builder->Word(kScpTagLowPassFilter, kLowPassFilter);
  builder->Text(s, kScpTagFreeText, "Synthetic ECG made by scpgen; not patient data.");
  builder->Text(s, kScpTagSequenceNumber, "1");
  if (!options.deviceSerial.empty()) {
    const std::vector<uint8_t> device = DeviceIdentification(options.deviceSerial);
    builder->Item(kScpTagAcquiringDevice, device);
  }
  builder->End(s);
}

void AddLeadSection(RecordBuilder* builder, const DemoRecordOptions& options) {
  builder->NewSection(kScpLeadSection);
  const uint8_t leadCount = static_cast<uint8_t>(options.leadCodes.size());
  ScpLeadTableHeader header{};
  header.leadCount = leadCount;
  header.leadFlags =
      static_cast<uint8_t>((options.referenceBeats ? kFlagReferenceSubtraction : 0) |
                           kFlagSimultaneous | (leadCount << kSimultaneousLeadsShift));
  builder->Append(kScpLeadSection, kScpLayoutLeadTableHeader, &header, 2);
  for (uint8_t code : options.leadCodes) {
    const ScpLeadEntry entry = {1, options.sampleCount, code};
    builder->Append(kScpLeadSection, kScpLayoutLeadEntry, &entry, 9);
  }
}

void AddQrsSection(RecordBuilder* builder, const DemoRecordOptions& options,
                   const DemoRecordContent& content) {
  builder->NewSection(kScpQrsSection);
  const ScpQrsHeader header = {static_cast<uint16_t>(kReferenceLengthMs),
                               static_cast<uint16_t>(content.plan.referenceFiducial),
                               static_cast<uint16_t>(content.complexes.size())};
  builder->Append(kScpQrsSection, kScpLayoutQrsHeader, &header, 6);
  for (const ComplexLayout& complex : content.complexes) {
    ScpQrsEntry entry{};
    entry.beatType = complex.beatType;
    entry.fiducialSample = complex.fiducialIndex + 1;
    if (complex.beatType == 0) {
      // The subtraction zone runs from sample number SB to QE - 1.
      entry.subtractStart = complex.subtraction.start + 1;
      entry.subtractEnd = complex.subtraction.end + 1;
    }
    builder->Append(kScpQrsSection, kScpLayoutQrsEntry, &entry, 14);
  }
  if (options.protectedAreaList) {
    for (const ComplexLayout& complex : content.complexes) {
      builder->AppendDword(kScpQrsSection, static_cast<uint32_t>(complex.protectedSpan.start + 1));
      builder->AppendDword(kScpQrsSection, static_cast<uint32_t>(complex.protectedSpan.end));
    }
  }
}

// Appends a section 5 or 6: header, the byte count of every lead, then the leads' data.
bool AddSignalSection(RecordBuilder* builder, uint16_t id, const ScpSignalHeader& header,
                      const std::vector<std::vector<uint8_t>>& leadData) {
  for (const std::vector<uint8_t>& data : leadData) {
    if (data.size() > std::numeric_limits<uint16_t>::max()) {
      return false;
    }
  }
  builder->NewSection(id);
  builder->Append(id, kScpLayoutSignalHeader, &header, 6);
  for (const std::vector<uint8_t>& data : leadData) {
    builder->AppendWord(id, static_cast<uint16_t>(data.size()));
  }
  for (const std::vector<uint8_t>& data : leadData) {
    builder->AppendBytes(id, data);
  }
  return true;
}

void AddMeasurementSection(RecordBuilder* builder, const DemoRecordContent& content) {
  builder->NewSection(kScpMeasurementSection);
  const uint16_t rrMs = static_cast<uint16_t>(std::lround(MeanRrMs(content.ecg.fiducials)));
  const ScpMeasurementHeader header = {1, 0, rrMs, rrMs};
  builder->Append(kScpMeasurementSection, kScpLayoutMeasurementHeader, &header, 6);
  // Times count from the start of the reference beat.
  auto fromBeatStart = [](int ms) {
    return static_cast<uint16_t>(kReferenceBeforeFiducialMs + ms);
  };
  const FrontalAxes axes = BeatAxes();
  const ScpBeatMeasurements beat = {fromBeatStart(kPOnsetMs),
                                    fromBeatStart(kPOffsetMs),
                                    fromBeatStart(kQrsOnsetMs),
                                    fromBeatStart(kQrsOffsetMs),
                                    fromBeatStart(kTOffsetMs),
                                    axes.p,
                                    axes.qrs,
                                    axes.t};
  builder->Append(kScpMeasurementSection, kScpLayoutBeatMeasurements, &beat, 16);
}

void AddStatementSection(RecordBuilder* builder, const DemoRecordOptions& options,
                         const DemoRecordContent& content) {
  const int heartRate =
      static_cast<int>(std::lround(kMillisecondsPerMinute / MeanRrMs(content.ecg.fiducials)));
  const std::string statements[] = {
      "Sinus rhythm",
      Format("Heart rate %d bpm", heartRate),
      Format("Normal QRS axis (%+d degrees)", BeatAxes().qrs),
      Format("PR %d ms", kQrsOnsetMs - kPOnsetMs) +
          Format(", QRS %d ms", kQrsOffsetMs - kQrsOnsetMs) +
          Format(", QT %d ms", kTOffsetMs - kQrsOnsetMs),
      "No ST-T abnormality",
      "Normal ECG (synthetic demonstration record)",
  };
  builder->NewSection(kScpStatementSection);
  ScpStatementHeader header{};
  header.confirmed = 0;
  header.year = options.statementDate.year;
  header.month = options.statementDate.month;
  header.day = options.statementDate.day;
  header.hour = options.statementTime.hour;
  header.minute = options.statementTime.minute;
  header.second = options.statementTime.second;
  header.statementCount = static_cast<uint8_t>(std::size(statements));
  builder->StatementHeader(header);
  for (size_t i = 0; i < std::size(statements); ++i) {
    builder->Text(kScpStatementSection, static_cast<uint8_t>(i), statements[i]);
  }
}

void AddLeadMeasurementSection(RecordBuilder* builder, const DemoRecordOptions& options) {
  const uint16_t s = kScpLeadMeasurementSection;
  builder->NewSection(s);
  const ScpLeadMeasurementHeader header = {kStandardLeadCount, options.leadBlockLength};
  builder->Append(s, kScpLayoutLeadMeasurementHeader, &header, 4);
  // Bytes past the 62 this record fills: further measurements, not determined.
  std::vector<uint8_t> tail(options.leadBlockLength - kLeadBlockBytes, 0);
  for (size_t i = 0; i + 1 < tail.size(); i += 2) {
    tail[i] = static_cast<uint8_t>(kNotDetermined & 0xFF);
    tail[i + 1] = static_cast<uint8_t>(kNotDetermined >> 8);
  }
  for (uint8_t code : kStandardLeadCodes) {
    ScpLeadMeasurements block = MeasureLead(code);
    block.unused = static_cast<uint16_t>(options.leadBlockLength - 4);  // bytes after this word
    builder->Append(s, kScpLayoutLeadMeasurements, &block, kLeadBlockBytes);
    builder->AppendBytes(s, tail);
  }
}

}  // namespace

bool DemoRecordOptionsValid(const DemoRecordOptions& options) {
  if (options.differenceEncoding > kSecondDifferences || options.decimationFactor < 1 ||
      options.decimationFactor > kMaxDecimationFactor ||
      (!options.referenceBeats && options.decimationFactor != 1) || options.sampleCount < 1 ||
      options.sampleCount > kMaxRecordSampleCount) {
    return false;
  }
  if (options.leadCodes.empty() || options.leadCodes.size() > kIndependentLeadCount) {
    return false;
  }
  for (size_t i = 0; i < options.leadCodes.size(); ++i) {
    const uint8_t code = options.leadCodes[i];
    if (code < kIndependentLeadCodes[0] ||
        code > kIndependentLeadCodes[kIndependentLeadCount - 1] ||
        std::count(options.leadCodes.begin(), options.leadCodes.end(), code) != 1) {
      return false;
    }
  }
  return options.leadBlockLength >= kLeadBlockBytes && options.rhythmNanovolts != 0 &&
         options.referenceNanovolts != 0 &&
         options.rhythmNanovolts % options.referenceNanovolts == 0;
}

ScpStatus BuildDemoRecord(const DemoRecordOptions& options, ScpRecordPtr* record,
                          DemoRecordContent* content) {
  record->reset();
  if (!DemoRecordOptionsValid(options)) {
    return kScpErrMalformed;
  }
  DemoRecordContent local;
  DemoRecordContent& c = content != nullptr ? *content : local;
  c = DemoRecordContent{};

  SyntheticEcgOptions ecgOptions;
  ecgOptions.seed = options.seed;
  ecgOptions.heartRate = kHeartRate;
  ecgOptions.sampleCount = options.sampleCount;
  ecgOptions.sampleInterval = kSampleInterval;
  ecgOptions.unitNanovolts = options.rhythmNanovolts;
  ecgOptions.wanderMicrovolts = kBaselineWanderMicrovolts;
  ecgOptions.noiseMicrovolts = options.noiseMicrovolts;
  c.ecg = GenerateSyntheticEcg(ecgOptions);
  c.leadCodes = options.leadCodes;

  const int32_t fid = MsToSamples(kReferenceBeforeFiducialMs);
  c.plan.sampleCount = options.sampleCount;
  c.plan.factor = options.decimationFactor;
  c.plan.referenceFiducial = fid;
  c.plan.referenceLength = MsToSamples(kReferenceLengthMs);
  c.plan.qrsOnset = fid + MsToSamples(kQrsOnsetMs);
  c.plan.qrsOffset = fid + MsToSamples(kQrsOffsetMs);
  c.plan.subtractFirst = fid - MsToSamples(kSubtractBeforeFiducialMs);
  c.plan.subtractEnd = fid + MsToSamples(kSubtractAfterFiducialMs);
  c.plan.derivedSpans = !options.protectedAreaList;

  const int32_t scale = options.rhythmNanovolts / options.referenceNanovolts;
  std::vector<int32_t> typeZeroFiducials;
  if (options.referenceBeats) {
    std::vector<uint16_t> beatTypes;
    for (size_t i = 0; i < c.ecg.fiducials.size(); ++i) {
      const bool other =
          options.otherBeatTypeEvery != 0 && (i + 1) % options.otherBeatTypeEvery == 0;
      beatTypes.push_back(other ? 1 : 0);
      if (!other) {
        typeZeroFiducials.push_back(c.ecg.fiducials[i]);
      }
    }
    c.complexes = PlanComplexes(c.ecg.fiducials, beatTypes, c.plan);
  }

  const HuffmanTableSet tables = OwnTables(options.ownTables);
  std::vector<std::vector<uint8_t>> referenceData;
  std::vector<std::vector<uint8_t>> rhythmData;
  for (uint8_t code : options.leadCodes) {
    const std::vector<int16_t>& samples = *c.ecg.Lead(code);
    RhythmEncoding encoding;
    encoding.factor = options.decimationFactor;
    encoding.referenceScale = scale;
    if (options.referenceBeats) {
      c.referenceBeats.push_back(
          AverageBeat(samples, typeZeroFiducials.empty() ? c.ecg.fiducials : typeZeroFiducials, fid,
                      c.plan.referenceLength, scale));
      encoding.reference = &c.referenceBeats.back();
      referenceData.push_back(
          PackLeadData(EncodeDifferences(c.referenceBeats.back(), options.differenceEncoding),
                       options.huffman, tables));
    } else {
      c.referenceBeats.emplace_back();
    }
    const std::vector<int16_t> stored = EncodeRhythmValues(samples, c.complexes, encoding);
    rhythmData.push_back(PackLeadData(EncodeDifferences(stored, options.differenceEncoding),
                                      options.huffman, tables));
  }

  ScpRecordPtr built(ScpRecordCreate());
  if (!built) {
    return kScpErrNoMemory - kScpLayerRecord;
  }
  RecordBuilder builder(built.get());
  AddPatientSection(&builder, options);
  if (options.huffman) {
    builder.NewSection(kScpHuffmanSection);
    if (tables.empty()) {
      builder.AppendWord(kScpHuffmanSection, kDefaultHuffmanTables);
    } else {
      builder.AppendBytes(kScpHuffmanSection, HuffmanTableSection(tables));
    }
  }
  AddLeadSection(&builder, options);
  if (options.referenceBeats) {
    AddQrsSection(&builder, options, c);
    const ScpSignalHeader header = {options.referenceNanovolts, kSampleInterval,
                                    options.differenceEncoding, 0};
    if (!AddSignalSection(&builder, kScpReferenceSection, header, referenceData)) {
      return kScpErrMalformed;
    }
  }
  const ScpSignalHeader rhythmHeader = {
      options.rhythmNanovolts, static_cast<uint16_t>(kSampleInterval * options.decimationFactor),
      options.differenceEncoding, static_cast<uint8_t>(options.decimationFactor > 1 ? 1 : 0)};
  if (!AddSignalSection(&builder, kScpRhythmSection, rhythmHeader, rhythmData)) {
    return kScpErrMalformed;
  }
  AddMeasurementSection(&builder, c);
  AddStatementSection(&builder, options, c);
  AddLeadMeasurementSection(&builder, options);
  if (builder.Status() != kScpOk) {
    return builder.Status();
  }
  *record = std::move(built);
  return kScpOk;
}

ScpStatus WriteDemoRecord(const DemoRecordOptions& options, const char* path) {
  ScpRecordPtr record;
  const ScpStatus status = BuildDemoRecord(options, &record, nullptr);
  if (status != kScpOk) {
    return status;
  }
  return ScpWriteRecord(record.get(), path);
}

}  // namespace scpgen
