#include "views/PatientFormHost.h"

#include "framework/CMDIFrameWnd.h"
#include "framework/CStatusBar.h"
#include "framework/CWinApp.h"

bool EditingAllowed() {
  const auto* permission = dynamic_cast<const IEditingPermission*>(AfxGetApp());
  return permission == nullptr || permission->IsEditingAllowed();
}

void ShowPatientText(const QString& text) {
  if (auto* holder = dynamic_cast<IPatientTextHolder*>(AfxGetMainWnd())) {
    holder->SetPatientText(text);
  }
}

void ShowStatusMessage(const QString& text) {
  if (auto* frame = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd())) {
    if (CStatusBar* bar = frame->GetStatusBar()) {
      bar->showMessage(text);
    }
  }
}
