// What one print or preview run knows: the printer, the page range, the current page and
// whether the run goes on, whether it is a preview or a print without dialog.
#pragma once

#include "framework/GdiTypes.h"

class QPrinter;

constexpr UINT kPrintPageUnknown = 0xFFFF;  // the maximum page before a view sets one

class CPrintInfo {
 public:
  void SetMinPage(UINT page) { m_nMinPage = page; }
  void SetMaxPage(UINT page) { m_nMaxPage = page; }
  UINT GetMinPage() const { return m_nMinPage; }
  UINT GetMaxPage() const { return m_nMaxPage; }
  // The range the user chose in the print dialog; the whole document unless narrowed.
  void SetFromPage(UINT page) { m_nFromPage = page; }
  void SetToPage(UINT page) { m_nToPage = page; }
  UINT GetFromPage() const { return m_nFromPage; }
  UINT GetToPage() const { return m_nToPage; }

  QPrinter* m_pPrinter = nullptr;   // the printer (or preview printer) being drawn on
  bool m_bPreview = false;          // a print preview: no print dialog
  bool m_bDirect = false;           // printing without the print dialog
  bool m_bContinuePrinting = true;  // a view clears it in OnPrepareDC to end the run
  UINT m_nCurPage = 1;              // the page being printed
  CRect m_rectDraw;                 // the page's printable area in logical units, per page

 private:
  UINT m_nMinPage = 1;
  UINT m_nMaxPage = kPrintPageUnknown;
  UINT m_nFromPage = 1;
  UINT m_nToPage = kPrintPageUnknown;
};
