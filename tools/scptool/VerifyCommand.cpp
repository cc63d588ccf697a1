// scptool verify FILE: exit 0 when every CRC and length agrees, 1 with one line per mismatch.
#include <iostream>
#include <utility>

#include "tools/scptool/Commands.h"

namespace scptool {

CheckedRecord ReadAndCheckOrReport(const std::string& file) {
  ScpRecordPtr record = ReadOrReport(file);
  if (record == nullptr) {
    return {};
  }
  ScpRecordCheck* check = nullptr;
  const ScpStatus status = ScpCheckRecordFile(file.c_str(), &check);
  if (status != kScpOk) {
    FailOnFile(file, "cannot check the record structure (status " + std::to_string(status) + ")");
    return {};
  }
  return {std::move(record), ScpCheckPtr(check)};
}

bool SectionCrcOk(const ScpSectionCheck& section) {
  return section.headerRead && section.inFile && section.storedCrc == section.computedCrc;
}

std::vector<std::string> Mismatches(const std::string& file, const ScpRecordCheck& check) {
  std::vector<std::string> lines;
  const std::string prefix = file + ": ";
  if (check.storedCrc != check.computedCrc) {
    lines.push_back(prefix + "record CRC stored " + Hex16(check.storedCrc) + ", computed " +
                    Hex16(check.computedCrc));
  }
  if (static_cast<int64_t>(check.lengthField) != check.fileSize) {
    lines.push_back(prefix + "record length field " + std::to_string(check.lengthField) +
                    ", file size " + std::to_string(check.fileSize));
  }
  for (uint32_t i = 0; i < check.sectionCount; ++i) {
    const ScpSectionCheck& section = check.sections[i];
    const std::string name = prefix + "section " + std::to_string(section.id) + " at index " +
                             std::to_string(section.index) + ": ";
    if (!section.headerRead) {
      lines.push_back(name + "header lies outside the file");
      continue;
    }
    if (section.headerId != section.id) {
      lines.push_back(name + "pointer entry id " + std::to_string(section.id) +
                      ", section header id " + std::to_string(section.headerId));
    }
    if (section.headerLength != section.entryLength) {
      lines.push_back(name + "pointer entry length " + std::to_string(section.entryLength) +
                      ", section header length " + std::to_string(section.headerLength));
    }
    if (!section.inFile) {
      lines.push_back(name + "length " + std::to_string(section.headerLength) +
                      " runs past the end of the file");
    } else if (section.storedCrc != section.computedCrc) {
      lines.push_back(name + "CRC stored " + Hex16(section.storedCrc) + ", computed " +
                      Hex16(section.computedCrc));
    }
  }
  return lines;
}

int RunVerify(const Arguments& arguments) {
  if (arguments.size() != 1) {
    return FailUsage("verify takes one FILE");
  }
  const std::string& file = arguments[0];
  const CheckedRecord checked = ReadAndCheckOrReport(file);
  if (checked.check == nullptr) {
    return kExitUnusable;
  }
  std::vector<std::string> lines = Mismatches(file, *checked.check);
  for (const std::string& line : lines) {
    std::cout << line << "\n";
  }
  if (!lines.empty()) {
    return kExitCheckFailed;
  }
  std::cout << file << ": every CRC and length agrees\n";
  return kExitOk;
}

}  // namespace scptool
