// The patient form: shows and edits the patient and examination data and the six interpretive
// statements of a record, writes them back into the record when the Document saves, frames
// every printed page with them, and gives the main window its patient text.
#pragma once

#include <QDate>

#include "document/IRecordStore.h"
#include "document/PatientFields.h"
#include "document/PatientModel.h"
#include "framework/CFormView.h"
#include "framework/GdiObjects.h"

class CQuillonDoc;
class QComboBox;

// The form's fields are its working copy of the document's patient model: filled from the model,
// checked and handed back to it by a save.
class CPatientView : public CFormView, public PatientFields, public IRecordStore {
  Q_OBJECT

 public:
  // Builds the form's controls in their tab order, disabled where the form only shows a value.
  explicit CPatientView(QWidget* parent = nullptr);
  // Leaves the application's and the controls' signals before the form's own parts are gone.
  ~CPatientView() override;

  // Fills the fields from the Document's patient model and the controls from the fields (this
  // marks nothing changed), registers the form with the Document, sets the main window's patient
  // text from the model and, when editing is not allowed, disables every control.
  void OnInitialUpdate() override;
  // Fills the form again when another part of the program changed the patient model.
  void OnUpdate(CView* sender, long hint) override;
  // The fields and their controls, in the order a save takes them.
  void DoDataExchange(CDataExchange* dx) override;

  // Copies the controls into the fields and hands them to the Document's patient model. A field
  // that does not convert, or a value the model refuses, shows its message naming the field, puts
  // the focus on it and returns false: the save then writes nothing. On success the controls show
  // what the model took (a birth date with its four-digit year, the age derived again).
  bool StoreToRecord() override;
  // The same without messages or focus, for printing; false when a value is refused.
  bool TakeEdits() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool HandToModel(bool quiet);
  void FillFromModel();
  void TrackChanges();
  void MarkChanged();
  // The focus-loss checks of the birth date and the two pressures.
  void OnFocusChanged(QWidget* old, QWidget* now);
  bool FieldAcceptsItsText(int id) const;
  void DisableEveryControl();
  CQuillonDoc* GetQuillonDoc() const;

  int m_nReferringPhysicianLimit;
  bool m_bFilling = false;
  bool m_bReturningFocus = false;
};
