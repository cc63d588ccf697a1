// scptool anonymize IN OUT [--anon-id TEXT]: writes IN to OUT without the patient's identity,
// the statements and the signal sections kept exactly as they were.
#include <filesystem>
#include <iostream>

#include "document/RecordAnonymizer.h"
#include "scp/ScpWriter.h"
#include "tools/scptool/Commands.h"

namespace scptool {

namespace {

bool ParseArguments(const Arguments& arguments, std::string* in, std::string* out,
                    std::string* anonId) {
  std::vector<std::string> files;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--anon-id") {
      if (i + 1 == arguments.size()) {
        FailUsage("anonymize: --anon-id needs a value");
        return false;
      }
      *anonId = arguments[++i];
    } else if (!arguments[i].empty() && arguments[i][0] == '-') {
      FailUsage("anonymize does not know the option '" + arguments[i] + "'");
      return false;
    } else {
      files.push_back(arguments[i]);
    }
  }
  if (files.size() != 2) {
    FailUsage("anonymize takes IN, OUT and optionally --anon-id TEXT");
    return false;
  }
  *in = files[0];
  *out = files[1];
  return true;
}

// Anonymising over the input would lose the only copy of what it removes.
bool SameFile(const std::string& in, const std::string& out) {
  std::error_code failed;
  return std::filesystem::equivalent(in, out, failed) && !failed;
}

}  // namespace

int RunAnonymize(const Arguments& arguments) {
  std::string in;
  std::string out;
  std::string anonId;
  if (!ParseArguments(arguments, &in, &out, &anonId)) {
    return kExitUnusable;
  }
  if (SameFile(in, out)) {
    return FailUsage("anonymize: OUT is IN; write the anonymised record to a new file");
  }
  const CheckedRecord checked = ReadAndCheckOrReport(in);
  if (checked.check == nullptr) {
    return kExitUnusable;
  }
  // Fresh checksums would make a damaged record look sound.
  const std::vector<std::string> mismatches = Mismatches(in, *checked.check);
  if (!mismatches.empty()) {
    for (const std::string& line : mismatches) {
      std::cerr << "scptool: " << line << "\n";
    }
    std::cerr << "scptool: " << in << ": damaged, not anonymised (fresh checksums would hide it)\n";
    return kExitCheckFailed;
  }
  const QString problem = AnonymizeRecord(checked.record.get(), QString::fromStdString(anonId));
  if (!problem.isEmpty()) {
    std::cerr << "scptool: " << in << ": " << problem.toStdString() << "\n";
    return kExitCheckFailed;
  }
  const ScpStatus status = ScpWriteRecordAsRead(checked.record.get(), out.c_str());
  if (status != kScpOk) {
    return FailOnFile(out, "cannot be written (status " + std::to_string(status) +
                               "); an existing file is left as it was");
  }
  const std::vector<uint16_t> unknown = SectionsOfUnknownContent(checked.record.get());
  if (!unknown.empty()) {
    std::cerr << "scptool: " << out << ": section";
    for (uint16_t id : unknown) {
      std::cerr << " " << id;
    }
    std::cerr << " copied as it was: its contents are not known here and may still identify the"
                 " patient\n";
  }
  return kExitOk;
}

}  // namespace scptool
