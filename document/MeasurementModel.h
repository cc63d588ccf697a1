// The document's model of the measurements: the global measurements of the first reference beat
// (section 7) and the per-lead measurements (section 10), as the measurement window and the
// average-beat page show them.
#pragma once

#include "scp/ScpFields.h"
#include "scp/ScpRecord.h"

// What a stored value is when it marks a measurement as missing rather than giving it.
enum class MeasureMarker { kNone, kNotDone, kError, kNotTested };

// Returns the marker the value is, or kNone for a measured value.
MeasureMarker MarkerOf(int value);

// A value derived from stored measurements: the marker of what it was derived from wins, so a
// rate is never computed from a marker.
struct DerivedValue {
  MeasureMarker marker;  // kNone when value holds the result
  int value;

  bool IsDetermined() const { return marker == MeasureMarker::kNone; }
};

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

  // The heart rate in beats per minute, 60000 / the average RR interval truncated. Not
  // determined without global measurements or with an interval of 0; an interval that is a
  // marker gives that marker.
  DerivedValue HeartRate() const;

  ScpMeasurementHeader m_globalHeader = {};
  ScpBeatMeasurements m_beat = {};
  ScpLeadMeasurementHeader m_leadHeader = {};
  ScpLeadMeasurements m_leads[kMaxLeadBlocks] = {};
  int m_bHasLeadTable = 0;
  int m_bHasGlobals = 0;
};
