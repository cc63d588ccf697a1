// scptool rewrite IN OUT: reads a record and writes it back with fresh headers and checksums.
#include <iostream>

#include "scp/ScpWriter.h"
#include "tools/scptool/Commands.h"

namespace scptool {

int RunRewrite(const Arguments& arguments) {
  if (arguments.size() != 2) {
    return FailUsage("rewrite takes IN and OUT");
  }
  const std::string& in = arguments[0];
  const std::string& out = arguments[1];
  ScpRecordPtr record = ReadOrReport(in);
  if (record == nullptr) {
    return kExitUnusable;
  }
  ScpStatus status = ScpWriteRecord(record.get(), out.c_str());
  if (status != kScpOk) {
    return FailOnFile(out, "cannot be written (status " + std::to_string(status) +
                               "); an existing file is left as it was");
  }
  return kExitOk;
}

}  // namespace scptool
