// Records whose leads are stored only where this version does not read them (the long-term
// rhythm section of later versions of the format): they open with a message, not as an empty
// grid without a word.
#pragma once

struct ScpRecord;

// True when the record holds the long-term rhythm section and no lead was decoded from the
// sections this version reads.
bool LeadsOnlyInUnreadSection(const ScpRecord* record, bool anyLeadDecoded);
