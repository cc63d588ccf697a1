// What the view tests share: the strings and the cursor the views look up, installed as the
// application would install its own tables.
#pragma once

#include <QCursor>
#include <QHash>
#include <QString>

#include "framework/ResourceTable.h"
#include "scp/ScpLeadNames.h"

// Installs lead names (id = lead code + 3), the measurement texts, the window captions and a
// stand-in for the magnifier cursor (id 149).
inline void InstallViewTestResources() {
  static const QHash<int, QString> texts = {
      {69, "P Duration (ms)"},
      {70, "PR-Interval (ms)"},
      {71, "QRS Duration (ms)"},
      {94, "Signal Quality"},
      {98, "N.D."},
      {99, "Error"},
      {100, "N.T."},
      {101, "??"},
      {102, "P"},
      {103, "N"},
      {104, "PN"},
      {105, "NP"},
      {106, "PNP"},
      {107, "NPN"},
      {108, "M"},
      {109, "W"},
      {118, "HR:"},
      {119, "P Onset:"},
      {120, "P Offset:"},
      {121, "QRS Onset:"},
      {122, "QRS Offset:"},
      {123, "T Offset:"},
      {124, "P Axis:"},
      {125, "QRS Axis:"},
      {126, "T Axis:"},
      {144, "Name"},
      {145, "ID"},
      {146, "Birth Date"},
      {147, "Sex"},
      {148, "VELMORA"},
      {149, "ECG"},
      {150, "AVG"},
      {151, "EXAM DATA"},
      {152, "MEASUREMENT"},
  };
  ResourceTable table;
  table.loadString = [](int id) {
    if (id >= 4 && id <= 68) {
      const char* name = ScpLeadName(id - 3);
      return name != nullptr ? QString::fromLatin1(name) : QString();
    }
    if (id >= 69 && id <= 97 && !texts.contains(id)) {
      return QStringLiteral("Row %1").arg(id - 69);
    }
    return texts.value(id);
  };
  table.loadCursor = [](int id) {
    return id == 149 ? QCursor(Qt::CrossCursor) : QCursor(Qt::ArrowCursor);
  };
  SetResourceTable(table);
}
