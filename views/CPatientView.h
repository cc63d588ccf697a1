// The patient form: shows and edits the patient and examination data and the six interpretive
// statements of a record, writes them back into the record when the Document saves, frames
// every printed page with them, and gives the main window its patient text.
#pragma once

#include <QDate>

#include "document/IRecordStore.h"
#include "framework/CFormView.h"
#include "framework/GdiObjects.h"
#include "views/PatientFields.h"
#include "views/PatientHeaderPrinter.h"

class CQuillonDoc;
class QComboBox;

class CPatientView : public CFormView,
                     public PatientFields,
                     public IRecordStore,
                     public IPatientHeaderPrinter {
  Q_OBJECT

 public:
  // Builds the form's controls in their tab order, disabled where the form only shows a value.
  explicit CPatientView(QWidget* parent = nullptr);
  // Leaves the application's and the controls' signals before the form's own parts are gone.
  ~CPatientView() override;

  // Fills the fields from the Document's record and the controls from the fields (this marks
  // nothing changed), registers the form with the Document, sets the main window's patient text
  // and, when editing is not allowed, disables every control.
  void OnInitialUpdate() override;
  // The fields and their controls, in the order a save takes them.
  void DoDataExchange(CDataExchange* dx) override;

  // Copies the controls into the fields and rebuilds sections 1 and 8 of the Document's record.
  // A field that does not convert shows its message and keeps the focus; the save goes on with
  // the fields taken before it. False only when the record could not be rebuilt (it is then
  // unchanged).
  bool StoreToRecord() override;
  // Frames a printed page with the form's current contents; see PatientHeaderPrinter.h.
  CRect PrintPatientHeader(CDC* dc) override;

  // The patient text of the main window's status bar: last name, first name, acquisition date.
  QString PatientText() const;
  // The date that stands in for a missing acquisition date; today unless a test sets it.
  void SetToday(const QDate& today) { m_today = today; }

  // The printout's font description (Arial, 4 mm; printed at 3 mm).
  LOGFONT m_logFont;

 private:
  void FillFromRecord();
  void TrackChanges();
  void MarkChanged();
  // The focus-loss checks of the birth date and the two pressures.
  void OnFocusChanged(QWidget* old, QWidget* now);
  bool FieldAcceptsItsText(int id) const;
  void DisableEveryControl();
  CQuillonDoc* GetQuillonDoc() const;

  PatientRecordKeep m_keep;
  QDate m_today;
  int m_nReferringPhysicianLimit;
  bool m_bFilling = false;
  bool m_bReturningFocus = false;
};
