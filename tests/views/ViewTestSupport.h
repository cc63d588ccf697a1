// What the view tests share: the strings and the cursor the views look up, installed as the
// application would install its own tables.
#pragma once

#include <QCursor>
#include <QHash>
#include <QString>

#include "framework/ResourceTable.h"
#include "resources/ResourceIds.h"

// Installs the measurement texts, the window captions and a stand-in for the magnifier cursor.
inline void InstallViewTestResources() {
  static const QHash<int, QString> kTexts = {
      {kIdsFirstMeasureRow + 0, "P Duration (ms)"},
      {kIdsFirstMeasureRow + 1, "PR-Interval (ms)"},
      {kIdsFirstMeasureRow + 2, "QRS Duration (ms)"},
      {kIdsFirstMeasureRow + 25, "Signal Quality"},
      {kIdsValueNotDone, "N.D."},
      {kIdsValueError, "Error"},
      {kIdsValueNotTested, "N.T."},
      {kIdsFirstMorphology + 0, "??"},
      {kIdsFirstMorphology + 1, "P"},
      {kIdsFirstMorphology + 2, "N"},
      {kIdsFirstMorphology + 3, "PN"},
      {kIdsFirstMorphology + 4, "NP"},
      {kIdsFirstMorphology + 5, "PNP"},
      {kIdsFirstMorphology + 6, "NPN"},
      {kIdsFirstMorphology + 7, "M"},
      {kIdsFirstMorphology + 8, "W"},
      {kIdsHeartRate, "HR:"},
      {kIdsPOnset, "P Onset:"},
      {kIdsPOffset, "P Offset:"},
      {kIdsQrsOnset, "QRS Onset:"},
      {kIdsQrsOffset, "QRS Offset:"},
      {kIdsTOffset, "T Offset:"},
      {kIdsPAxis, "P Axis:"},
      {kIdsQrsAxis, "QRS Axis:"},
      {kIdsTAxis, "T Axis:"},
      {kIdsPrintName, "Name"},
      {kIdsPrintPatientId, "ID"},
      {kIdsPrintBirthDate, "Birth Date"},
      {kIdsPrintSex, "Sex"},
      {kIdsPrintBrand, "VELMORA"},
      {kIdsEcgCaption, "ECG"},
      {kIdsAvgCaption, "AVG"},
      {kIdsPatientCaption, "EXAM DATA"},
      {kIdsMeasureCaption, "MEASUREMENT"},
      {kIdsPageFilters, "Filters: %1"},
      {kIdsPageSecondsShown, "Shows %1-%2 s of %3 s"},
      {kCmdFilterFirst + 0, "Removes baseline wander\nBaseline"},
      {kCmdFilterFirst + 1, "Removes 50 Hz mains hum\n50 Hz"},
  };
  ResourceTable table;
  table.loadString = [](int id) {
    const int row = id - kIdsFirstMeasureRow;
    if (row >= 0 && row < kMeasureRowCount && !kTexts.contains(id)) {
      return QStringLiteral("Row %1").arg(row);
    }
    return kTexts.value(id);
  };
  table.loadCursor = [](int id) {
    return id == kCursorMagnifier ? QCursor(Qt::CrossCursor) : QCursor(Qt::ArrowCursor);
  };
  SetResourceTable(table);
}
