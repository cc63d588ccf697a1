// The label of a lead on screen and on paper.
#pragma once

#include <QString>

// Returns the name of a lead code from the string table (id code + 3: "I", "V1", "aVR", ...), or
// the code as a number when the table has no name for it.
QString LeadLabel(int leadCode);
