// Quillon: opens the SCP-ECG records named on the command line in the viewer's windows.
#include <QApplication>

#include "app/CQuillonApp.h"
#include "app/Resources.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  SetResourceTable(QuillonResourceTable());
  CQuillonApp app;
  return app.Run();
}
