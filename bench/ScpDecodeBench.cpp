// How long opening a record takes: the file read, the reference beats, the rhythm and the derived
// leads, decoded the way the Document does it through the lead tables. Where BioSig's library is
// installed the same files are opened and read whole with its sopen + sread in the same process,
// each record's two benchmarks one after the other, and a table of the times and their ratio per
// record is printed at the end.
//
// Records: the shared example record, the bundled demo record, and three written by scpgen into a
// temporary folder: a long plain (not Huffman-coded) record, one with reference beats subtracted
// and a decimation factor of 4, and a lossless Huffman-coded one.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "leads/LeadFilters.h"
#include "leads/LeadTables.h"
#include "scp/ScpDecode.h"
#include "scp/ScpMemory.h"
#include "scp/ScpReader.h"
#include "tools/scpgen/DemoRecord.h"

#ifdef QUILLON_HAVE_BIOSIG
#include <biosig.h>
#endif

namespace {

constexpr int kKeptAllocation = 64 * 1024 * 1024;

struct BenchRecord {
  std::string name;
  std::string path;
};

// Opens and decodes one record as the Document does; false when it has no lead I to show.
bool OpenAndDecode(const char* path) {
  static ScpReferenceBeat refLeads[kLeadTableCapacity];
  static ScpRhythmSignal rhythmLeads[kLeadTableCapacity];
  static uint16_t fiducials[kFiducialCount];
  ScpRecord* record = ScpReadRecord(path);
  if (record == nullptr) {
    return false;
  }
  const int32_t refCount = DecodeReferenceLeads(record, refLeads);
  const int32_t rhythmCount = DecodeRhythmLeads(record, refLeads, refCount, rhythmLeads);
  ReadReferenceFiducials(record, fiducials);
  benchmark::DoNotOptimize(rhythmLeads[0].samples);
  FreeRhythmLeads(rhythmLeads, rhythmCount);
  FreeReferenceLeads(refLeads, refCount);
  ScpRecordFree(record);
  return rhythmCount > 0;
}

void BM_Quillon(benchmark::State& state, const BenchRecord& record) {
  if (!OpenAndDecode(record.path.c_str())) {
    state.SkipWithError("the record does not decode");
    return;
  }
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    OpenAndDecode(record.path.c_str());
  }
}

#ifdef QUILLON_HAVE_BIOSIG
// Opens the record with BioSig and reads every sample of it; the number of values read.
size_t PeerOpenAndRead(const char* path) {
  HDRTYPE* hdr = sopen(path, "r", nullptr);
  if (hdr == nullptr) {
    return 0;
  }
  const size_t read = sread(nullptr, 0, biosig_get_number_of_records(hdr), hdr);
  sclose(hdr);
  destructHDR(hdr);
  return read;
}

// Sends standard error to /dev/null while it lives: the peer warns about every record it opens.
class SilencedStderr {
 public:
  SilencedStderr() : saved_(dup(STDERR_FILENO)) {
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (devNull >= 0) {
      dup2(devNull, STDERR_FILENO);
      close(devNull);
    }
  }
  ~SilencedStderr() {
    if (saved_ >= 0) {
      dup2(saved_, STDERR_FILENO);
      close(saved_);
    }
  }
  SilencedStderr(const SilencedStderr&) = delete;
  SilencedStderr& operator=(const SilencedStderr&) = delete;

 private:
  int saved_;
};

void BM_BioSig(benchmark::State& state, const BenchRecord& record) {
  const SilencedStderr quiet;
  if (PeerOpenAndRead(record.path.c_str()) == 0) {
    state.SkipWithError("BioSig reads no samples");
    return;
  }
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    benchmark::DoNotOptimize(PeerOpenAndRead(record.path.c_str()));
  }
}
#endif

// Little-endian section bodies for a record built in memory.
class Body {
 public:
  Body& U8(uint32_t value) {
    bytes_.push_back(static_cast<uint8_t>(value));
    return *this;
  }
  Body& U16(uint32_t value) { return U8(value).U8(value >> 8); }
  Body& U32(uint32_t value) { return U16(value).U16(value >> 16); }

  void AddTo(ScpRecord* record, uint16_t id) const {
    ScpBlock block = ScpMemAlloc(bytes_.size());
    ScpMemCopy(ScpMemLock(block), bytes_.data(), bytes_.size());
    ScpRecordAddSection(record, id, static_cast<uint32_t>(bytes_.size()), block);
  }

 private:
  std::vector<uint8_t> bytes_;
};

// One plain lead of `complexes` QRS complexes ten samples apart, each with its protected area.
ScpRecord* ManyComplexesRecord(uint32_t complexes) {
  constexpr uint32_t kSpacing = 10;
  const uint32_t samples = complexes * kSpacing;
  ScpRecord* record = ScpRecordCreate();
  Body().U8(1).U8(0).U32(1).U32(samples).U8(1).AddTo(record, 3);
  Body qrs;
  qrs.U16(800).U16(200).U16(complexes);
  for (uint32_t i = 0; i < complexes; ++i) {
    qrs.U16(1).U32(i * kSpacing + 2).U32(i * kSpacing + 4).U32(i * kSpacing + 6);
  }
  for (uint32_t i = 0; i < complexes; ++i) {
    qrs.U32(i * kSpacing + 3).U32(i * kSpacing + 5);
  }
  qrs.AddTo(record, 4);
  Body().U16(5000).U16(2000).U8(0).U8(0).U16(0).AddTo(record, 5);
  Body rhythm;
  rhythm.U16(5000).U16(2000).U8(0).U8(0).U16(0);
  for (uint32_t i = 0; i < samples; ++i) {
    rhythm.U16(i % 100);
  }
  rhythm.AddTo(record, 6);
  return record;
}

// Decoding a lead must cost time linear in its complexes, however many section 4 lists.
void BM_ManyComplexes(benchmark::State& state) {
  ScpRecord* record = ManyComplexesRecord(static_cast<uint32_t>(state.range(0)));
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    ScpRhythmSignal rhythm{};
    if (ScpDecodeRhythm(record, 1, &rhythm, nullptr) != kScpOk) {
      state.SkipWithError("the lead does not decode");
      break;
    }
    ScpFreeRhythm(&rhythm);
  }
  ScpRecordFree(record);
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ManyComplexes)->RangeMultiplier(4)->Range(1024, 65535)->Complexity(benchmark::oN);

// Every display filter on the twelve leads of the demo record (10 s at 500 Hz), as the rhythm
// window does when all of them are turned on.
void BM_AllFiltersOnTwelveLeads(benchmark::State& state) {
  ScpRecord* record = ScpReadRecord(QUILLON_SAMPLES_DIR "/demo.scp");
  if (record == nullptr) {
    state.SkipWithError("the demo record does not read");
    return;
  }
  ScpReferenceBeat beats[kLeadTableCapacity] = {};
  ScpRhythmSignal rhythm[kLeadTableCapacity] = {};
  const int32_t beatCount = DecodeReferenceLeads(record, beats);
  const int32_t rhythmCount = DecodeRhythmLeads(record, beats, beatCount, rhythm);
  std::vector<double> filtered(static_cast<size_t>(rhythm[0].sampleCount));
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    for (int32_t lead = 0; lead < rhythmCount; ++lead) {
      const int32_t count = std::min(rhythm[lead].sampleCount, rhythm[0].sampleCount);
      FilterLeadSamples(rhythm[lead].samples, count, rhythm[lead].sampleInterval, kLeadFilterAll,
                        filtered.data());
    }
    benchmark::DoNotOptimize(filtered.data());
  }
  state.counters["leads"] = rhythmCount;
  state.counters["samples"] = rhythm[0].sampleCount;
  FreeRhythmLeads(rhythm, kLeadTableCapacity);
  FreeReferenceLeads(beats, kLeadTableCapacity);
  ScpRecordFree(record);
}
BENCHMARK(BM_AllFiltersOnTwelveLeads)->Unit(benchmark::kMillisecond);

// The generated records, written once into a folder that is removed when the program ends.
class GeneratedRecords {
 public:
  GeneratedRecords() {
    char pattern[] = "/tmp/quillon-bench-XXXXXX";
    if (mkdtemp(pattern) != nullptr) {
      dir_ = pattern;
    }
  }
  ~GeneratedRecords() {
    for (const std::string& path : written_) {
      std::remove(path.c_str());
    }
    if (!dir_.empty()) {
      rmdir(dir_.c_str());
    }
  }
  GeneratedRecords(const GeneratedRecords&) = delete;
  GeneratedRecords& operator=(const GeneratedRecords&) = delete;

  // Writes the record and returns its path, or an empty path when it cannot be written.
  std::string Write(const std::string& name, const scpgen::DemoRecordOptions& options) {
    std::string path = dir_ + "/" + name + ".scp";
    if (dir_.empty() || scpgen::WriteDemoRecord(options, path.c_str()) != kScpOk) {
      return {};
    }
    written_.push_back(path);
    return path;
  }

 private:
  std::string dir_;
  std::vector<std::string> written_;
};

std::vector<BenchRecord> Records(GeneratedRecords* generated) {
  std::vector<BenchRecord> records = {
      {"Example.scp", QUILLON_SHARED_SAMPLES_DIR "/Example.scp"},
      {"demo.scp", QUILLON_SAMPLES_DIR "/demo.scp"},
  };
  scpgen::DemoRecordOptions longPlain;  // 60 s at 500 Hz, 16-bit values, no beats subtracted
  longPlain.huffman = false;
  longPlain.referenceBeats = false;
  longPlain.decimationFactor = 1;
  longPlain.differenceEncoding = 0;
  longPlain.sampleCount = 30000;
  scpgen::DemoRecordOptions subtracted;  // reference beats subtracted, rhythm at a quarter rate
  subtracted.decimationFactor = 4;
  subtracted.seed = 2;
  subtracted.noiseMicrovolts = 10.0;
  scpgen::DemoRecordOptions lossless;  // Huffman-coded second differences of the whole signal
  lossless.referenceBeats = false;
  lossless.decimationFactor = 1;
  lossless.noiseMicrovolts = 10.0;
  const std::pair<const char*, scpgen::DemoRecordOptions> made[] = {
      {"long-plain", longPlain}, {"subtracted-f4", subtracted}, {"lossless", lossless}};
  for (const auto& [name, options] : made) {
    const std::string path = generated->Write(name, options);
    if (!path.empty()) {
      records.push_back({name, path});
    }
  }
  return records;
}

// Prints the usual console output, then for each record the median processor time per iteration
// of its two benchmarks over their repetitions (processor time, so that other work on a shared
// machine does not count) and the peer's median divided by ours.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration) {
        continue;
      }
      const std::string name = run.run_name.function_name;
      const size_t slash = name.find('/');
      const double ms = run.GetAdjustedCPUTime() *
                        benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond) /
                        benchmark::GetTimeUnitMultiplier(run.time_unit);
      times_[name.substr(slash + 1)][name.substr(0, slash)].push_back(ms);
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-16s %12s %12s %10s\n", "record", "Quillon ms", "BioSig ms", "ratio");
    for (auto& [record, times] : times_) {
      const auto ours = times.find("Quillon");
      const auto peer = times.find("BioSig");
      if (ours == times.end()) {
        continue;
      }
      const double ourMedian = Median(&ours->second);
      if (peer == times.end()) {
        std::printf("%-16s %12.4f %12s %10s\n", record.c_str(), ourMedian, "-", "-");
      } else {
        const double peerMedian = Median(&peer->second);
        std::printf("%-16s %12.4f %12.4f %9.1fx\n", record.c_str(), ourMedian, peerMedian,
                    peerMedian / ourMedian);
      }
    }
  }

 private:
  static double Median(std::vector<double>* values) {
    std::sort(values->begin(), values->end());
    const size_t middle = values->size() / 2;
    return values->size() % 2 != 0 ? (*values)[middle]
                                   : ((*values)[middle - 1] + (*values)[middle]) / 2;
  }

  std::map<std::string, std::map<std::string, std::vector<double>>> times_;
};

}  // namespace

int main(int argc, char** argv) {
  // Both sides allocate and free a few hundred kilobytes per open. Keeping freed memory in the
  // process rather than handing it back after each open times the decoding, not the page faults
  // of whichever side happens to run after the allocator shrank the heap.
  mallopt(M_MMAP_THRESHOLD, kKeptAllocation);
  mallopt(M_TRIM_THRESHOLD, kKeptAllocation);
  GeneratedRecords generated;
  const std::vector<BenchRecord> records = Records(&generated);
  for (const BenchRecord& record : records) {
    benchmark::RegisterBenchmark(("Quillon/" + record.name).c_str(), BM_Quillon, record)
        ->Unit(benchmark::kMicrosecond);
#ifdef QUILLON_HAVE_BIOSIG
    benchmark::RegisterBenchmark(("BioSig/" + record.name).c_str(), BM_BioSig, record)
        ->Unit(benchmark::kMicrosecond);
#endif
  }
  // Unless told otherwise, every benchmark runs in nine repetitions taken in random order, so
  // that both sides of a record meet the machine in the same states and the medians compare.
  std::vector<char*> args(argv, argv + argc);
  char repetitions[] = "--benchmark_repetitions=9";
  char interleaving[] = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, {repetitions, interleaving});
  int argCount = static_cast<int>(args.size());
  benchmark::Initialize(&argCount, args.data());
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
