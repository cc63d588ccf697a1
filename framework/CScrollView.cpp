#include "framework/CScrollView.h"

#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "framework/CDC.h"

namespace {

constexpr double kLometricUnitsPerInch = 254.0;
constexpr int kDefaultStepDivisor = 10;  // a page is a tenth of the total, a line a tenth of a page

}  // namespace

CScrollView::CScrollView(QWidget* parent) : CView(parent) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

CSize CScrollView::ToDevice(CSize logical) const {
  if (m_nMapMode != MM_LOMETRIC) {
    return CSize(std::abs(logical.cx), std::abs(logical.cy));
  }
  const double dpiX = viewport()->logicalDpiX();
  const double dpiY = viewport()->logicalDpiY();
  return CSize(static_cast<int>(std::lround(std::abs(logical.cx) * dpiX / kLometricUnitsPerInch)),
               static_cast<int>(std::lround(std::abs(logical.cy) * dpiY / kLometricUnitsPerInch)));
}

void CScrollView::SetScrollSizes(int mapMode, CSize total, CSize page, CSize line) {
  m_nMapMode = mapMode;
  m_totalLog = total;
  m_totalDev = ToDevice(total);
  m_pageDev = page == sizeDefault
                  ? CSize(m_totalDev.cx / kDefaultStepDivisor, m_totalDev.cy / kDefaultStepDivisor)
                  : ToDevice(page);
  m_lineDev = line == sizeDefault
                  ? CSize(m_pageDev.cx / kDefaultStepDivisor, m_pageDev.cy / kDefaultStepDivisor)
                  : ToDevice(line);
  UpdateBars();
  Invalidate(true);
}

void CScrollView::UpdateBars() {
  const QSize visible = viewport()->size();
  QScrollBar* across = horizontalScrollBar();
  across->setRange(0, std::max(0, m_totalDev.cx - visible.width()));
  across->setPageStep(std::max(1, m_pageDev.cx));
  across->setSingleStep(std::max(1, m_lineDev.cx));
  QScrollBar* down = verticalScrollBar();
  down->setRange(0, std::max(0, m_totalDev.cy - visible.height()));
  down->setPageStep(std::max(1, m_pageDev.cy));
  down->setSingleStep(std::max(1, m_lineDev.cy));
}

CPoint CScrollView::GetDeviceScrollPosition() const {
  return CPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

CPoint CScrollView::GetScrollPosition() const {
  const CPoint device = GetDeviceScrollPosition();
  if (m_nMapMode != MM_LOMETRIC) {
    return device;
  }
  const double dpiX = viewport()->logicalDpiX();
  const double dpiY = viewport()->logicalDpiY();
  return CPoint(static_cast<int>(std::lround(device.x * kLometricUnitsPerInch / dpiX)),
                -static_cast<int>(std::lround(device.y * kLometricUnitsPerInch / dpiY)));
}

void CScrollView::ScrollToPosition(CPoint logical) {
  const CSize device = ToDevice(CSize(logical.x, logical.y));
  horizontalScrollBar()->setValue(device.cx);
  verticalScrollBar()->setValue(device.cy);
}

void CScrollView::OnPrepareDC(CDC* dc, CPrintInfo* info) {
  dc->SetMapMode(m_nMapMode);
  if (!dc->IsPrinting()) {
    const CPoint scrolled = GetDeviceScrollPosition();
    dc->SetViewportOrg(-scrolled.x, -scrolled.y);
  }
  CView::OnPrepareDC(dc, info);
}

void CScrollView::scrollContentsBy(int /*dx*/, int /*dy*/) {
  OnScrolled();
}

void CScrollView::OnScrolled() {
  viewport()->update();
}

void CScrollView::resizeEvent(QResizeEvent* event) {
  CView::resizeEvent(event);
  UpdateBars();
}
