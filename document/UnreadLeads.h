// Records that keep their rhythm uncompressed in section 12 and whose section 12 cannot be read:
// they open with a message, not as an empty grid without a word.
#pragma once

struct ScpRecord;

// True when the record has section 12 and no compressed rhythm section (so its rhythm can only
// come from section 12) and no rhythm lead was decoded.
bool RawRhythmUnread(const ScpRecord* record, bool anyRhythmLeadDecoded);
