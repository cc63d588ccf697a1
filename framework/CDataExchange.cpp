#include "framework/CDataExchange.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <limits>

#include "framework/CFormView.h"
#include "framework/CWinApp.h"
#include "framework/FrameworkConstants.h"
#include "framework/FrameworkMessages.h"
#include "framework/FrameworkIds.h"

namespace {

QString ControlText(const QWidget* control) {
  if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
    return edit->text();
  }
  if (const auto* plain = qobject_cast<const QPlainTextEdit*>(control)) {
    return plain->toPlainText();
  }
  if (const auto* rich = qobject_cast<const QTextEdit*>(control)) {
    return rich->toPlainText();
  }
  if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
    return combo->currentText();
  }
  if (const auto* label = qobject_cast<const QLabel*>(control)) {
    return label->text();
  }
  return QString();
}

void SetControlText(QWidget* control, const QString& text) {
  if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    edit->setText(text);
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
    plain->setPlainText(text);
  } else if (auto* rich = qobject_cast<QTextEdit*>(control)) {
    rich->setPlainText(text);
  } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
    if (combo->isEditable()) {
      combo->setEditText(text);
    } else {
      combo->setCurrentIndex(combo->findText(text));
    }
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(text);
  }
}

// Reads a decimal integer that may have blanks around it and, when allowed, a sign.
bool ParseInteger(const QString& text, bool allowMinus, long long minimum, long long maximum,
                  long long* value) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) {
    return false;
  }
  if (!allowMinus && trimmed.startsWith(QLatin1Char('-'))) {
    return false;
  }
  bool ok = false;
  const long long parsed = trimmed.toLongLong(&ok, 10);
  if (!ok || parsed < minimum || parsed > maximum) {
    return false;
  }
  *value = parsed;
  return true;
}

// The control an exchange works on: null when an earlier exchange of the pass failed or the
// form has no control with the id.
QWidget* ExchangedControl(CDataExchange* dx, int id) {
  return dx->Failed() ? nullptr : dx->PrepareCtrl(id);
}

// A number as decimal text: filling writes it, saving reads it within the range of Number (a
// minus sign only when Number is signed) and fails with message parseFailId otherwise.
template <typename Number>
void ExchangeNumber(CDataExchange* dx, int id, Number& value, int parseFailId) {
  QWidget* control = ExchangedControl(dx, id);
  if (control == nullptr) {
    return;
  }
  if (!dx->m_bSaveAndValidate) {
    SetControlText(control, QString::number(value));
    return;
  }
  long long parsed = 0;
  if (!ParseInteger(ControlText(control), std::numeric_limits<Number>::is_signed,
                    std::numeric_limits<Number>::min(), std::numeric_limits<Number>::max(),
                    &parsed)) {
    dx->Fail(FrameworkMessage(parseFailId));
    return;
  }
  value = static_cast<Number>(parsed);
}

}  // namespace

CDataExchange::CDataExchange(CFormView* form, bool saveAndValidate, bool quiet)
    : m_bSaveAndValidate(saveAndValidate), m_pForm(form), m_bQuiet(quiet) {}

QWidget* CDataExchange::PrepareCtrl(int id) {
  m_pLastControl = m_pForm->GetDlgItem(id);
  return m_pLastControl;
}

void CDataExchange::Fail(const QString& message) {
  m_bFailed = true;
  if (m_bQuiet) {
    return;
  }
  AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
  if (m_pLastControl != nullptr) {
    m_pLastControl->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(m_pLastControl)) {
      edit->selectAll();
    }
  }
}

void DDX_Text(CDataExchange* dx, int id, QString& value) {
  QWidget* control = ExchangedControl(dx, id);
  if (control == nullptr) {
    return;
  }
  if (dx->m_bSaveAndValidate) {
    value = ControlText(control);
  } else {
    SetControlText(control, value);
  }
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
  ExchangeNumber(dx, id, value, AFX_IDP_PARSE_INT);
}

void DDX_Text(CDataExchange* dx, int id, unsigned int& value) {
  ExchangeNumber(dx, id, value, AFX_IDP_PARSE_UINT);
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
  auto* combo = qobject_cast<QComboBox*>(ExchangedControl(dx, id));
  if (combo == nullptr) {
    return;
  }
  if (dx->m_bSaveAndValidate) {
    index = combo->currentIndex();
  } else {
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
  }
}

void DDX_Check(CDataExchange* dx, int id, int& state) {
  auto* button = qobject_cast<QAbstractButton*>(ExchangedControl(dx, id));
  if (button == nullptr) {
    return;
  }
  if (dx->m_bSaveAndValidate) {
    state = button->isChecked() ? 1 : 0;
  } else {
    button->setChecked(state != 0);
  }
}

void DDV_MaxChars(CDataExchange* dx, const QString& value, int maxChars) {
  if (dx->Failed()) {
    return;
  }
  if (!dx->m_bSaveAndValidate) {
    if (auto* edit = qobject_cast<QLineEdit*>(dx->LastControl())) {
      edit->setMaxLength(maxChars);
    }
    return;
  }
  if (value.size() > maxChars) {
    dx->Fail(FrameworkMessage(AFX_IDP_PARSE_STRING_SIZE).arg(maxChars));
  }
}
