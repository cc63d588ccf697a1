// How long converting the demo record takes, per format: the file read, the decoding into a
// document, the export description and the writer, as one `scptool convert` of one input does.
// The pages (SVG, PNG, PDF) are drawn by the views and timed by quillon_bench_views.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "document/CQuillonDoc.h"
#include "exports/ExportFromDocument.h"
#include "exports/ExportWriters.h"
#include "scp/ScpReader.h"

namespace {

const std::string kDemo = std::string(QUILLON_SAMPLES_DIR) + "/demo.scp";

using Writer = bool (*)(const ExportRecord&, const std::string&, std::string*);

void ConvertDemo(benchmark::State& state, Writer writer, const char* extension) {
  const std::string out = "/tmp/quillon-bench-" + std::to_string(getpid()) + extension;
  for (auto _ : state) {
    std::ifstream in(kDemo, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    CQuillonDoc doc;
    doc.DecodeLeads(ScpReadRecord(kDemo.c_str()));
    ExportRecord record = MakeExportRecord(doc);
    record.uidSeed = ExportSeedOf(bytes);
    std::string problem;
    if (!writer(record, out, &problem)) {
      state.SkipWithError(problem.c_str());
      break;
    }
  }
  std::remove(out.c_str());
}

void BM_ConvertDemoToDicom(benchmark::State& state) {
  ConvertDemo(state, WriteDicomEcg, ".dcm");
}
void BM_ConvertDemoToEdf(benchmark::State& state) {
  ConvertDemo(state, WriteEdfPlus, ".edf");
}
void BM_ConvertDemoToAecg(benchmark::State& state) {
  ConvertDemo(state, WriteAnnotatedEcg, ".xml");
}
void BM_ConvertDemoToCsv(benchmark::State& state) {
  ConvertDemo(state, WriteSamplesCsv, ".csv");
}

BENCHMARK(BM_ConvertDemoToDicom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertDemoToEdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertDemoToAecg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertDemoToCsv)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
