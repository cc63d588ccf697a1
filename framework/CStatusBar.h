// The main window's status bar: a message area on the left and indicator panes on the right,
// each pane known by a command id whose state-update handler sets its text.
#pragma once

#include <QStatusBar>
#include <vector>

#include "framework/GdiTypes.h"

class QLabel;

constexpr UINT SBPS_NORMAL = 0x0000;
constexpr UINT SBPS_NOBORDERS = 0x0100;
constexpr UINT SBPS_STRETCH = 0x0800;

class CStatusBar : public QStatusBar {
  Q_OBJECT

 public:
  explicit CStatusBar(QWidget* parent = nullptr);

  // One pane per id, left to right; ID_SEPARATOR stands for the message area and makes no pane.
  // A pane starts with the string-table text of its id, sized to fit it.
  bool SetIndicators(const std::vector<int>& ids);
  int GetCount() const { return static_cast<int>(m_panes.size()); }
  // The pane index of an id, or −1.
  int CommandToIndex(int id) const;
  int GetItemID(int index) const;
  // Changes a pane's id, border (SBPS_NOBORDERS) and width in pixels.
  void SetPaneInfo(int index, int id, UINT style, int width);
  void SetPaneText(int index, const QString& text);
  QString GetPaneText(int index) const;
  // The text an enabled pane shows when its update handler sets none: the string of its id.
  QString GetPaneDefaultText(int index) const;

 private:
  struct Pane {
    int id = 0;
    QLabel* label = nullptr;
  };
  std::vector<Pane> m_panes;
};
