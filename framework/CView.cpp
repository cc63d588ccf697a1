#include "framework/CView.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <memory>

#include "framework/CDocument.h"
#include "framework/CMDIChildWnd.h"
#include "framework/CPainterDC.h"
#include "framework/CPrintJob.h"
#include "framework/CWinApp.h"
#include "framework/FrameworkIds.h"

namespace {

// The application's printer, which keeps the user's printer settings between runs; without an
// application, a printer of its own for this run.
QPrinter* ApplicationPrinter(std::unique_ptr<QPrinter>* local) {
  if (AfxGetApp() != nullptr) {
    return AfxGetApp()->GetPrinter();
  }
  *local = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return local->get();
}

}  // namespace

CView::CView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFocusPolicy(Qt::StrongFocus);
}

CView::~CView() {
  if (m_pDocument != nullptr) {
    m_pDocument->RemoveView(this);
  }
}

CMDIChildWnd* CView::GetParentFrame() const {
  for (QWidget* ancestor = parentWidget(); ancestor != nullptr;
       ancestor = ancestor->parentWidget()) {
    if (auto* frame = qobject_cast<CMDIChildWnd*>(ancestor)) {
      return frame;
    }
  }
  return nullptr;
}

void CView::OnInitialUpdate() {
  OnUpdate(nullptr, 0);
}

void CView::OnUpdate(CView* /*sender*/, long /*hint*/) {
  Invalidate(true);
}

void CView::OnPrepareDC(CDC* /*dc*/, CPrintInfo* /*info*/) {}

bool CView::OnPreparePrinting(CPrintInfo* info) {
  return DoPreparePrinting(info);
}

void CView::OnBeginPrinting(CDC* /*dc*/, CPrintInfo* /*info*/) {}

void CView::OnPrint(CDC* dc, CPrintInfo* /*info*/) {
  OnDraw(dc);
}

void CView::OnEndPrinting(CDC* /*dc*/, CPrintInfo* /*info*/) {}

bool CView::DoPreparePrinting(CPrintInfo* info) {
  if (info->m_bPreview || info->m_bDirect || info->m_pPrinter == nullptr) {
    return true;
  }
  return AfxPrintDialog(info->m_pPrinter, info);
}

void CView::OnFilePrint() {
  std::unique_ptr<QPrinter> local;
  QPrinter* printer = ApplicationPrinter(&local);
  CPrintJob::Print(this, printer, false);
}

void CView::OnFilePrintDirect() {
  std::unique_ptr<QPrinter> local;
  QPrinter* printer = ApplicationPrinter(&local);
  CPrintJob::Print(this, printer, true);
}

void CView::OnFilePrintPreview() {
  std::unique_ptr<QPrinter> local;
  QPrinter* printer = ApplicationPrinter(&local);
  CPrintJob::Preview(this, printer, window());
}

bool CView::PrintTo(QPrinter* printer) {
  return CPrintJob::Print(this, printer, true);
}

void CView::GetClientRect(CRect* rect) const {
  *rect = CRect(0, 0, viewport()->width(), viewport()->height());
}

void CView::Invalidate(bool /*erase*/) {
  viewport()->update();
}

void CView::SetViewCursor(const QCursor& cursor) {
  viewport()->setCursor(cursor);
}

void CView::EnablePrintCommands() {
  OnCommand(ID_FILE_PRINT, [this] { OnFilePrint(); });
  OnCommand(ID_FILE_PRINT_DIRECT, [this] { OnFilePrintDirect(); });
  OnCommand(ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); });
}

void CView::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(viewport());
  CPainterDC dc(&painter, false);
  OnPrepareDC(&dc, nullptr);
  OnDraw(&dc);
}
