// Writes the rhythm samples as CSV, the same text `scptool samples` prints.
#include <algorithm>
#include <cstdio>
#include <fstream>

#include "exports/ExportWriters.h"

bool WriteSamplesCsv(const ExportRecord& record, const std::string& path, std::string* error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::string line;
  size_t rows = 0;
  for (const ExportLead& lead : record.rhythm) {
    line += (line.empty() ? "" : ",") + lead.name;
    rows = std::max(rows, lead.samples.size());
  }
  out << line << "\n";
  for (size_t row = 0; row < rows && out; ++row) {
    line.clear();
    for (size_t i = 0; i < record.rhythm.size(); ++i) {
      if (i != 0) {
        line += ',';
      }
      if (row < record.rhythm[i].samples.size()) {
        line += std::to_string(record.rhythm[i].samples[row]);
      }
    }
    line += '\n';
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
  out.close();
  if (!out) {
    *error = "cannot be written";
    std::remove(path.c_str());
    return false;
  }
  return true;
}
