// scptool: inspects, verifies and rewrites SCP-ECG records, prints their samples and renders their
// printed pages, from the command line.
#include <iomanip>
#include <iostream>
#include <string>

#include "tools/scptool/Commands.h"

namespace {

void PrintUsage(std::ostream& out) {
  out << "Usage: scptool COMMAND ARGUMENTS...\n"
         "       scptool --help | --version\n"
         "Inspects, verifies and rewrites SCP-ECG records, prints their samples and renders their\n"
         "printed pages.\n\n"
         "Commands:\n";
  constexpr int kHeadWidth = 24;  // the summaries start two columns after it
  for (const scptool::Command& command : scptool::AllCommands()) {
    std::string head = std::string(command.name) + " " + command.synopsis;
    // A head too wide for its column gets a line of its own, so no summary runs into it.
    if (head.size() >= kHeadWidth - 1) {
      head += "\n" + std::string(kHeadWidth + 2, ' ');
    }
    out << "  " << std::left << std::setw(kHeadWidth) << head << command.summary << "\n";
  }
  out << "\nExit status: 0 success, 1 a check failed, 2 unreadable input or bad usage.\n";
}

}  // namespace

int main(int argc, char** argv) {
  scptool::Arguments arguments(argv + 1, argv + argc);
  if (arguments.empty()) {
    PrintUsage(std::cerr);
    return scptool::kExitUnusable;
  }
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      PrintUsage(std::cout);
      return scptool::kExitOk;
    }
  }
  if (arguments[0] == "--version") {
    std::cout << "scptool " << QUILLON_VERSION << "\n";
    return scptool::kExitOk;
  }
  for (const scptool::Command& command : scptool::AllCommands()) {
    if (arguments[0] == command.name) {
      return command.run(scptool::Arguments(arguments.begin() + 1, arguments.end()));
    }
  }
  return scptool::FailUsage("unknown command '" + arguments[0] + "'");
}
