// Display names of SCP-ECG lead codes.
#pragma once

// The first and last lead codes that have a display name. Codes 61 to 64 also name the limb leads
// III, aVR, aVL and aVF that Quillon derives from leads I and II.
constexpr int kScpFirstNamedLead = 1;
constexpr int kScpLastNamedLead = 65;

// Returns the display name of a lead code ("I", "V1", "aVR", "V4R-cal", ...), or null for a code
// outside 1 to 65. The user interface's string table holds the same texts at id code + 3.
const char* ScpLeadName(int leadCode);
