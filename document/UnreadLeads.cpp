#include "document/UnreadLeads.h"

#include "scp/ScpRawRhythm.h"
#include "scp/ScpRecord.h"
#include "scp/ScpSections.h"

bool RawRhythmUnread(const ScpRecord* record, bool anyRhythmLeadDecoded) {
  return !anyRhythmLeadDecoded && record != nullptr &&
         ScpRecordFindSection(record, kScpRawRhythmSection) >= 0 &&
         ScpRecordFindSection(record, kScpRhythmSection) < 0;
}
