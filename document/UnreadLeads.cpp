#include "document/UnreadLeads.h"

#include "scp/ScpLeads.h"
#include "scp/ScpRecord.h"

bool LeadsOnlyInUnreadSection(const ScpRecord* record, bool anyLeadDecoded) {
  return !anyLeadDecoded && record != nullptr &&
         ScpRecordFindSection(record, kScpLongTermRhythmSection) >= 0;
}
