// A view that scrolls over a total size given in a mapping mode. On screen the device context's
// viewport origin follows the scroll position, so OnDraw draws in page coordinates whatever part
// is visible.
#pragma once

#include "framework/CView.h"

// Passed as a page or line size: use the default (a tenth of the total, a tenth of a page).
constexpr CSize sizeDefault(0, 0);

class CScrollView : public CView {
  Q_OBJECT

 public:
  explicit CScrollView(QWidget* parent = nullptr);

  // Sets the mapping mode the view draws in and its total size in that mode's logical units
  // (positive numbers also for MM_LOMETRIC). page and line are the distances one page step and
  // one line step scroll, in the same units; sizeDefault gives a tenth of the total per page
  // and a tenth of a page per line, computed in device pixels.
  void SetScrollSizes(int mapMode, CSize total, CSize page = sizeDefault, CSize line = sizeDefault);

  int GetMapMode() const { return m_nMapMode; }
  // The total size in logical units, as given.
  CSize GetTotalSize() const { return m_totalLog; }
  // Total, page and line sizes in device pixels.
  CSize GetDeviceTotalSize() const { return m_totalDev; }
  CSize GetDevicePageSize() const { return m_pageDev; }
  CSize GetDeviceLineSize() const { return m_lineDev; }

  // The scroll position: in device pixels, and as the logical point at the top-left corner.
  CPoint GetDeviceScrollPosition() const;
  CPoint GetScrollPosition() const;
  // Scrolls so that the logical point is at the top-left corner (as far as the size allows).
  void ScrollToPosition(CPoint logical);

  // Sets the mapping mode; on screen also moves the viewport origin by the scroll position.
  void OnPrepareDC(CDC* dc, CPrintInfo* info = nullptr) override;

 protected:
  void scrollContentsBy(int dx, int dy) override;
  void resizeEvent(QResizeEvent* event) override;
  // Called after the scroll position changed; the base repaints.
  virtual void OnScrolled();

 private:
  // Logical units to device pixels at the screen's resolution, as magnitudes.
  CSize ToDevice(CSize logical) const;
  void UpdateBars();

  int m_nMapMode = MM_TEXT;
  CSize m_totalLog;
  CSize m_totalDev;
  CSize m_pageDev;
  CSize m_lineDev;
};
