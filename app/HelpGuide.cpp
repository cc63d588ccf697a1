#include "app/HelpGuide.h"

#include <QMessageBox>
#include <QPointer>

#include "app/StringTable.h"

QString HelpGuideText() {
  return StringText(kIdsHelpGuide);
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
