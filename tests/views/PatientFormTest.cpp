// The patient form over real records: filling, the derived age, change tracking, the focus-loss
// checks, the save with everything it must keep, editing forbidden, and the printed frame.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "document/CQuillonDoc.h"
#include "document/DocMessages.h"
#include "document/PatientModel.h"
#include "framework/CMDIFrameWnd.h"
#include "framework/CRecordingDC.h"
#include "framework/CWinApp.h"
#include "framework/FrameworkConstants.h"
#include "resources/ResourceIds.h"
#include "scp/ScpFields.h"
#include "scp/ScpHandles.h"
#include "scp/ScpItems.h"
#include "scp/ScpReader.h"
#include "scp/ScpWriter.h"
#include "tests/views/ViewTestSupport.h"
#include "views/CPatientView.h"
#include "views/PatientFormHost.h"
#include "views/PatientHeaderPrinter.h"

namespace {

// The application as the form sees it: it may forbid editing, and it answers messages by
// writing them down.
class FormTestApp : public CWinApp, public IEditingPermission {
 public:
  FormTestApp() : CWinApp(QStringLiteral("QuillonPatientFormTest")) {}
  bool IsEditingAllowed() const override { return editingAllowed; }
  int DoMessageBox(const QString& prompt, UINT /*type*/) override {
    prompts << prompt;
    return IDOK;
  }
  bool editingAllowed = true;
  QStringList prompts;
};

class TextFrame : public CMDIFrameWnd, public IPatientTextHolder {
 public:
  void SetPatientText(const QString& text) override { patientText = text; }
  QString patientText;
};

using Item = std::pair<uint8_t, QByteArray>;  // tag, whole stored item

// The items of a section up to its terminator (section 8: behind its 9-byte header).
std::vector<Item> ItemsOf(const ScpRecord* record, uint16_t section) {
  const auto* body =
      reinterpret_cast<const char*>(ScpMemLock(ScpRecordSectionData(record, section)));
  const int length = static_cast<int>(ScpRecordSectionLength(record, section));
  std::vector<Item> items;
  for (int offset = section == 8 ? 9 : 0; body != nullptr && offset + 3 <= length;) {
    const auto tag = static_cast<uint8_t>(body[offset]);
    const int size =
        3 + (static_cast<uint8_t>(body[offset + 1]) | static_cast<uint8_t>(body[offset + 2]) << 8);
    if (tag == 255 || offset + size > length) {
      break;
    }
    items.emplace_back(tag, QByteArray(body + offset, size));
    offset += size;
  }
  return items;
}

QByteArray MakeItem(uint8_t tag, const QByteArray& value) {
  QByteArray item;
  item.append(static_cast<char>(tag));
  item.append(static_cast<char>(value.size() & 0xFF));
  item.append(static_cast<char>(value.size() >> 8));
  return item + value;
}

// A section's whole body.
QByteArray Body(const ScpRecord* record, uint16_t section) {
  const auto* body =
      reinterpret_cast<const char*>(ScpMemLock(ScpRecordSectionData(record, section)));
  return QByteArray(body, static_cast<int>(ScpRecordSectionLength(record, section)));
}

QByteArray Text(const char* latin1) {
  return QByteArray(latin1) + '\0';
}

void SetBody(ScpRecord* record, uint16_t section, const QByteArray& body) {
  ScpRecordRemoveSection(record, section);
  ScpBlock block = ScpMemAlloc(static_cast<size_t>(body.size()));
  ScpMemCopy(ScpMemLock(block), body.constData(), static_cast<size_t>(body.size()));
  QCOMPARE(ScpRecordAddSection(record, section, static_cast<uint32_t>(body.size()), block), kScpOk);
}

// Rewrites section 1 with its items changed by `edit` (terminated again).
template <typename Edit>
void EditHeader(ScpRecord* record, Edit edit) {
  std::vector<Item> items = ItemsOf(record, 1);
  edit(items);
  QByteArray body;
  for (const Item& item : items) {
    body += item.second;
  }
  SetBody(record, 1, body + MakeItem(255, QByteArray()));
}

void Replace(std::vector<Item>& items, uint8_t tag, const QByteArray& value) {
  for (Item& item : items) {
    if (item.first == tag) {
      item.second = MakeItem(tag, value);
    }
  }
}

void Remove(std::vector<Item>& items, uint8_t tag) {
  items.erase(std::remove_if(items.begin(), items.end(),
                             [tag](const Item& item) { return item.first == tag; }),
              items.end());
}

QByteArray FirstOf(const std::vector<Item>& items, uint8_t tag) {
  for (const Item& item : items) {
    if (item.first == tag) {
      return item.second;
    }
  }
  return QByteArray();
}

std::vector<uint8_t> TagsOf(const std::vector<Item>& items) {
  std::vector<uint8_t> tags;
  tags.reserve(items.size());
  for (const Item& item : items) {
    tags.push_back(item.first);
  }
  return tags;
}

ScpRecord* Demo() {
  return ScpReadRecord(QUILLON_SAMPLES_DIR "/demo.scp");
}

// The demo record with what a cart writes beyond the form: a device (14), the filter bit map
// (29, 50 Hz), a manufacturer item (200), a 300-byte free text, the sex code 9 ("not
// applicable", which the list lacks), a Latin-1 first name, an acquisition time with seconds,
// and statements 6 and 7 after the six.
ScpRecord* FullHeaderRecord() {
  ScpRecord* record = Demo();
  EditHeader(record, [](std::vector<Item>& items) {
    Replace(items, kScpTagFirstName, Text("Ren\xe9"));
    Replace(items, kScpTagSex, QByteArray(1, '\x09'));
    Replace(items, kScpTagAcquisitionTime, QByteArray("\x09\x1e\x2d", 3));  // 09:30:45
    Replace(items, kScpTagFreeText, QByteArray(300, 'x') + '\0');
    items.emplace_back(14, MakeItem(14, QByteArray("\x01\x00\x02\x03\x04\x05", 6)));
    items.emplace_back(29, MakeItem(29, QByteArray(1, '\x02')));
    items.emplace_back(200, MakeItem(200, QByteArray("maker", 5)));
  });
  const auto* body = reinterpret_cast<const char*>(ScpMemLock(ScpRecordSectionData(record, 8)));
  QByteArray statements(body, static_cast<int>(ScpRecordSectionLength(record, 8)));
  statements[8] = static_cast<char>(8);
  SetBody(record, 8, statements + MakeItem(6, Text("seventh")) + MakeItem(7, Text("eighth")));
  return record;
}

// A Document holding a record and its patient form, given its initial update.
struct OpenForm {
  explicit OpenForm(ScpRecord* record, QDate today = QDate(2026, 12, 8)) {
    doc.SetToday(today);
    doc.DecodeLeads(record);
    doc.AddView(&form);
    form.OnInitialUpdate();
  }
  template <typename Control>
  Control* Get(int id) {
    return qobject_cast<Control*>(form.GetDlgItem(id));
  }
  CQuillonDoc doc;
  CPatientView form;
};

// What a save does to the record in memory: the form hands its edits to the patient model, which
// writes what changed.
bool Store(OpenForm& open) {
  return open.form.StoreToRecord() &&
         open.doc.Patient().Write(open.doc.m_pRecord, QDateTime::currentDateTime());
}

}  // namespace

class PatientFormTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<FormTestApp> m_app;
  TextFrame* m_frame = nullptr;

 private slots:
  void initTestCase() { InstallViewTestResources(); }
  void init() {
    m_app = std::make_unique<FormTestApp>();
    m_frame = new TextFrame;
    m_app->m_pMainWnd = m_frame;
  }
  void cleanup() { m_app.reset(); }

  void FillsTheFormFromTheHeaderAndTheStatements() {
    OpenForm open(Demo());
    QCOMPARE(open.Get<QLineEdit>(kIdcLastName)->text(), QStringLiteral("Demo"));
    QCOMPARE(open.Get<QLineEdit>(kIdcBirthDate)->text(), QStringLiteral("14/03/1970"));
    QCOMPARE(open.Get<QComboBox>(kIdcSex)->currentText(), QStringLiteral("female"));
    QCOMPARE(open.Get<QLineEdit>(kIdcAge)->text(), QStringLiteral("54"));  // stored, in years
    QCOMPARE(open.Get<QComboBox>(kIdcAgeUnit)->currentText(), QStringLiteral("Years"));
    QCOMPARE(open.Get<QLineEdit>(kIdcAcqTime)->text(), QStringLiteral("09:30"));
    QCOMPARE(open.Get<QComboBox>(kIdcStatementFirst)->currentText(),
             QStringLiteral("Sinus rhythm"));                       // statement 0 in the first box
    QCOMPARE(open.Get<QComboBox>(kIdcStatementFirst)->count(), 2);  // the offered choices only
    QCOMPARE(m_frame->patientText, QStringLiteral("Demo Anna 17/05/2024"));
    QVERIFY(!open.doc.IsModified());
  }

  void ARecordWithoutHeaderShowsInitialValuesAndStillKeepsItsStatements() {
    ScpRecord* record = Demo();
    ScpRecordRemoveSection(record, 1);
    OpenForm open(record);
    QCOMPARE(open.Get<QComboBox>(kIdcSex)->currentText(), QStringLiteral("unspecified"));
    QCOMPARE(open.Get<QComboBox>(kIdcRace)->currentText(), QStringLiteral("Unspec."));
    QCOMPARE(open.Get<QLineEdit>(kIdcSystolic)->text(), QStringLiteral("0"));
    QCOMPARE(open.Get<QLineEdit>(kIdcAcqDate)->text(), QString());
    QCOMPARE(open.form.m_strStatement[5],
             QStringLiteral("Normal ECG (synthetic demonstration record)"));

    open.Get<QLineEdit>(kIdcSystolic)->setText(QStringLiteral("120"));
    open.Get<QLineEdit>(kIdcDiastolic)->setText(QStringLiteral("80"));
    QVERIFY(Store(open));
    const std::vector<Item> header = ItemsOf(open.doc.m_pRecord, 1);
    // Nothing the record did not hold is invented: no age, no acquisition date or time.
    for (const uint8_t invented : {kScpTagAge, kScpTagAcquisitionDate, kScpTagAcquisitionTime}) {
      QVERIFY(FirstOf(header, invented).isEmpty());
    }
    // Only what was typed is added: no sex code for the list's initial "unspecified".
    QVERIFY(FirstOf(header, kScpTagSex).isEmpty());
    QCOMPARE(FirstOf(header, kScpTagSystolic),
             MakeItem(kScpTagSystolic, QByteArray("\x78\x00", 2)));
    QCOMPARE(ItemsOf(open.doc.m_pRecord, 8).size(), size_t{6});
    QCOMPARE(ItemsOf(open.doc.m_pRecord, 8)[0].second, MakeItem(0, Text("Sinus rhythm")));
  }

  void TheAgeIsDerivedFromTheTwoDates_data() {
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<QDate>("acquisition");
    QTest::addColumn<unsigned int>("age");
    QTest::addColumn<int>("unit");
    QTest::newRow("years, birthday not yet come")
        << QDate(1950, 12, 31) << QDate(1998, 1, 1) << 47U << 1;
    QTest::newRow("years, on the birthday") << QDate(1950, 1, 1) << QDate(1998, 1, 1) << 48U << 1;
    QTest::newRow("months, day not yet come")
        << QDate(1998, 3, 20) << QDate(1998, 5, 10) << 1U << 2;
    QTest::newRow("eleven months across a year")
        << QDate(1997, 6, 15) << QDate(1998, 5, 20) << 11U << 2;
    QTest::newRow("months") << QDate(1998, 3, 10) << QDate(1998, 5, 20) << 2U << 2;
    QTest::newRow("days") << QDate(1998, 5, 10) << QDate(1998, 5, 20) << 10U << 4;
    QTest::newRow("same day") << QDate(1998, 5, 20) << QDate(1998, 5, 20) << 0U << 0;
  }
  void TheAgeIsDerivedFromTheTwoDates() {
    QFETCH(QDate, birth);
    QFETCH(QDate, acquisition);
    const DerivedAge derived =
        DeriveAge(birth.day(), birth.month(), birth.year(), acquisition.day(), acquisition.month(),
                  acquisition.year());
    QTEST(derived.value, "age");
    QTEST(derived.unit, "unit");
  }

  void AStoredAgeWithAUnitIsShownAsStored() {
    ScpRecord* record = Demo();
    EditHeader(record, [](std::vector<Item>& items) {
      Replace(items, kScpTagAge, QByteArray("\x1e\x00\x01", 3));  // 30 years
    });
    OpenForm open(record);
    QCOMPARE(open.Get<QLineEdit>(kIdcAge)->text(), QStringLiteral("30"));  // the dates say 54
  }

  void ADerivedAgeIsNeverAddedToTheRecord() {
    ScpRecord* record = Demo();
    EditHeader(record, [](std::vector<Item>& items) { Remove(items, kScpTagAge); });
    OpenForm stored(record);
    QCOMPARE(stored.Get<QLineEdit>(kIdcAge)->text(), QStringLiteral("54"));  // 2024 − 1970
    QVERIFY(Store(stored));
    QVERIFY(FirstOf(ItemsOf(stored.doc.m_pRecord, 1), kScpTagAge).isEmpty());

    record = Demo();
    EditHeader(record, [](std::vector<Item>& items) {
      Remove(items, kScpTagAge);
      Remove(items, kScpTagAcquisitionDate);
    });
    OpenForm opened(record, QDate(2026, 12, 8));
    QCOMPARE(opened.Get<QLineEdit>(kIdcAcqDate)->text(), QString());  // never today's date
    QCOMPARE(opened.Get<QLineEdit>(kIdcAge)->text(), QStringLiteral("56"));  // shown only
    QVERIFY(Store(opened));
    const std::vector<Item> header = ItemsOf(opened.doc.m_pRecord, 1);
    QVERIFY(FirstOf(header, kScpTagAcquisitionDate).isEmpty());
    QVERIFY(FirstOf(header, kScpTagAge).isEmpty());
  }

  void OnlyWhatTheUserDoesMarksTheDocumentChanged_data() {
    QTest::addColumn<int>("id");
    QTest::newRow("one-line field") << kIdcLastName;
    QTest::newRow("digits field") << kIdcWeight;
    QTest::newRow("multi-line field") << kIdcAcqInstitution;
    QTest::newRow("typed statement") << kIdcStatementFirst + 2;
    QTest::newRow("chosen list entry") << kIdcWeightUnit;
    QTest::newRow("check box") << kIdcConfirmed;
  }
  void OnlyWhatTheUserDoesMarksTheDocumentChanged() {
    QFETCH(int, id);
    OpenForm open(Demo());
    open.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&open.form));
    QVERIFY(!open.doc.IsModified());  // filling and showing change nothing
    QWidget* control = open.form.GetDlgItem(id);
    if (auto* box = qobject_cast<QCheckBox*>(control)) {
      QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 5, box->height() / 2));
    } else if (auto* list = qobject_cast<QComboBox*>(control); list && !list->isEditable()) {
      list->setFocus();
      QTest::keyClick(list, Qt::Key_Down);
    } else {
      control->setFocus();
      QTest::keyClick(control, Qt::Key_1);
    }
    QVERIFY(open.doc.IsModified());
    if (auto* list = qobject_cast<QComboBox*>(control)) {
      const int entries = list->count();
      QTest::keyClick(list, Qt::Key_Return);
      QCOMPARE(list->count(), entries);  // typed text never becomes an entry of the list
    }
  }

  void LeavingAFieldWithAnInvalidEntryBringsTheFocusBack_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("kept");
    QTest::newRow("month 13") << kIdcBirthDate << "12/13/1970" << true;
    QTest::newRow("valid date") << kIdcBirthDate << "31/12/1970" << false;
    QTest::newRow("emptied date") << kIdcBirthDate << "" << false;
    QTest::newRow("systolic 29") << kIdcSystolic << "29" << true;
    QTest::newRow("systolic 30") << kIdcSystolic << "30" << false;
    QTest::newRow("diastolic 250") << kIdcDiastolic << "250" << false;
    QTest::newRow("diastolic 251") << kIdcDiastolic << "251" << true;
    QTest::newRow("emptied pressure") << kIdcDiastolic << "" << false;
  }
  void LeavingAFieldWithAnInvalidEntryBringsTheFocusBack() {
    QFETCH(int, id);
    QFETCH(QString, text);
    QFETCH(bool, kept);
    OpenForm open(Demo());
    open.form.show();
    open.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&open.form));
    auto* field = open.Get<QLineEdit>(id);
    field->setFocus();
    field->setText(text);
    open.form.GetDlgItem(kIdcFirstName)->setFocus();
    QCOMPARE(QApplication::focusWidget() == field, kept);
    QVERIFY(m_app->prompts.isEmpty());  // the checks show no message
  }

  void TwoRefusedPressuresDoNotHandTheFocusToEachOther() {
    OpenForm open(Demo());
    open.form.show();
    open.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&open.form));
    auto* systolic = open.Get<QLineEdit>(kIdcSystolic);
    auto* diastolic = open.Get<QLineEdit>(kIdcDiastolic);
    systolic->setText(QStringLiteral("29"));
    diastolic->setText(QStringLiteral("251"));
    systolic->setFocus();
    diastolic->setFocus();
    QCOMPARE(QApplication::focusWidget(), systolic);
    // Another window taking the focus is not held back.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(QApplication::focusWidget() != systolic);
  }

  void ASaveRewritesOnlyTheChangedItemInPlaceAndLeavesTheStatementsAlone() {
    const std::unique_ptr<ScpRecord, void (*)(ScpRecord*)> original(FullHeaderRecord(),
                                                                    ScpRecordFree);
    const std::vector<Item> before = ItemsOf(original.get(), 1);
    const std::vector<Item> statementsBefore = ItemsOf(original.get(), 8);
    OpenForm open(FullHeaderRecord());
    QCOMPARE(open.Get<QLineEdit>(kIdcFirstName)->text(), QString::fromLatin1("Ren\xe9"));
    QCOMPARE(open.Get<QComboBox>(kIdcSex)->currentIndex(), -1);  // code 9 has no entry
    open.Get<QLineEdit>(kIdcLastName)->setText(QStringLiteral("Rossi"));
    QVERIFY(Store(open));

    const std::vector<Item> after = ItemsOf(open.doc.m_pRecord, 1);
    QCOMPARE(TagsOf(after), TagsOf(before));     // stored order kept
    for (size_t k = 0; k < after.size(); ++k) {  // the rest byte for byte, seconds and all
      QCOMPARE(after[k].second, after[k].first == kScpTagLastName
                                    ? MakeItem(kScpTagLastName, Text("Rossi"))
                                    : before[k].second);
    }
    const std::vector<Item> statements = ItemsOf(open.doc.m_pRecord, 8);
    QCOMPARE(statements.size(), statementsBefore.size());
    for (size_t k = 0; k < statements.size(); ++k) {
      QCOMPARE(statements[k].second, statementsBefore[k].second);
    }
    ScpStatementHeader header = {};
    QCOMPARE(ScpGetStatementHeader(open.doc.m_pRecord, 8, &header), kScpOk);
    QCOMPARE(static_cast<int>(header.statementCount), 8);
    QVERIFY(static_cast<int>(header.year) != QDate::currentDate().year());  // not re-dated
  }

  void ASavedRecordOpensAgainWithTheChangeAndEverythingElseAsItWas_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("tag");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("follower");  // an item the change brings along, or the same tag
    QTest::newRow("last name") << kIdcLastName << int{kScpTagLastName} << QStringLiteral("Rossi")
                               << int{kScpTagLastName};
    QTest::newRow("stored birth date") << kIdcBirthDate << int{kScpTagDateOfBirth}
                                       << QStringLiteral("02/01/1961") << int{kScpTagAge};
  }
  void ASavedRecordOpensAgainWithTheChangeAndEverythingElseAsItWas() {
    QFETCH(int, id);
    QFETCH(int, tag);
    QFETCH(QString, text);
    QFETCH(int, follower);
    QTemporaryDir dir;
    const QByteArray original = dir.filePath(QStringLiteral("original.scp")).toLocal8Bit();
    const QString saved = dir.filePath(QStringLiteral("saved.scp"));
    const ScpRecordPtr record(FullHeaderRecord());
    QCOMPARE(ScpWriteRecord(record.get(), original.constData()), kScpOk);
    {
      CQuillonDoc doc;
      QVERIFY(doc.OnOpenDocument(QString::fromLocal8Bit(original)));
      CPatientView form;
      doc.AddView(&form);
      form.OnInitialUpdate();
      qobject_cast<QLineEdit*>(form.GetDlgItem(id))->setText(text);
      QVERIFY(doc.OnSaveDocument(saved));
    }
    CQuillonDoc doc;
    QVERIFY(doc.OnOpenDocument(saved));
    CPatientView form;
    doc.AddView(&form);
    form.OnInitialUpdate();
    QCOMPARE(qobject_cast<QLineEdit*>(form.GetDlgItem(id))->text(), text);
    std::vector<Item> before = ItemsOf(record.get(), 1);
    std::vector<Item> after = ItemsOf(doc.m_pRecord, 1);
    for (const int changed : {tag, follower}) {
      Remove(before, static_cast<uint8_t>(changed));
      Remove(after, static_cast<uint8_t>(changed));
    }
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    QVERIFY(before == after);
    QVERIFY(ItemsOf(record.get(), 8) == ItemsOf(doc.m_pRecord, 8));
  }

  // Typing stops at 80 characters, however short the stored name; a longer stored name is shown
  // and saved whole.
  void TheReferringPhysicianTakesEightyTypedCharactersAndKeepsALongerStoredOne_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    const QString eighty(80, QLatin1Char('t'));
    QTest::newRow("empty") << QByteArray() << eighty + QStringLiteral("tt") << eighty;
    QTest::newRow("short") << QByteArray("Dr. Bianchi") << eighty + QStringLiteral("tt") << eighty;
    QTest::newRow("longer than 80") << QByteArray(95, 's') << QString() << QString(95, 's');
  }
  void TheReferringPhysicianTakesEightyTypedCharactersAndKeepsALongerStoredOne() {
    QFETCH(QByteArray, stored);
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    ScpRecord* record = Demo();
    EditHeader(record, [&stored](std::vector<Item>& items) {
      Remove(items, kScpTagReferringPhysician);
      items.emplace_back(kScpTagReferringPhysician,
                         MakeItem(kScpTagReferringPhysician, stored + '\0'));
    });
    OpenForm open(record);
    auto* field = open.Get<QLineEdit>(kIdcReferringPhysician);
    QCOMPARE(field->text(), QString::fromLatin1(stored));
    if (!typed.isEmpty()) {
      field->clear();
      QTest::keyClicks(field, typed);
    }
    QCOMPARE(field->text(), saved);
    QVERIFY(Store(open));
    QCOMPARE(FirstOf(ItemsOf(open.doc.m_pRecord, 1), kScpTagReferringPhysician),
             MakeItem(kScpTagReferringPhysician, saved.toLatin1() + '\0'));
  }

  // A value the form or the record cannot take stops the save: one message naming the field,
  // the focus on it, nothing written, the document still modified.
  void ARefusedFieldStopsTheSaveNamingTheField_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty pressure")
        << kIdcSystolic << QString() << QStringLiteral("Digitare un numero intero.");
    QTest::newRow("weight beyond its item")
        << kIdcWeight << QStringLiteral("7000012")
        << QStringLiteral("Weight: 7000012 is outside 0 to 65535.");
    QTest::newRow("no such birth day")
        << kIdcBirthDate << QStringLiteral("31/02/2030")
        << QStringLiteral("Birth Date: \"31/02/2030\" is not a date; enter DD/MM/YYYY.");
    QTest::newRow("birth in the future")
        << kIdcBirthDate << QStringLiteral("01/01/2030")
        << QStringLiteral("Birth Date: 01/01/2030 lies in the future.");
    QTest::newRow("name outside Latin-1")
        << kIdcLastName << QString::fromUtf8("Dvo\xc5\x99\xc3\xa1k")
        << QString::fromUtf8(
               "Last Name: \"Dvo\xc5\x99\xc3\xa1k\" holds characters the record "
               "cannot store (only Latin-1 letters and signs).");
  }
  void ARefusedFieldStopsTheSaveNamingTheField() {
    QFETCH(int, id);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QStringList docMessages;
    const DocMessageSink previous =
        SetDocMessageSink([&docMessages](const QString& text) { docMessages << text; });
    OpenForm open(Demo());
    open.form.show();
    open.Get<QLineEdit>(kIdcFirstName)->setText(QStringLiteral("Changed"));  // before it in order
    open.Get<QLineEdit>(id)->setText(typed);
    open.doc.SetModifiedFlag(true);
    const QByteArray header = Body(open.doc.m_pRecord, 1);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.scp"));
    QVERIFY(!open.doc.DoSave(path));
    SetDocMessageSink(previous);
    QCOMPARE(m_app->prompts, QStringList{message});
    QVERIFY(docMessages.isEmpty());
    QVERIFY(!QFile::exists(path));
    QVERIFY(open.doc.IsModified());
    QCOMPARE(Body(open.doc.m_pRecord, 1), header);
    QCOMPARE(open.doc.Patient().Fields().m_strFirstName, QStringLiteral("Anna"));
    QCOMPARE(open.form.window()->focusWidget(), open.form.GetDlgItem(id));
  }

  // One notch of the wheel over a list that does not have the focus scrolls the form instead.
  void TheWheelScrollsTheFormAndLeavesAnUnfocusedListAlone() {
    OpenForm open(Demo());
    open.form.resize(300, 150);
    open.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&open.form));
    auto* statement = open.Get<QComboBox>(kIdcStatementFirst);
    auto* unit = open.Get<QComboBox>(kIdcWeightUnit);
    const QString text = statement->currentText();
    const int unitIndex = unit->currentIndex();
    for (QComboBox* list : {statement, unit}) {
      const QPoint centre = list->rect().center();
      QWheelEvent wheel(centre, list->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(list, &wheel);
    }
    QCOMPARE(statement->currentText(), text);
    QCOMPARE(unit->currentIndex(), unitIndex);
    QVERIFY(open.form.verticalScrollBar()->value() > 0);
    QVERIFY(!open.doc.IsModified());
  }

  void WithEditingForbiddenEveryControlIsDisabled() {
    m_app->editingAllowed = false;
    OpenForm open(Demo());
    int controls = 0;
    for (QWidget* child :
         open.form.GetForm()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      if (child->focusPolicy() != Qt::NoFocus) {
        ++controls;
        QVERIFY(!child->isEnabled());
      }
    }
    QCOMPARE(controls, 31);
  }

  void TheFrameOfAnA4PageHasItsBoxesColumnsAndFooter() {
    OpenForm open(FullHeaderRecord());
    open.Get<QLineEdit>(kIdcLastName)->setText(QStringLiteral("Rossi"));  // not saved
    CRecordingDC page;  // printable area 200 × 287 mm
    page.SetMapMode(MM_LOMETRIC);
    QVERIFY(open.doc.TakePatientEdits());
    QCOMPARE(PrintPatientHeader(&page, open.doc.Patient()), CRect(78, -253, 1952, -2818));

    const std::vector<CRecordedCall> boxes = page.Calls(CRecordedCall::Kind::kRectangle);
    QCOMPARE(static_cast<int>(boxes.size()), 2);
    QCOMPARE(boxes[0].rect, CRect(78, -1, 1952, -252));
    QCOMPARE(boxes[1].rect, CRect(78, -2819, 1952, -2870));
    QCOMPARE(boxes[0].brush.Style(), BS_NULL);

    const std::vector<CRecordedCall> texts = page.Calls(CRecordedCall::Kind::kText);
    QCOMPARE(static_cast<int>(texts.size()), 4 + 6 + 1);  // no sex line: code 9 has no entry
    QCOMPARE(texts[1].text, QString::fromLatin1("Name: Rossi Ren\xe9"));
    for (int line = 0; line < 4; ++line) {
      QCOMPARE(texts[line].from, CPoint(88, -2 - 30 * line));
      QCOMPARE(texts[line].rect, CRect(88, -2 - 30 * line, 995, -252));
      QCOMPARE(texts[line].options, ETO_OPAQUE | ETO_CLIPPED);
      QCOMPARE(texts[line].font.lfHeight, 30);
    }
    QCOMPARE(texts[4].from, CPoint(995, -32));
    QCOMPARE(texts[9].rect, CRect(995, -182, 1952, -252));
    QCOMPARE(texts[10].from, CPoint(88, -2830));
    QCOMPARE(texts[10].rect, CRect(88, -2830, 1942, -2860));
    QCOMPARE(texts[10].text,
             QStringLiteral("VELMORA 17/05/2024 09:30 25 mm/s 10 mm/mVHP  0.05 Hz LP 150 Hz50 Hz"));
    QVERIFY(m_app->prompts.isEmpty());
    QCOMPARE(FirstOf(ItemsOf(open.doc.m_pRecord, 1), kScpTagLastName),
             MakeItem(kScpTagLastName, Text("Demo")));  // printing changes no record
  }

  void TheFooterCarriesOnlyTheFilterLabelsThatAreSet() {
    PatientFields fields;
    fields.m_strAcqDate = QStringLiteral("05/06/1998");
    fields.m_strAcqTime = QStringLiteral("08:30");
    QCOMPARE(PatientFooterText(fields),
             QStringLiteral("VELMORA 05/06/1998 08:30 25 mm/s 10 mm/mV"));
    fields.m_bLowPassLabel = true;
    fields.m_nLowPassFilter = 100;
    QVERIFY(PatientFooterText(fields).endsWith(QStringLiteral("10 mm/mVLP 100 Hz")));
    fields.m_bLowPassLabel = false;
    fields.m_b60HzLabel = true;
    QVERIFY(PatientFooterText(fields).endsWith(QStringLiteral("10 mm/mV60 Hz")));
  }
};

QTEST_MAIN(PatientFormTest)
#include "PatientFormTest.moc"
