// Data exchange between a form's fields and its controls: the DDX_ functions copy one field to
// its control or back, the DDV_ functions check a value. A failure shows the framework's message,
// puts the focus on the control, and makes every later exchange of the same pass do nothing.
#pragma once

#include <QString>

class CFormView;
class QWidget;

class CDataExchange {
 public:
  // saveAndValidate: true copies controls to fields and checks them; false fills the controls.
  // quiet: a failure shows no message and leaves the focus where it is.
  CDataExchange(CFormView* form, bool saveAndValidate, bool quiet = false);

  // The control with the id, remembered as the one a failure refers to; null if there is none.
  QWidget* PrepareCtrl(int id);
  QWidget* LastControl() const { return m_pLastControl; }
  // Reports a failure at the last prepared control: shows message, gives the control the focus
  // (unless the exchange is quiet).
  void Fail(const QString& message);
  bool Failed() const { return m_bFailed; }

  const bool m_bSaveAndValidate;
  CFormView* const m_pForm;

 private:
  QWidget* m_pLastControl = nullptr;
  bool m_bFailed = false;
  bool m_bQuiet;
};

// Text of an edit field (one- or multi-line), of a combo box's editable part, or of a label.
void DDX_Text(CDataExchange* dx, int id, QString& value);
// A signed decimal number; an entry that is not one fails with "Digitare un numero intero.".
void DDX_Text(CDataExchange* dx, int id, int& value);
// An unsigned decimal number; an entry that is not one (a sign included) fails with "Digitare un
// numero intero positivo.".
void DDX_Text(CDataExchange* dx, int id, unsigned int& value);
// The position of a combo box's selected entry, −1 for none; a position outside the list leaves
// the list without a selection.
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
// A check box: 0 clear, 1 checked.
void DDX_Check(CDataExchange* dx, int id, int& state);
// Filling the controls limits the last prepared edit field to maxChars characters; saving
// refuses a longer value with "Non digitare più di %1 caratteri." (%1 = maxChars).
void DDV_MaxChars(CDataExchange* dx, const QString& value, int maxChars);
