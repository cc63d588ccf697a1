// The label of a lead on screen and on paper.
#pragma once

#include <QString>

// Returns the display name of a lead code ("I", "V1", "aVR", ..., from ScpLeadName), or
// the code as a number when the code has no name.
QString LeadLabel(int leadCode);
