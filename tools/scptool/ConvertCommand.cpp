// scptool convert IN... --to FORMAT: writes each record as a file a hospital system or a research
// tool reads (DICOM, HL7 annotated ECG, EDF+, CSV samples, or the rhythm page as SVG, PNG or PDF),
// one output per input, in parallel.
//
// Steps: read the options; decide each output's name; convert the inputs on N workers (pages on
// the main thread, where Qt draws); report one line per input that failed and, on a terminal,
// the progress; exit 0 when all converted, 1 when some failed.
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>

#include "document/CQuillonDoc.h"
#include "exports/ExportFromDocument.h"
#include "exports/ExportWriters.h"
#include "scp/ScpReader.h"
#include "tools/scptool/Commands.h"

namespace scptool {

namespace {

using Writer = bool (*)(const ExportRecord&, const std::string&, std::string*);

struct Format {
  const char* name;
  const char* extension;
  Writer writer;  // null for the printed page, drawn by the views
};

const Format kFormats[] = {
    {"dicom", ".dcm", WriteDicomEcg}, {"aecg", ".xml", WriteAnnotatedEcg},
    {"edf", ".edf", WriteEdfPlus},    {"csv", ".csv", WriteSamplesCsv},
    {"svg", ".svg", nullptr},         {"png", ".png", nullptr},
    {"pdf", ".pdf", nullptr},
};

constexpr int kMaxJobs = 256;

// Each record's buffers (a few hundred kilobytes) are freed before the next record is read. By
// default the C library hands that memory back to the system after every record and the next one
// faults it in again, which costs more than the conversion itself; keep it instead.
constexpr int kKeptFreeHeapBytes = 64 << 20;
constexpr int kLargestHeapBlockBytes = 16 << 20;  // larger blocks are mapped on their own

void KeepFreedMemory() {
  mallopt(M_TRIM_THRESHOLD, kKeptFreeHeapBytes);
  mallopt(M_MMAP_THRESHOLD, kLargestHeapBlockBytes);
}

struct ConvertOptions {
  std::vector<std::string> inputs;
  const Format* format = nullptr;
  std::string outDir;
  bool anonymize = false;
  std::string anonId;
  int jobs = 0;
};

int ParseOptions(const Arguments& arguments, ConvertOptions* options) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == "--to" || argument == "-o" || argument == "--anon-id" || argument == "-j") {
      if (!hasValue) {
        return FailUsage("convert: " + argument + " needs a value");
      }
      const std::string& value = arguments[++i];
      if (argument == "--to") {
        for (const Format& format : kFormats) {
          options->format = value == format.name ? &format : options->format;
        }
        if (options->format == nullptr) {
          return FailUsage("convert: --to is dicom, aecg, edf, csv, svg, png or pdf, not '" +
                           value + "'");
        }
      } else if (argument == "-o") {
        options->outDir = value;
      } else if (argument == "--anon-id") {
        options->anonId = value;
        options->anonymize = true;
      } else {
        char* end = nullptr;
        const long jobs = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || jobs < 1 || jobs > kMaxJobs) {
          return FailUsage("convert: -j is a whole number from 1 to " + std::to_string(kMaxJobs));
        }
        options->jobs = static_cast<int>(jobs);
      }
    } else if (argument == "--anonymize") {
      options->anonymize = true;
    } else if (!argument.empty() && argument[0] == '-') {
      return FailUsage("convert: unknown option '" + argument + "'");
    } else {
      options->inputs.push_back(argument);
    }
  }
  if (options->inputs.empty() || options->format == nullptr) {
    return FailUsage("convert needs at least one IN and --to FORMAT");
  }
  if (options->anonymize && options->format->writer == nullptr) {
    return FailUsage("convert: pages cannot be anonymised; convert to SCP with anonymize first");
  }
  if (options->jobs == 0) {
    options->jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  }
  return kExitOk;
}

// IN's name without its directory and its .scp ending, with the format's ending, in DIR (or
// beside IN).
std::string OutputPath(const std::string& input, const ConvertOptions& options) {
  const size_t slash = input.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "" : input.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? input : input.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot != 0) {
    name.erase(dot);
  }
  const std::string outDir =
      options.outDir.empty() ? dir : options.outDir + (options.outDir.back() == '/' ? "" : "/");
  return outDir + name + options.format->extension;
}

bool ReadBytes(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return false;
  }
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// Converts one input through its export description; returns "" or the problem.
std::string ConvertRecord(const std::string& input, const std::string& output,
                          const ConvertOptions& options) {
  std::string bytes;
  if (!ReadBytes(input, &bytes)) {
    return "cannot be opened";
  }
  ScpRecord* record = ScpReadRecord(input.c_str());
  if (record == nullptr) {
    return "is not a readable SCP-ECG record (too short, or a section lies outside the file)";
  }
  CQuillonDoc doc;
  doc.DecodeLeads(record);
  ExportRecord exported = MakeExportRecord(doc);
  if (exported.rhythm.empty()) {
    return "holds no rhythm that decodes for lead I";
  }
  for (const ExportLead& lead : exported.rhythm) {
    if (lead.nanovoltsPerUnit == 0 || lead.sampleIntervalUs == 0) {
      return "has a lead without an amplitude unit or a sample interval: its values have no scale";
    }
  }
  // The identifiers of an anonymised output must not match those of a plain one.
  exported.uidSeed =
      ExportSeedOf(options.anonymize ? bytes + "\nanonymised as " + options.anonId : bytes);
  if (options.anonymize) {
    AnonymizeExportRecord(&exported, options.anonId);
  }
  std::string problem;
  if (!options.format->writer(exported, output, &problem)) {
    return output + ": " + problem;
  }
  return "";
}

// Progress and failures on stderr, one writer at a time.
class Reporter {
 public:
  Reporter(size_t total, bool showProgress)
      : total_(total), showProgress_(showProgress), start_(Clock::now()) {}

  void Done(const std::string& input, const std::string& problem) {
    const std::lock_guard<std::mutex> lock(mutex_);
    ++done_;
    if (!problem.empty()) {
      ++failed_;
      ClearLine();
      std::cerr << "scptool: " << input << ": " << problem << "\n";
    }
    if (showProgress_) {
      const double elapsed = std::chrono::duration<double>(Clock::now() - start_).count();
      const double left =
          elapsed / static_cast<double>(done_) * static_cast<double>(total_ - done_);
      std::ostringstream line;
      line << "\rconverted " << done_ << " of " << total_ << ", about " << std::lround(left)
           << " s left";
      std::cerr << line.str() << std::flush;
      progressShown_ = true;
    }
  }

  size_t Failed() {
    const std::lock_guard<std::mutex> lock(mutex_);
    ClearLine();
    return failed_;
  }

 private:
  using Clock = std::chrono::steady_clock;

  void ClearLine() {
    if (progressShown_) {
      std::cerr << "\r\033[K";
      progressShown_ = false;
    }
  }

  std::mutex mutex_;
  size_t total_;
  size_t done_ = 0;
  size_t failed_ = 0;
  bool showProgress_;
  bool progressShown_ = false;
  Clock::time_point start_;
};

void ConvertOnWorkers(const ConvertOptions& options, Reporter* reporter) {
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next++; i < options.inputs.size(); i = next++) {
      const std::string& input = options.inputs[i];
      reporter->Done(input, ConvertRecord(input, OutputPath(input, options), options));
    }
  };
  const size_t workers =
      std::min(options.inputs.size(), static_cast<size_t>(std::max(1, options.jobs)));
  std::vector<std::thread> threads;
  for (size_t w = 1; w < workers; ++w) {
    threads.emplace_back(work);
  }
  work();
  for (std::thread& thread : threads) {
    thread.join();
  }
}

// Pages are drawn by the views, on the one thread Qt's drawing runs on.
void ConvertPages(const ConvertOptions& options, Reporter* reporter) {
  const std::unique_ptr<QApplication> gui = StartGui();
  for (const std::string& input : options.inputs) {
    std::string bytes;
    if (!ReadBytes(input, &bytes)) {
      reporter->Done(input, "cannot be opened");
      continue;
    }
    if (ReadOrReport(input) == nullptr) {
      reporter->Done(input, "not converted");
      continue;
    }
    const bool drawn = RenderRhythmPage(input, OutputPath(input, options)) == kExitOk;
    reporter->Done(input, drawn ? "" : "not converted");
  }
}

// Two inputs named alike (a/rec.scp and b/rec.scp into one DIR, or one input given twice) would
// write one output, the later over the earlier, or both at once on two workers. The first keeps
// the name; each later one is reported and left out.
void LeaveOutSharedOutputs(ConvertOptions* options, Reporter* reporter) {
  std::map<std::string, std::string> inputOf;
  std::vector<std::string> kept;
  for (const std::string& input : options->inputs) {
    const std::string output = OutputPath(input, *options);
    const std::string file = std::filesystem::absolute(output).lexically_normal().string();
    const auto [first, isNew] = inputOf.emplace(file, input);
    if (isNew) {
      kept.push_back(input);
    } else {
      reporter->Done(input, "not converted: its output " + output + " is that of " + first->second +
                                " already");
    }
  }
  options->inputs = kept;
}

}  // namespace

int RunConvert(const Arguments& arguments) {
  ConvertOptions options;
  if (const int usage = ParseOptions(arguments, &options); usage != kExitOk) {
    return usage;
  }
  if (!options.outDir.empty()) {
    std::error_code failed;
    std::filesystem::create_directories(options.outDir, failed);
    if (failed) {
      return FailOnFile(options.outDir, "cannot be created: " + failed.message());
    }
  }
  Reporter reporter(options.inputs.size(), options.inputs.size() > 1 && isatty(STDERR_FILENO));
  LeaveOutSharedOutputs(&options, &reporter);
  if (options.format->writer != nullptr) {
    KeepFreedMemory();
    ConvertOnWorkers(options, &reporter);
  } else {
    ConvertPages(options, &reporter);
  }
  return reporter.Failed() == 0 ? kExitOk : kExitCheckFailed;
}

}  // namespace scptool
