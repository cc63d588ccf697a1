#include "framework/CFormView.h"

#include <QFontMetricsF>
#include <QWidget>
#include <cmath>

#include "framework/CDataExchange.h"

namespace {

constexpr int kDialogUnitsPerCharWidth = 4;
constexpr int kDialogUnitsPerCharHeight = 8;

}  // namespace

CFormView::CFormView(QWidget* parent) : CScrollView(parent), m_pForm(new QWidget(viewport())) {
  m_pForm->move(0, 0);
}

void CFormView::SetDlgItem(int id, QWidget* control) {
  m_controls[id] = control;
}

QWidget* CFormView::GetDlgItem(int id) const {
  const auto found = m_controls.find(id);
  return found == m_controls.end() ? nullptr : found->second;
}

CRect CFormView::MapDialogRect(const CRect& dialogUnits) const {
  const QFontMetricsF metrics(m_pForm->font());
  const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const double baseX = metrics.horizontalAdvance(alphabet) / alphabet.size();
  const double baseY = metrics.height();
  auto across = [baseX](int units) {
    return static_cast<int>(std::lround(units * baseX / kDialogUnitsPerCharWidth));
  };
  auto down = [baseY](int units) {
    return static_cast<int>(std::lround(units * baseY / kDialogUnitsPerCharHeight));
  };
  return CRect(across(dialogUnits.left), down(dialogUnits.top), across(dialogUnits.right),
               down(dialogUnits.bottom));
}

bool CFormView::UpdateData(bool saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return !dx.Failed();
}

bool CFormView::UpdateDataQuietly() {
  CDataExchange dx(this, true, true);
  DoDataExchange(&dx);
  return !dx.Failed();
}

void CFormView::DoDataExchange(CDataExchange* /*dx*/) {}

void CFormView::OnInitialUpdate() {
  UpdateData(false);
  const QSize formSize = m_pForm->childrenRect().united(m_pForm->rect()).size();
  m_pForm->resize(formSize);
  SetScrollSizes(MM_TEXT, CSize(formSize.width(), formSize.height()));
  CScrollView::OnInitialUpdate();
}

void CFormView::OnDraw(CDC* /*dc*/) {}

void CFormView::OnScrolled() {
  const CPoint scrolled = GetDeviceScrollPosition();
  m_pForm->move(-scrolled.x, -scrolled.y);
}
