#include "views/CPatientView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

#include <QScrollBar>
#include <QWheelEvent>

#include "document/CDateText.h"
#include "document/CQuillonDoc.h"
#include "document/TextNumber.h"
#include "framework/CDataExchange.h"
#include "framework/CWinApp.h"
#include "framework/FrameworkConstants.h"
#include "framework/ResourceTable.h"
#include "resources/ResourceIds.h"
#include "views/PatientFormHost.h"
#include "views/PatientListTexts.h"

namespace {

constexpr int kFormFontPoints = 9;
constexpr int kFormWidthDlu = 373;
constexpr int kFormHeightDlu = 338;
constexpr int kLabelHeightDlu = 8;
constexpr int kClosedListHeightDlu =
    12;  // a list's closed box; its layout height includes the list
constexpr int kStatementTopDlu = 218;
constexpr int kStatementPitchDlu = 16;
constexpr int kAllStatementsTopDlu = 322;  // under the statements' group
constexpr int kLowestPressure = 30;
constexpr int kHighestPressure = 250;

enum class Kind { kGroup, kLabel, kEdit, kDigits, kMulti, kDrop, kList, kCheck };

// One element of the layout, in dialog units; labels of a control sit at (labelX, labelY).
struct FormItem {
  int id;  // 0 for group boxes and free labels
  Kind kind;
  int x, y, width, height;
  int textId;  // string of the label, the group's title or the check box's text; kNoText for none
  int labelX, labelY;
  bool disabled;
};

constexpr int kNoLabel = -1;
constexpr int kNoText = 0;

// The layout in tab order. Disabled controls are shown but skipped by the tab key.
constexpr FormItem kLayout[] = {
    {0, Kind::kGroup, 2, 55, 368, 95, kIdsFormPatientData, kNoLabel, kNoLabel, false},
    {kIdcFirstName, Kind::kEdit, 56, 66, 160, 12, kIdsFormFirstName, 6, 66, false},
    {kIdcLastName, Kind::kEdit, 56, 82, 160, 12, kIdsFormLastName, 6, 82, false},
    {kIdcSecondName, Kind::kEdit, 56, 98, 160, 12, kIdsFormSecondName, 6, 98, false},
    {kIdcPatientId, Kind::kEdit, 56, 114, 160, 12, kIdsFormPatientId, 6, 114, false},
    {kIdcBirthDate, Kind::kEdit, 56, 130, 54, 12, kIdsFormBirthDate, 6, 130, false},
    {kIdcSex, Kind::kDrop, 302, 66, 61, 56, kIdsFormSex, 253, 66, false},
    {kIdcRace, Kind::kDrop, 302, 82, 61, 56, kIdsFormRace, 253, 81, false},
    {kIdcWeight, Kind::kDigits, 302, 98, 30, 12, kIdsFormWeight, 253, 99, false},
    {kIdcWeightUnit, Kind::kList, 338, 98, 25, 56, kNoText, kNoLabel, kNoLabel, false},
    {kIdcHeight, Kind::kDigits, 302, 114, 30, 12, kIdsFormHeight, 253, 114, false},
    {kIdcHeightUnit, Kind::kList, 338, 114, 25, 56, kNoText, kNoLabel, kNoLabel, false},
    {kIdcSystolic, Kind::kDigits, 270, 130, 32, 12, kIdsFormBloodPressure, 214, 130, false},
    {kIdcDiastolic, Kind::kDigits, 310, 130, 32, 12, kNoText, kNoLabel, kNoLabel, false},
    {0, Kind::kGroup, 2, 153, 368, 167, kIdsFormDiagnosis, kNoLabel, kNoLabel, false},
    {kIdcAnaInstitution, Kind::kMulti, 66, 161, 156, 23, kIdsFormAnaInstitution, 6, 161, false},
    {kIdcAnaDepartment, Kind::kEdit, 276, 161, 87, 12, kIdsFormDepartment, 229, 162, false},
    {kIdcReferringPhysician, Kind::kEdit, 67, 191, 156, 12, kIdsFormReferringPhysician, 6, 191,
     false},
    {kIdcConfirmDate, Kind::kEdit, 269, 179, 47, 12, kIdsFormDateTime, 229, 179, true},
    {kIdcConfirmTime, Kind::kEdit, 325, 179, 37, 13, kNoText, kNoLabel, kNoLabel, true},
    {kIdcConfirmed, Kind::kCheck, 270, 200, 51, 10, kIdsFormConfirmed, kNoLabel, kNoLabel, false},
    {0, Kind::kLabel, 6, 206, 106, 8, kIdsFormInterpretation, kNoLabel, kNoLabel, false},
    {0, Kind::kGroup, 3, 8, 366, 45, kIdsFormExamData, kNoLabel, kNoLabel, false},
    {kIdcAcqInstitution, Kind::kMulti, 56, 16, 143, 32, kIdsFormAcqInstitution, 7, 21, false},
    {kIdcAcqDepartment, Kind::kEdit, 262, 16, 99, 12, kIdsFormDepartment, 213, 18, false},
    {kIdcAcqDate, Kind::kEdit, 262, 33, 50, 12, kIdsFormDateTime, 213, 35, true},
    {kIdcAcqTime, Kind::kEdit, 318, 33, 41, 12, kNoText, kNoLabel, kNoLabel, true},
    {kIdcAge, Kind::kDigits, 146, 130, 24, 12, kIdsFormAge, 115, 131, true},
    {kIdcAgeUnit, Kind::kList, 175, 130, 40, 12, kNoText, kNoLabel, kNoLabel, true},
};

// The label of the blood pressure ends where its field begins, its text against the right edge.
constexpr int kRightAlignedLabelId = kIdcSystolic;

QStringList ListEntries(int id) {
  switch (id) {
    case kIdcSex:
      return PatientListEntries(PatientList::kSex);
    case kIdcRace:
      return PatientListEntries(PatientList::kRace);
    case kIdcWeightUnit:
      return PatientListEntries(PatientList::kWeightUnit);
    case kIdcHeightUnit:
      return PatientListEntries(PatientList::kHeightUnit);
    case kIdcAgeUnit:
      return PatientListEntries(PatientList::kAgeUnit);
    default:
      return PatientListEntries(PatientList::kStatement);
  }
}

QWidget* MakeControl(const FormItem& item, QWidget* form) {
  switch (item.kind) {
    case Kind::kEdit:
      return new QLineEdit(form);
    case Kind::kDigits: {
      auto* edit = new QLineEdit(form);
      edit->setValidator(
          new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
      return edit;
    }
    case Kind::kMulti: {
      auto* edit = new QPlainTextEdit(form);
      edit->setTabChangesFocus(true);
      edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      return edit;
    }
    case Kind::kDrop:
    case Kind::kList: {
      auto* list = new QComboBox(form);
      list->setEditable(item.kind == Kind::kDrop);
      // Typed text stays in the box's own field and never becomes a new entry of the list.
      list->setInsertPolicy(QComboBox::NoInsert);
      list->addItems(ListEntries(item.id));
      return list;
    }
    case Kind::kCheck: {
      auto* box = new QCheckBox(LoadString(item.textId), form);
      box->setLayoutDirection(Qt::RightToLeft);  // text left of the box
      return box;
    }
    case Kind::kGroup:
      return new QGroupBox(LoadString(item.textId), form);
    case Kind::kLabel:
      return new QLabel(LoadString(item.textId), form);
  }
  return nullptr;
}

bool IsList(Kind kind) {
  return kind == Kind::kDrop || kind == Kind::kList;
}

// The control that shows a field of the patient model.
int ControlOf(const PatientRefusal& refusal) {
  switch (refusal.field) {
    case PatientField::kAcqDepartment:
      return kIdcAcqDepartment;
    case PatientField::kAcqInstitution:
      return kIdcAcqInstitution;
    case PatientField::kAnaDepartment:
      return kIdcAnaDepartment;
    case PatientField::kAnaInstitution:
      return kIdcAnaInstitution;
    case PatientField::kBirthDate:
      return kIdcBirthDate;
    case PatientField::kDiastolic:
      return kIdcDiastolic;
    case PatientField::kFirstName:
      return kIdcFirstName;
    case PatientField::kPatientId:
      return kIdcPatientId;
    case PatientField::kLastName:
      return kIdcLastName;
    case PatientField::kReferringPhysician:
      return kIdcReferringPhysician;
    case PatientField::kSecondName:
      return kIdcSecondName;
    case PatientField::kSystolic:
      return kIdcSystolic;
    case PatientField::kRace:
      return kIdcRace;
    case PatientField::kSex:
      return kIdcSex;
    case PatientField::kConfirmed:
      return kIdcConfirmed;
    case PatientField::kWeightUnit:
      return kIdcWeightUnit;
    case PatientField::kHeightUnit:
      return kIdcHeightUnit;
    case PatientField::kWeight:
      return kIdcWeight;
    case PatientField::kHeight:
      return kIdcHeight;
    case PatientField::kStatement:
      return kIdcStatementFirst + refusal.statement;
    case PatientField::kNone:
      break;
  }
  return 0;
}

}  // namespace

CPatientView::CPatientView(QWidget* parent)
    : CFormView(parent), m_nReferringPhysicianLimit(kMaxReferringPhysicianChars) {
  QWidget* form = GetForm();
  form->setFont(QFont(QStringLiteral("Arial"), kFormFontPoints));
  QWidget* previous = nullptr;
  auto place = [this, form, &previous](int id, Kind kind, CRect dialogUnits, int textId,
                                       bool disabled) {
    QWidget* control = MakeControl({id, kind, 0, 0, 0, 0, textId, 0, 0, disabled}, form);
    const CRect pixels = MapDialogRect(dialogUnits);
    control->setGeometry(pixels.left, pixels.top, pixels.right - pixels.left,
                         pixels.bottom - pixels.top);
    control->setEnabled(!disabled);
    if (qobject_cast<QComboBox*>(control) != nullptr) {
      // A list changes only from the keyboard focus: the wheel over it scrolls the form.
      control->setFocusPolicy(Qt::StrongFocus);
      control->installEventFilter(this);
    }
    if (id != 0) {
      SetDlgItem(id, control);
    }
    if (control->focusPolicy() != Qt::NoFocus) {
      if (previous != nullptr) {
        QWidget::setTabOrder(previous, control);
      }
      previous = control;
    }
  };
  for (const FormItem& item : kLayout) {
    const int height = IsList(item.kind) ? kClosedListHeightDlu : item.height;
    if (item.labelX != kNoLabel && item.kind != Kind::kCheck) {
      const int labelWidth =
          item.id == kRightAlignedLabelId ? item.x - 2 - item.labelX : item.x - item.labelX;
      auto* label = new QLabel(LoadString(item.textId), form);
      CRect pixels = MapDialogRect(
          CRect(item.labelX, item.labelY, item.labelX + labelWidth, item.labelY + kLabelHeightDlu));
      if (label->sizeHint().width() > pixels.right - pixels.left) {
        // A label longer than the room before its field takes a second line, as dialogs do.
        label->setWordWrap(true);
        pixels.bottom += pixels.bottom - pixels.top;
      }
      label->setGeometry(pixels.left, pixels.top, pixels.right - pixels.left,
                         pixels.bottom - pixels.top);
      if (item.id == kRightAlignedLabelId) {
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      }
      if (item.id == kIdcConfirmDate) {
        SetDlgItem(kIdcConfirmDateLabel, label);
      }
    }
    place(item.id, item.kind, CRect(item.x, item.y, item.x + item.width, item.y + height),
          item.textId, item.disabled);
  }
  for (int k = 0; k < kStatementCount; ++k) {
    const int top = kStatementTopDlu + kStatementPitchDlu * k;
    place(kIdcStatementFirst + k, Kind::kDrop, CRect(10, top, 361, top + kClosedListHeightDlu),
          kNoText, false);
  }
  const CRect size = MapDialogRect(CRect(0, 0, kFormWidthDlu, kFormHeightDlu));
  form->resize(size.right, size.bottom);
  TrackChanges();
  connect(qApp, &QApplication::focusChanged, this, &CPatientView::OnFocusChanged);
}

CPatientView::~CPatientView() {
  // Tearing the widgets down moves the focus and changes controls: none of that may reach a form
  // that is already half destroyed.
  disconnect(qApp, nullptr, this, nullptr);
  for (QWidget* control : GetForm()->findChildren<QWidget*>()) {
    control->disconnect(this);
  }
}

CQuillonDoc* CPatientView::GetQuillonDoc() const {
  return dynamic_cast<CQuillonDoc*>(GetDocument());
}

// --- Filling and data exchange -----------------------------------------------------------------

void CPatientView::OnInitialUpdate() {
  FillFromModel();
  m_bFilling = true;
  CFormView::OnInitialUpdate();  // fills the controls from the fields
  m_bFilling = false;
  if (CQuillonDoc* doc = GetQuillonDoc()) {
    doc->SetPatientStore(this);
    ShowPatientText(doc->Patient().PatientText());
  }
  if (!EditingAllowed()) {
    DisableEveryControl();
  }
  AddAllStatementsLine();
}

// The six boxes show the first six statements; a record that holds more gets a line under them
// that opens every statement, read-only, so that none stays hidden.
void CPatientView::AddAllStatementsLine() {
  const CQuillonDoc* doc = GetQuillonDoc();
  if (doc == nullptr || doc->Patient().Keep().statements.size() <= kStatementCount) {
    return;
  }
  const std::vector<StoredStatement>& statements = doc->Patient().Keep().statements;
  auto* line = new QPushButton(
      LoadString(kIdsAllStatements).arg(static_cast<qulonglong>(statements.size())), GetForm());
  line->setObjectName(QStringLiteral("allStatements"));
  line->setFlat(true);
  const CRect pixels = MapDialogRect(
      CRect(10, kAllStatementsTopDlu, 361, kAllStatementsTopDlu + kClosedListHeightDlu));
  line->setGeometry(pixels.left, pixels.top, pixels.right - pixels.left,
                    pixels.bottom - pixels.top);
  QStringList lines;
  for (const StoredStatement& statement : statements) {
    lines << QStringLiteral("%1: %2").arg(statement.tag).arg(statement.text);
  }
  connect(line, &QPushButton::clicked, this, [this, text = lines.join(u'\n')] {
    QDialog dialog(this);
    dialog.setWindowTitle(LoadString(kIdsPatientCaption));
    auto* list = new QPlainTextEdit(text, &dialog);
    list->setReadOnly(true);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(list);
    dialog.resize(MapDialogRect(CRect(0, 0, kFormWidthDlu, kFormHeightDlu / 2)).right,
                  MapDialogRect(CRect(0, 0, kFormWidthDlu, kFormHeightDlu / 2)).bottom);
    dialog.exec();
  });
  line->show();
}

void CPatientView::OnUpdate(CView* sender, long hint) {
  if (sender == this || hint != CQuillonDoc::kHintPatientChanged) {
    return;
  }
  FillFromModel();
  m_bFilling = true;
  UpdateData(false);
  m_bFilling = false;
  if (const CQuillonDoc* doc = GetQuillonDoc()) {
    ShowPatientText(doc->Patient().PatientText());
  }
}

void CPatientView::FillFromModel() {
  const CQuillonDoc* doc = GetQuillonDoc();
  if (doc == nullptr) {
    return;
  }
  static_cast<PatientFields&>(*this) = doc->Patient().Fields();
  // A stored name longer than the field takes is kept whole; only typing cannot make it longer.
  m_nReferringPhysicianLimit =
      std::max(kMaxReferringPhysicianChars,
               static_cast<int>(doc->Patient().Keep().asRead.m_strReferringPhysician.size()));
}

void CPatientView::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, kIdcAcqDepartment, m_strAcqDepartment);
  DDX_Text(dx, kIdcAcqInstitution, m_strAcqInstitution);
  DDX_Text(dx, kIdcAcqDate, m_strAcqDate);
  DDX_Text(dx, kIdcAnaDepartment, m_strAnaDepartment);
  DDX_Text(dx, kIdcAnaInstitution, m_strAnaInstitution);
  DDX_Text(dx, kIdcBirthDate, m_strBirthDate);
  DDX_Text(dx, kIdcDiastolic, m_nDiastolic);
  DDX_Text(dx, kIdcFirstName, m_strFirstName);
  DDX_Text(dx, kIdcPatientId, m_strPatientId);
  DDX_Text(dx, kIdcLastName, m_strLastName);
  DDX_Text(dx, kIdcReferringPhysician, m_strReferringPhysician);
  DDV_MaxChars(dx, m_strReferringPhysician, m_nReferringPhysicianLimit);
  DDX_Text(dx, kIdcSecondName, m_strSecondName);
  DDX_Text(dx, kIdcSystolic, m_nSystolic);
  DDX_CBIndex(dx, kIdcRace, m_nRace);
  DDX_CBIndex(dx, kIdcSex, m_nSex);
  DDX_Text(dx, kIdcAcqTime, m_strAcqTime);
  DDX_Text(dx, kIdcConfirmDate, m_strConfirmDate);
  DDX_Check(dx, kIdcConfirmed, m_bConfirmed);
  DDX_Text(dx, kIdcConfirmTime, m_strConfirmTime);
  DDX_CBIndex(dx, kIdcWeightUnit, m_nWeightUnit);
  DDX_CBIndex(dx, kIdcHeightUnit, m_nHeightUnit);
  DDX_Text(dx, kIdcWeight, m_nWeight);
  DDX_Text(dx, kIdcHeight, m_nHeight);
  DDX_CBIndex(dx, kIdcAgeUnit, m_nAgeUnit);
  DDX_Text(dx, kIdcAge, m_nAge);
  for (int k = 0; k < kStatementCount; ++k) {
    DDX_Text(dx, kIdcStatementFirst + k, m_strStatement[k]);
  }
}

bool CPatientView::StoreToRecord() {
  if (!HandToModel(false)) {
    return false;
  }
  // The controls show what the model took: the widened birth year, the age derived again.
  m_bFilling = true;
  UpdateData(false);
  m_bFilling = false;
  if (CQuillonDoc* doc = GetQuillonDoc()) {
    doc->PatientChanged(this);
    ShowPatientText(doc->Patient().PatientText());
  }
  return true;
}

bool CPatientView::TakeEdits() {
  return HandToModel(true);
}

bool CPatientView::HandToModel(bool quiet) {
  CQuillonDoc* doc = GetQuillonDoc();
  if (doc == nullptr) {
    return true;
  }
  if (!(quiet ? UpdateDataQuietly() : UpdateData(true))) {
    return false;
  }
  const PatientRefusal refusal = doc->Patient().SetFields(*this, doc->Today());
  if (!refusal.Refused()) {
    return true;
  }
  if (!quiet) {
    AfxMessageBox(refusal.message, MB_OK | MB_ICONEXCLAMATION);
    if (QWidget* control = GetDlgItem(ControlOf(refusal))) {
      control->setFocus(Qt::OtherFocusReason);
      if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->selectAll();
      }
    }
  }
  return false;
}

bool CPatientView::eventFilter(QObject* watched, QEvent* event) {
  auto* list = qobject_cast<QComboBox*>(watched);
  if (event->type() == QEvent::Wheel && list != nullptr && !list->hasFocus()) {
    QCoreApplication::sendEvent(verticalScrollBar(), event);
    return true;
  }
  return CFormView::eventFilter(watched, event);
}

// --- Change tracking and focus -----------------------------------------------------------------

void CPatientView::TrackChanges() {
  for (QWidget* control :
       GetForm()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
      connect(edit, &QLineEdit::textEdited, this, &CPatientView::MarkChanged);
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(control)) {
      // This control has no signal of its own for typing: changes while filling are ignored.
      connect(multi, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_bFilling) {
          MarkChanged();
        }
      });
    } else if (auto* list = qobject_cast<QComboBox*>(control)) {
      connect(list, qOverload<int>(&QComboBox::activated), this, &CPatientView::MarkChanged);
      if (QLineEdit* typed = list->lineEdit()) {
        connect(typed, &QLineEdit::textEdited, this, &CPatientView::MarkChanged);
      }
    } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
      connect(box, &QCheckBox::clicked, this, &CPatientView::MarkChanged);
    }
  }
}

void CPatientView::MarkChanged() {
  if (CQuillonDoc* doc = GetQuillonDoc()) {
    doc->SetModifiedFlag(true);
  }
}

bool CPatientView::FieldAcceptsItsText(int id) const {
  const auto* edit = qobject_cast<const QLineEdit*>(GetDlgItem(id));
  if (edit == nullptr || edit->text().isEmpty()) {
    return true;
  }
  if (id == kIdcBirthDate) {
    CDateText date;
    date.SetText(edit->text());
    return date.IsValid();
  }
  const auto pressure = static_cast<unsigned int>(ReadLeadingInteger(edit->text()));
  return pressure >= kLowestPressure && pressure <= kHighestPressure;
}

void CPatientView::OnFocusChanged(QWidget* old, QWidget* now) {
  // The focus is pulled back only when the user moves it to another control of this form: not
  // when another window takes it, and not while it is being pulled back, so two refused fields
  // cannot hand it to each other forever.
  if (m_bReturningFocus || old == nullptr || now == nullptr || !GetForm()->isAncestorOf(now)) {
    return;
  }
  for (const int id : {kIdcBirthDate, kIdcSystolic, kIdcDiastolic}) {
    if (GetDlgItem(id) == old && !FieldAcceptsItsText(id)) {
      m_bReturningFocus = true;
      old->setFocus(Qt::OtherFocusReason);
      m_bReturningFocus = false;
      return;
    }
  }
}

void CPatientView::DisableEveryControl() {
  for (QWidget* control :
       GetForm()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (control->focusPolicy() != Qt::NoFocus) {
      control->setEnabled(false);
    }
  }
}
