// The view base: a window that shows its document, drawn by OnDraw on a device context for every
// paint and, through the printing operations, on printed pages.
#pragma once

#include <QAbstractScrollArea>

#include "framework/CCmdTarget.h"
#include "framework/CPrintInfo.h"
#include "framework/GdiTypes.h"

class CDC;
class CDocument;
class CMDIChildWnd;
class QPrinter;

class CView : public QAbstractScrollArea, public CCmdTarget {
  Q_OBJECT

 public:
  explicit CView(QWidget* parent = nullptr);
  // Leaves its document.
  ~CView() override;

  // The document this view shows; null before a template gives it one and after it is closed.
  CDocument* GetDocument() const { return m_pDocument; }
  // The child frame that holds the view, or null.
  CMDIChildWnd* GetParentFrame() const;

  // Called once, after the frame exists and before it is first shown. The base calls OnUpdate.
  virtual void OnInitialUpdate();
  // The document changed; the base repaints the whole view.
  virtual void OnUpdate(CView* sender, long hint);
  // Draws the view on dc: for every paint, and by the base OnPrint for every printed page.
  virtual void OnDraw(CDC* dc) = 0;
  // Prepares dc before OnDraw or OnPrint. The base does nothing to the context.
  virtual void OnPrepareDC(CDC* dc, CPrintInfo* info = nullptr);

  // Printing. OnPreparePrinting runs first (the base calls DoPreparePrinting); false cancels.
  // Then OnBeginPrinting, for each page OnPrepareDC and OnPrint (the base calls OnDraw), and
  // OnEndPrinting. Only page 1 is printed unless the view sets a higher maximum page.
  virtual bool OnPreparePrinting(CPrintInfo* info);
  virtual void OnBeginPrinting(CDC* dc, CPrintInfo* info);
  virtual void OnPrint(CDC* dc, CPrintInfo* info);
  virtual void OnEndPrinting(CDC* dc, CPrintInfo* info);
  // Shows the print dialog unless the run is a preview or a direct print; false when the user
  // cancels it.
  bool DoPreparePrinting(CPrintInfo* info);

  // The three printing commands: with the print dialog, without it, and a print preview.
  void OnFilePrint();
  void OnFilePrintDirect();
  void OnFilePrintPreview();
  // Prints on printer without any dialog (also a PDF printer), the view need not be shown.
  // False when OnPreparePrinting refused or the printer could not be drawn on.
  bool PrintTo(QPrinter* printer);

  // The drawing area in device pixels: (0, 0) to its width and height.
  void GetClientRect(CRect* rect) const;
  // Schedules a repaint of the whole view.
  void Invalidate(bool erase = true);
  void SetViewCursor(const QCursor& cursor);

 protected:
  // Lets the view handle Print (ID_FILE_PRINT), direct print (ID_FILE_PRINT_DIRECT) and Print
  // Preview (ID_FILE_PRINT_PREVIEW).
  void EnablePrintCommands();

  void paintEvent(QPaintEvent* event) override;

 private:
  friend class CDocument;

  CDocument* m_pDocument = nullptr;
};
