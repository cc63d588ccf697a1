// The subcommands of scptool and what they share: exit codes and how errors are reported.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "scp/ScpCheck.h"
#include "scp/ScpHandles.h"
#include "scp/ScpRecord.h"

namespace scptool {

// Exit codes of every subcommand.
constexpr int kExitOk = 0;
constexpr int kExitCheckFailed = 1;  // the input was read, and a check found a mismatch or
                                     // a value was refused
constexpr int kExitUnusable = 2;     // unreadable input or output, or bad usage

using Arguments = std::vector<std::string>;

// One subcommand: its name, its arguments and a line for the help text, and what runs it with
// the arguments that follow its name.
struct Command {
  const char* name;
  const char* synopsis;
  const char* summary;
  int (*run)(const Arguments& arguments);
};

// Every subcommand, in the order the help text lists them.
const std::vector<Command>& AllCommands();

int RunInfo(const Arguments& arguments);
int RunVerify(const Arguments& arguments);
int RunRewrite(const Arguments& arguments);
int RunEdit(const Arguments& arguments);
int RunSamples(const Arguments& arguments);
int RunRender(const Arguments& arguments);

// Writes "scptool: FILE: PROBLEM" to stderr and returns kExitUnusable.
int FailOnFile(const std::string& file, const std::string& problem);

// Writes "scptool: PROBLEM (see scptool --help)" to stderr and returns kExitUnusable.
int FailUsage(const std::string& problem);

// Reads the arguments of a command used as `COMMAND FILE [FLAG]` into *file and *flagGiven.
// Returns false after reporting bad usage on stderr: an option other than flag, a second FILE, or
// no FILE.
bool ParseFileAndFlag(const char* command, const char* flag, const Arguments& arguments,
                      std::string* file, bool* flagGiven);

// Reads the record at `file`, or returns null after reporting on stderr why it cannot: the file
// cannot be opened, or it is not a readable SCP-ECG record.
ScpRecordPtr ReadOrReport(const std::string& file);

// A record read from a file, and the file's checksum report.
struct CheckedRecord {
  ScpRecordPtr record;
  ScpCheckPtr check;
};

// Reads the record at `file` and checks the file's checksums. Both parts are null after reporting
// on stderr why the file is not a readable record (as ReadOrReport) or cannot be checked.
CheckedRecord ReadAndCheckOrReport(const std::string& file);

// One line for every CRC or length that disagrees, prefixed with the file name; empty when all
// agree.
std::vector<std::string> Mismatches(const std::string& file, const ScpRecordCheck& check);

// True when the section's stored CRC matches the CRC of its bytes.
bool SectionCrcOk(const ScpSectionCheck& section);

// The display name of a lead code ("I", "V1", "aVR"), or the code in decimal for a code that has
// no name.
std::string LeadLabel(int leadCode);

// "0x1A2B": how CRCs are shown in text output.
std::string Hex16(unsigned value);

}  // namespace scptool
