// A view that holds a form of controls, each known by a numeric id, with data exchange between
// the form's fields and its controls. The form scrolls when the window is smaller than it.
#pragma once

#include <map>

#include "framework/CScrollView.h"

class CDataExchange;
class QWidget;

class CFormView : public CScrollView {
  Q_OBJECT

 public:
  explicit CFormView(QWidget* parent = nullptr);

  // The panel the controls are placed on; its size is the size of the form.
  QWidget* GetForm() const { return m_pForm; }
  // Registers a control (a child of the form) under an id.
  void SetDlgItem(int id, QWidget* control);
  // The control with the id, or null.
  QWidget* GetDlgItem(int id) const;
  // Dialog units of the form's font to pixels: x by a quarter of the average character width,
  // y by an eighth of the character height.
  CRect MapDialogRect(const CRect& dialogUnits) const;

  // Copies controls to fields and checks them (true) or fields to controls (false) through
  // DoDataExchange. False when a field failed: its message was shown, the focus is on its
  // control, and the fields after it kept their values.
  bool UpdateData(bool saveAndValidate = true);
  // Copies controls to fields as UpdateData(true) does, but a failed field shows no message and
  // takes no focus: for copies the user did not ask for, such as a print preview's repaint.
  bool UpdateDataQuietly();
  // Lists the exchanges of the form's fields in order; the base has none.
  virtual void DoDataExchange(CDataExchange* dx);

  // Fills the controls (UpdateData(false)), sizes the scroll range to the form, then runs the
  // base initial update.
  void OnInitialUpdate() override;
  // A form draws nothing itself: its controls do.
  void OnDraw(CDC* dc) override;

 protected:
  void OnScrolled() override;

 private:
  QWidget* m_pForm;
  std::map<int, QWidget*> m_controls;
};
