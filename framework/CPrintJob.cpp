#include "framework/CPrintJob.h"

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <algorithm>

#include "framework/CPainterDC.h"
#include "framework/CPrintInfo.h"
#include "framework/CView.h"
#include "framework/CWinApp.h"

namespace {

constexpr int kOnePreviewPage = 1;
constexpr int kTwoPreviewPages = 2;

}  // namespace

bool CPrintJob::Print(CView* view, QPrinter* printer, bool direct) {
  CPrintInfo info;
  info.m_pPrinter = printer;
  info.m_bDirect = direct;
  if (!view->OnPreparePrinting(&info)) {
    return false;
  }
  return Run(view, printer, &info);
}

void CPrintJob::Preview(CView* view, QPrinter* printer, QWidget* parent) {
  CPrintInfo prepared;
  prepared.m_pPrinter = printer;
  prepared.m_bPreview = true;
  if (!view->OnPreparePrinting(&prepared)) {
    return;
  }
  QPrintPreviewDialog dialog(printer, parent);
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, view,
                   [view, &prepared](QPrinter* previewPrinter) {
                     CPrintInfo info = prepared;
                     info.m_pPrinter = previewPrinter;
                     Run(view, previewPrinter, &info);
                   });
  CWinApp* app = AfxGetApp();
  auto* pages = dialog.findChild<QPrintPreviewWidget*>();
  if (app != nullptr && pages != nullptr &&
      app->GetProfileInt(QStringLiteral("Settings"), QStringLiteral("PreviewPages"),
                         kOnePreviewPage) == kTwoPreviewPages) {
    pages->setViewMode(QPrintPreviewWidget::FacingPagesView);
  }
  dialog.exec();
  if (app != nullptr && pages != nullptr) {
    const bool facing = pages->viewMode() == QPrintPreviewWidget::FacingPagesView;
    app->WriteProfileInt(QStringLiteral("Settings"), QStringLiteral("PreviewPages"),
                         facing ? kTwoPreviewPages : kOnePreviewPage);
  }
}

bool CPrintJob::Run(CView* view, QPrinter* printer, CPrintInfo* info) {
  QPainter painter;
  if (!painter.begin(printer)) {
    return false;
  }
  CPainterDC dc(&painter, true);
  view->OnBeginPrinting(&dc, info);

  const UINT first = std::max(info->GetFromPage(), info->GetMinPage());
  UINT last = std::min(info->GetToPage(), info->GetMaxPage());
  if (info->GetMaxPage() == kPrintPageUnknown) {
    last = first;  // a view that sets no page count prints one page
  }
  for (UINT page = first; page <= last; ++page) {
    info->m_nCurPage = page;
    info->m_bContinuePrinting = true;
    const int saved = dc.SaveDC();
    view->OnPrepareDC(&dc, info);
    if (!info->m_bContinuePrinting) {
      dc.RestoreDC(saved);
      break;
    }
    if (page != first) {
      printer->newPage();
    }
    CRect pageArea(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
    dc.DPtoLP(&pageArea);
    info->m_rectDraw = pageArea;
    view->OnPrint(&dc, info);
    dc.RestoreDC(saved);
  }

  view->OnEndPrinting(&dc, info);
  return true;
}
