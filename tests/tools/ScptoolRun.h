// Runs a command line for the scptool tests and captures its exit code, stdout and stderr.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "tests/scp/ScpTestFiles.h"

namespace scptooltest {

// The records the scptool tests read: another writer's record and the bundled demo.
inline const std::string kExample = std::string(QUILLON_SHARED_SAMPLES_DIR) + "/Example.scp";
inline const std::string kDemo = std::string(QUILLON_SAMPLES_DIR) + "/demo.scp";

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

// Splits one CSV line into its cells, empty ones included.
inline std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  size_t start = 0;
  for (;;) {
    size_t comma = line.find(',', start);
    cells.push_back(line.substr(start, comma - start));
    if (comma == std::string::npos) {
      return cells;
    }
    start = comma + 1;
  }
}

// The CSV of scptool samples: the lead names of its first line, and each lead's samples. Empty
// cells are skipped, so a column holds exactly its lead's samples.
struct SampleColumns {
  std::vector<std::string> names;
  std::map<std::string, std::vector<int>> samples;
};

inline SampleColumns ParseSamples(const std::string& csv) {
  std::vector<std::string> lines = Lines(csv);
  SampleColumns table;
  if (lines.empty()) {
    return table;
  }
  table.names = Cells(lines[0]);
  for (size_t row = 1; row < lines.size(); ++row) {
    std::vector<std::string> cells = Cells(lines[row]);
    for (size_t i = 0; i < cells.size() && i < table.names.size(); ++i) {
      if (!cells[i].empty()) {
        table.samples[table.names[i]].push_back(std::stoi(cells[i]));
      }
    }
  }
  return table;
}

}  // namespace scptooltest
