#include "document/MeasurementModel.h"

#include <algorithm>

#include "scp/ScpMeasurements.h"

int MeasurementModel::ShownLeads() const {
  return m_bHasLeadTable ? std::min<int>(m_leadHeader.leadCount, kMaxLeadBlocks) : 0;
}

void MeasurementModel::ReadMeasurements(const ScpRecord* record) {
  if (ScpGetMeasurementHeader(record, &m_globalHeader) != kScpOk ||
      ScpGetBeatMeasurements(record, 0, &m_beat) != kScpOk) {
    return;
  }
  m_bHasGlobals = 1;
  if (ScpGetLeadMeasurementHeader(record, &m_leadHeader) != kScpOk) {
    return;
  }
  m_bHasLeadTable = 1;
  for (int lead = 0; lead < ShownLeads(); ++lead) {
    ScpLeadMeasurements block;
    if (ScpGetLeadMeasurements(record, static_cast<uint16_t>(lead), &block) == kScpOk) {
      m_leads[lead] = block;
    }
  }
}
