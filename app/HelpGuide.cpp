#include "app/HelpGuide.h"

#include <QMessageBox>
#include <QPointer>

#include "app/StringTable.h"

QString HelpGuideText() {
  return QStringLiteral(
      "<h3>Quillon</h3>"
      "<p>Quillon shows resting 12-lead ECG records stored as SCP-ECG files (<tt>.scp</tt>).</p>"
      "<p><b>Opening a record.</b> Use File &gt; Open, drop a file on the main window, pick one of "
      "the four last files in the File menu, or name it on the command line: "
      "<tt>quillon FILE</tt>. Each record opens in up to four windows: the rhythm ECG (ECG), the "
      "average beats (AVG), the measurements (MEASUREMENT) and the patient form (EXAM DATA). "
      "They are tiled side by side after every open. A record's windows close together, with "
      "File &gt; Close; their close boxes do nothing.</p>"
      "<p><b>Switches.</b> <tt>/N</tt> opens records read-only (no Open, no Save, the form "
      "cannot be edited; Save As still works). <tt>/A</tt> makes the average-beat window the "
      "first one and shows it large; <tt>/B</tt>, <tt>/C</tt> and <tt>/D</tt> show the rhythm, "
      "measurement or patient window large. With <tt>/A</tt> to <tt>/D</tt> the other windows "
      "start as icons. <tt>/P FILE</tt> prints the file on the default printer and ends; "
      "<tt>/PT FILE PRINTER</tt> prints it on the named printer.</p>"
      "<p><b>Zooming.</b> In the ECG and AVG windows, click with the left mouse button to zoom "
      "in and with the right button to zoom out; Ctrl++ and Ctrl+- do the same.</p>"
      "<p><b>Printing.</b> File &gt; Print prints the active ECG or AVG window on one page framed "
      "by the patient data; the AVG page also carries the measurements. Print Preview shows the "
      "page first, Print Setup chooses the printer and the paper.</p>"
      "<p><b>Shortcuts.</b> Ctrl+O open, Ctrl+S save, Ctrl+P print, Ctrl+W close the record, "
      "Ctrl+Q quit, F1 this guide. Menus open with Alt and their underlined letter.</p>");
}

void ShowHelpGuide(QWidget* parent) {
  static QPointer<QMessageBox> shown;
  if (shown == nullptr) {
    shown = new QMessageBox(QMessageBox::Information, StringText(kIdrMainFrame), HelpGuideText(),
                            QMessageBox::Ok, parent);
    shown->setAttribute(Qt::WA_DeleteOnClose);
    shown->setTextFormat(Qt::RichText);
    shown->setModal(false);
  }
  shown->show();
  shown->raise();
  shown->activateWindow();
}
