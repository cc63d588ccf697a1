// The About box (kIddAbout): the application icon, "Quillon 2.0" and an OK button, laid out in
// dialog units of its Arial 8 point font.
#pragma once

#include <QDialog>

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};
