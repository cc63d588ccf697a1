// Runs a command line for the scptool tests and captures its exit code, stdout and stderr.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/scp/ScpTestFiles.h"

namespace scptooltest {

struct Outcome {
  int exitCode;
  std::string out;
  std::string err;
};

// Quotes one argument for /bin/sh.
inline std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return quoted + "'";
}

// Runs `program` with `arguments`, capturing its output in files inside `dir`.
inline Outcome Run(const scptest::TempDir& dir, const std::string& program,
                   const std::vector<std::string>& arguments) {
  std::string command = ShellQuote(program);
  for (const std::string& argument : arguments) {
    command += " " + ShellQuote(argument);
  }
  std::string outPath = dir.File(".stdout");
  std::string errPath = dir.File(".stderr");
  command += " >" + ShellQuote(outPath) + " 2>" + ShellQuote(errPath);
  int status = std::system(command.c_str());
  Outcome outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", ""};
  scptest::Bytes out = scptest::ReadBytes(outPath);
  scptest::Bytes err = scptest::ReadBytes(errPath);
  outcome.out.assign(out.begin(), out.end());
  outcome.err.assign(err.begin(), err.end());
  std::remove(outPath.c_str());
  std::remove(errPath.c_str());
  return outcome;
}

// Splits text into its lines, without the line ends.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      end = text.size();
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace scptooltest
