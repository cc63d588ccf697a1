// The document's model of the measurements: the global measurements of the first reference beat
// (section 7) and the per-lead measurements (section 10), as the measurement window and the
// average-beat page show them.
#pragma once

#include "scp/ScpFields.h"
#include "scp/ScpRecord.h"

class MeasurementModel {
 public:
  static constexpr int kMaxLeadBlocks = 16;

  // Reads the global measurements (section 7 header and block 0) and, only when they were read,
  // the per-lead table (section 10 header and its first 16 lead blocks). A lead block that cannot
  // be read keeps its previous content.
  void ReadMeasurements(const ScpRecord* record);

  // The number of lead columns shown: the section's lead count, at most 16; 0 without a table.
  int ShownLeads() const;
  // Both the global measurements and the lead table were read.
  bool IsComplete() const { return m_bHasGlobals && m_bHasLeadTable; }

  ScpMeasurementHeader m_globalHeader = {};
  ScpBeatMeasurements m_beat = {};
  ScpLeadMeasurementHeader m_leadHeader = {};
  ScpLeadMeasurements m_leads[kMaxLeadBlocks] = {};
  int m_bHasLeadTable = 0;
  int m_bHasGlobals = 0;
};
