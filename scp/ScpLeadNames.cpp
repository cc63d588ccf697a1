#include "scp/ScpLeadNames.h"

namespace {

// Codes 1 to 30 have a name of their own; codes 31 to 60 are their calibration signals, named
// after codes 1 to 30 with "-cal" appended; 61 to 65 are the limb leads that can be derived.
// clang-format off
constexpr const char* kLeadNames[kScpLastNamedLead] = {
    "I", "II", "V1", "V2", "V3", "V4", "V5", "V6", "V7", "V2R",              // 1-10
    "V3R", "V4R", "V5R", "V6R", "V7R", "X", "Y", "Z", "CC5", "CM5",          // 11-20
    "Left Arm", "Right Arm", "Left Leg", "I", "E", "C", "A", "M", "F", "H",  // 21-30
    "I-cal", "II-cal", "V1-cal", "V2-cal", "V3-cal",                         // 31-35
    "V4-cal", "V5-cal", "V6-cal", "V7-cal", "V2R-cal",                       // 36-40
    "V3R-cal", "V4R-cal", "V5R-cal", "V6R-cal", "V7R-cal",                   // 41-45
    "X-cal", "Y-cal", "Z-cal", "CC5-cal", "CM5-cal",                         // 46-50
    "Left Arm-cal", "Right Arm-cal", "Left Leg-cal", "I-cal", "E-cal",       // 51-55
    "C-cal", "A-cal", "M-cal", "F-cal", "H-cal",                             // 56-60
    "III", "aVR", "aVL", "aVF", "-aVR",                                      // 61-65
};
// clang-format on

}  // namespace

const char* ScpLeadName(int leadCode) {
  if (leadCode < kScpFirstNamedLead || leadCode > kScpLastNamedLead) {
    return nullptr;
  }
  return kLeadNames[leadCode - kScpFirstNamedLead];
}
