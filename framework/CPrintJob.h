// The printing flow of a view: prepare (the print dialog, none for a preview or a direct print),
// begin, the pages, end; on a printer, a PDF file or the print preview window.
#pragma once

class CPrintInfo;
class CView;
class QPrinter;
class QWidget;

class CPrintJob {
 public:
  // Prepares the run (OnPreparePrinting, which shows the print dialog unless direct) and prints.
  // False when the preparation was refused or cancelled, or the printer cannot be drawn on.
  static bool Print(CView* view, QPrinter* printer, bool direct);
  // Prepares without a dialog and shows the print preview window for printer's page settings.
  // The preview draws its pages with the same run as printing, each time it needs them. The
  // number of pages shown side by side is kept in the profile ("Settings", "PreviewPages").
  static void Preview(CView* view, QPrinter* printer, QWidget* parent);
  // Runs a prepared job: OnBeginPrinting, each page of the range from OnPrepareDC and OnPrint,
  // OnEndPrinting. Page 1 only unless a maximum page above 1 is set; a view may end the run by
  // clearing m_bContinuePrinting. False when the printer cannot be drawn on.
  static bool Run(CView* view, QPrinter* printer, CPrintInfo* info);
};
