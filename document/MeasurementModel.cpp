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

MeasureMarker MarkerOf(int value) {
  switch (value) {
    case kScpValueNotDone:
      return MeasureMarker::kNotDone;
    case kScpValueError:
      return MeasureMarker::kError;
    case kScpValueNotTested:
      return MeasureMarker::kNotTested;
    default:
      return MeasureMarker::kNone;
  }
}

DerivedValue MeasurementModel::HeartRate() const {
  constexpr int kMillisecondsPerMinute = 60000;
  const int rrInterval = m_globalHeader.rrInterval;
  if (!m_bHasGlobals || rrInterval == 0) {
    return {MeasureMarker::kNotDone, 0};
  }
  const MeasureMarker marker = MarkerOf(rrInterval);
  if (marker != MeasureMarker::kNone) {
    return {marker, 0};
  }
  return {MeasureMarker::kNone, kMillisecondsPerMinute / rrInterval};
}
