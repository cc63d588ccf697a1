#include "framework/CStatusBar.h"

#include <QFontMetrics>
#include <QLabel>

#include "framework/ResourceTable.h"
#include "framework/FrameworkIds.h"

namespace {

constexpr int kPaneMargin = 8;  // pixels around the text of a pane

}  // namespace

CStatusBar::CStatusBar(QWidget* parent) : QStatusBar(parent) {}

bool CStatusBar::SetIndicators(const std::vector<int>& ids) {
  for (Pane& pane : m_panes) {
    removeWidget(pane.label);
    delete pane.label;
  }
  m_panes.clear();
  for (int id : ids) {
    if (id == ID_SEPARATOR) {
      continue;
    }
    auto* label = new QLabel(LoadString(id), this);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(label->text()) + kPaneMargin);
    addPermanentWidget(label);
    m_panes.push_back(Pane{id, label});
  }
  return true;
}

int CStatusBar::CommandToIndex(int id) const {
  for (size_t i = 0; i < m_panes.size(); ++i) {
    if (m_panes[i].id == id) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int CStatusBar::GetItemID(int index) const {
  if (index < 0 || index >= GetCount()) {
    return ID_SEPARATOR;
  }
  return m_panes[static_cast<size_t>(index)].id;
}

void CStatusBar::SetPaneInfo(int index, int id, UINT style, int width) {
  if (index < 0 || index >= GetCount()) {
    return;
  }
  Pane& pane = m_panes[static_cast<size_t>(index)];
  pane.id = id;
  pane.label->setFrameShape((style & SBPS_NOBORDERS) != 0 ? QFrame::NoFrame : QFrame::Panel);
  pane.label->setAlignment((style & SBPS_NOBORDERS) != 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                                         : Qt::AlignCenter);
  pane.label->setFixedWidth(width);
}

void CStatusBar::SetPaneText(int index, const QString& text) {
  if (index < 0 || index >= GetCount()) {
    return;
  }
  QLabel* label = m_panes[static_cast<size_t>(index)].label;
  if (label->text() != text) {
    label->setText(text);
  }
}

QString CStatusBar::GetPaneText(int index) const {
  if (index < 0 || index >= GetCount()) {
    return QString();
  }
  return m_panes[static_cast<size_t>(index)].label->text();
}

QString CStatusBar::GetPaneDefaultText(int index) const {
  return LoadString(GetItemID(index));
}
