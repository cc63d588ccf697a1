// What the patient form asks of the application and of its main window, through two narrow
// interfaces they implement: whether editing is allowed, and where the patient text goes.
#pragma once

#include <QString>

// Implemented by the application object: false when the program was started read-only (/N).
class IEditingPermission {
 public:
  virtual ~IEditingPermission() = default;
  virtual bool IsEditingAllowed() const = 0;
};

// Implemented by the main window: the patient text its status bar shows.
class IPatientTextHolder {
 public:
  virtual ~IPatientTextHolder() = default;
  virtual void SetPatientText(const QString& text) = 0;
};

// True unless the application object implements IEditingPermission and forbids editing.
bool EditingAllowed();

// Hands text to the main window when it implements IPatientTextHolder; otherwise does nothing.
void ShowPatientText(const QString& text);

// Shows text in the main window's status bar until the next message replaces it.
void ShowStatusMessage(const QString& text);
