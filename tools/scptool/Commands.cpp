#include "tools/scptool/Commands.h"

#include "scp/ScpLeadNames.h"
#include "scp/ScpReader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace scptool {

const std::vector<Command>& AllCommands() {
  static const std::vector<Command> kCommands = {
      {"info", "FILE [--json]", "list the sections, every checksum, the leads and the measurements",
       RunInfo},
      {"verify", "FILE", "check every CRC and length; print one line per mismatch", RunVerify},
      {"edit", "[--dry-run] FILE FIELD=VALUE...",
       "change patient data with the exam form's checks and write the record back;\n"
       "                          fields: last-name first-name second-name patient-id birth-date\n"
       "                          (DD/MM/YYYY) sex race weight height systolic diastolic\n"
       "                          referring-physician statement1..statement6 confirmed (yes|no)",
       RunEdit},
      {"rewrite", "IN OUT", "read IN and write it to OUT with fresh headers and checksums",
       RunRewrite},
      {"samples", "FILE [--beats] [--uv] [--filter baseline,50hz,60hz,40hz]",
       "the display leads' samples as CSV: rhythm, or reference beats; --uv in microvolts",
       RunSamples},
      {"render", "FILE OPTIONS",
       "draw a printed page: --page rhythm|average --out F.pdf|F.png|F.svg\n"
       "                          [--paper a4|letter] [--landscape|--portrait] [--dpi N]\n"
       "                          [--layout 12x1|6x2|3x4|3x4+1|3x4+3] [--rhythm-lead II]\n"
       "                          [--speed 12.5|25|50] [--gain 2.5|5|10|20]\n"
       "                          [--filter baseline,50hz,60hz,40hz]",
       RunRender},
      {"convert", "IN... --to FORMAT",
       "write each record as dicom, aecg, edf, csv, svg, png or pdf:\n"
       "                          [-o DIR] [--anonymize] [--anon-id TEXT] [-j N]",
       RunConvert},
      {"anonymize", "IN OUT [--anon-id TEXT]",
       "write IN to OUT without the patient's names, ID (replaced by TEXT or ANONYMOUS),\n"
       "                          birth date (the age is kept), institutions, physicians,\n"
       "                          free texts and device serial number; signal kept as it was",
       RunAnonymize},
  };
  return kCommands;
}

int FailOnFile(const std::string& file, const std::string& problem) {
  std::cerr << "scptool: " << file << ": " << problem << "\n";
  return kExitUnusable;
}

int FailUsage(const std::string& problem) {
  std::cerr << "scptool: " << problem << " (see scptool --help)\n";
  return kExitUnusable;
}

bool ParseFileAndFlag(const char* command, const char* flag, const Arguments& arguments,
                      std::string* file, bool* flagGiven) {
  file->clear();
  *flagGiven = false;
  for (const std::string& argument : arguments) {
    if (argument == flag) {
      *flagGiven = true;
    } else if (!argument.empty() && argument[0] == '-') {
      FailUsage(std::string(command) + " does not know the option '" + argument + "'");
      return false;
    } else if (file->empty()) {
      *file = argument;
    } else {
      FailUsage(std::string(command) + " takes one FILE");
      return false;
    }
  }
  if (file->empty()) {
    FailUsage(std::string(command) + " takes one FILE");
    return false;
  }
  return true;
}

ScpRecordPtr ReadOrReport(const std::string& file) {
  std::FILE* probe = std::fopen(file.c_str(), "rb");
  if (probe == nullptr) {
    FailOnFile(file, std::string("cannot be opened: ") + std::strerror(errno));
    return nullptr;
  }
  std::fclose(probe);
  ScpRecordPtr record(ScpReadRecord(file.c_str()));
  if (record == nullptr) {
    FailOnFile(file,
               "is not a readable SCP-ECG record (too short, or a section lies outside the file)");
  }
  return record;
}

std::string LeadLabel(int leadCode) {
  const char* name = ScpLeadName(leadCode);
  return name != nullptr ? name : std::to_string(leadCode);
}

std::string Hex16(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", value & 0xFFFFu);
  return text;
}

}  // namespace scptool
