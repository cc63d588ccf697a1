// scpgen: writes the synthetic demo ECG, or one of its coding variants, as an SCP-ECG record.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "scp/ScpLeadNames.h"
#include "tools/scpgen/DemoRecord.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;  // bad usage, or the record could not be written

constexpr const char kUsage[] =
    "Usage: scpgen OUT.scp [options]\n"
    "Writes a synthetic resting 12-lead ECG (10 s at 500 Hz, about 70 bpm; leads I, II and\n"
    "V1-V6 stored) as an SCP-ECG record. The same options always give the same bytes.\n"
    "\n"
    "Options:\n"
    "  --seed N               variation of rhythm, wander and noise (default 1)\n"
    "  --noise UV             RMS noise added to every lead, microvolts (default 0)\n"
    "  --raw                  store 16-bit values instead of Huffman codes\n"
    "  --own-tables KIND      write Huffman tables of the record's own: 'permuted' (one\n"
    "                         table, the default's values negated) or 'switching' (two\n"
    "                         tables that switch to each other every 64 values)\n"
    "  --differences N        difference encoding: 0 none, 1 first, 2 second (default 2)\n"
    "  --decimation F         rhythm decimation factor outside the QRS complexes (default 2)\n"
    "  --leads LIST           stored leads, comma-separated from I,II,V1,...,V6 (default all)\n"
    "  --no-reference-beats   leave out the QRS and reference beat sections (needs\n"
    "                         --decimation 1)\n"
    "  --no-protected-areas   do not list the protected areas after the QRS complexes\n"
    "  --other-type-every N   give every N-th QRS complex beat type 1 (default 0: none)\n"
    "  --block-length N       per-lead measurement block length, 62 or more (default 62)\n"
    "  --rhythm-nv N          rhythm amplitude multiplier, nanovolts (default 5000)\n"
    "  --reference-nv N       reference beat amplitude multiplier, nanovolts; must divide\n"
    "                         the rhythm one (default 5000)\n"
    "  --help                 show this text\n"
    "\n"
    "Exit status: 0 written; 2 bad usage or the record could not be written.\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "scpgen: %s\n", message.c_str());
  return kExitUsage;
}

bool ParseNumber(const char* text, long low, long high, long* value) {
  errno = 0;
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || parsed < low || parsed > high) {
    return false;
  }
  *value = parsed;
  return true;
}

bool ParseLeads(const std::string& list, std::vector<uint8_t>* codes) {
  codes->clear();
  size_t from = 0;
  while (from <= list.size()) {
    const size_t comma = std::min(list.find(',', from), list.size());
    const std::string name = list.substr(from, comma - from);
    bool found = false;
    for (uint8_t code : scpgen::kIndependentLeadCodes) {
      if (name == ScpLeadName(code)) {
        codes->push_back(code);
        found = true;
      }
    }
    if (!found) {
      return false;
    }
    from = comma + 1;
  }
  return !codes->empty();
}

}  // namespace

int main(int argc, char** argv) {
  scpgen::DemoRecordOptions options;
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    long number = 0;
    auto numberOption = [&](long low, long high) {
      if (next == nullptr || !ParseNumber(next, low, high, &number)) {
        return false;
      }
      ++i;
      return true;
    };
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return kExitOk;
    } else if (arg == "--raw") {
      options.huffman = false;
    } else if (arg == "--own-tables") {
      const std::string kind = next != nullptr ? next : "";
      if (kind != "permuted" && kind != "switching") {
        return Fail("--own-tables needs 'permuted' or 'switching'");
      }
      options.ownTables = kind == "permuted" ? scpgen::OwnHuffmanTables::kPermuted
                                             : scpgen::OwnHuffmanTables::kSwitching;
      ++i;
    } else if (arg == "--no-reference-beats") {
      options.referenceBeats = false;
    } else if (arg == "--no-protected-areas") {
      options.protectedAreaList = false;
    } else if (arg == "--seed") {
      if (!numberOption(0, 0xFFFFFFFFL)) {
        return Fail("--seed needs a number from 0 to 4294967295");
      }
      options.seed = static_cast<uint32_t>(number);
    } else if (arg == "--noise") {
      if (!numberOption(0, 1000)) {
        return Fail("--noise needs microvolts from 0 to 1000");
      }
      options.noiseMicrovolts = static_cast<double>(number);
    } else if (arg == "--differences") {
      if (!numberOption(0, 2)) {
        return Fail("--differences needs 0, 1 or 2");
      }
      options.differenceEncoding = static_cast<uint8_t>(number);
    } else if (arg == "--decimation") {
      if (!numberOption(1, 32)) {
        return Fail("--decimation needs a factor from 1 to 32");
      }
      options.decimationFactor = static_cast<uint16_t>(number);
    } else if (arg == "--other-type-every") {
      if (!numberOption(0, 65535)) {
        return Fail("--other-type-every needs a count from 0");
      }
      options.otherBeatTypeEvery = static_cast<uint16_t>(number);
    } else if (arg == "--block-length") {
      if (!numberOption(62, 65535)) {
        return Fail("--block-length needs bytes from 62 to 65535");
      }
      options.leadBlockLength = static_cast<uint16_t>(number);
    } else if (arg == "--rhythm-nv" || arg == "--reference-nv") {
      if (!numberOption(1, 65535)) {
        return Fail(arg + " needs nanovolts from 1 to 65535");
      }
      (arg == "--rhythm-nv" ? options.rhythmNanovolts : options.referenceNanovolts) =
          static_cast<uint16_t>(number);
    } else if (arg == "--leads") {
      if (next == nullptr || !ParseLeads(next, &options.leadCodes)) {
        return Fail("--leads needs names from I, II, V1 to V6, separated by commas");
      }
      ++i;
    } else if (!arg.empty() && arg[0] == '-') {
      return Fail("unknown option '" + arg + "' (see --help)");
    } else if (path != nullptr) {
      return Fail("more than one output file given (see --help)");
    } else {
      path = argv[i];
    }
  }
  if (path == nullptr) {
    return Fail("no output file given (see --help)");
  }
  if (!scpgen::DemoRecordOptionsValid(options)) {
    return Fail("these options cannot be combined (see --help)");
  }
  const ScpStatus status = scpgen::WriteDemoRecord(options, path);
  if (status != kScpOk) {
    return Fail("cannot write '" + std::string(path) + "' (status " + std::to_string(status) + ")");
  }
  return kExitOk;
}
