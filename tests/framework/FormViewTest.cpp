// Form views: data exchange between fields and controls, and its three messages.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

#include "FrameworkTestDoubles.h"
#include "framework/CDataExchange.h"
#include "framework/CFormView.h"

namespace {

constexpr int kIdcName = 1001;
constexpr int kIdcInstitution = 1020;
constexpr int kIdcSystolic = 1010;
constexpr int kIdcWeight = 1008;
constexpr int kIdcPhysician = 1026;
constexpr int kIdcSex = 1006;
constexpr int kIdcConfirmed = 1030;
constexpr int kMaxPhysicianChars = 80;

class PatientForm : public CFormView {
 public:
  PatientForm() {
    m_pName = Add<QLineEdit>(kIdcName);
    m_pInstitution = Add<QPlainTextEdit>(kIdcInstitution);
    m_pSystolic = Add<QLineEdit>(kIdcSystolic);
    m_pWeight = Add<QLineEdit>(kIdcWeight);
    m_pPhysician = Add<QLineEdit>(kIdcPhysician);
    m_pSex = Add<QComboBox>(kIdcSex);
    m_pSex->addItems({QStringLiteral("not known"), QStringLiteral("male"), QStringLiteral("female"),
                      QStringLiteral("unspecified")});
    m_pConfirmed = Add<QCheckBox>(kIdcConfirmed);
  }

  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, kIdcName, m_strName);
    DDX_Text(dx, kIdcInstitution, m_strInstitution);
    DDX_Text(dx, kIdcSystolic, m_nSystolic);
    DDX_Text(dx, kIdcWeight, m_nWeight);
    DDX_Text(dx, kIdcPhysician, m_strPhysician);
    DDV_MaxChars(dx, m_strPhysician, kMaxPhysicianChars);
    DDX_CBIndex(dx, kIdcSex, m_nSex);
    DDX_Check(dx, kIdcConfirmed, m_bConfirmed);
  }

  template <class Control>
  Control* Add(int id) {
    auto* control = new Control(GetForm());
    SetDlgItem(id, control);
    return control;
  }

  QString m_strName;
  QString m_strInstitution;
  int m_nSystolic = 0;
  unsigned int m_nWeight = 0;
  QString m_strPhysician;
  int m_nSex = 3;
  int m_bConfirmed = 0;

  QLineEdit* m_pName;
  QPlainTextEdit* m_pInstitution;
  QLineEdit* m_pSystolic;
  QLineEdit* m_pWeight;
  QLineEdit* m_pPhysician;
  QComboBox* m_pSex;
  QCheckBox* m_pConfirmed;
};

}  // namespace

class FormViewTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TestApp> m_app;
  std::unique_ptr<PatientForm> m_form;

 private slots:
  void init() {
    m_app = std::make_unique<TestApp>();
    m_form = std::make_unique<PatientForm>();
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
  }
  void cleanup() {
    m_form.reset();
    m_app.reset();
  }

  void FillingCopiesEveryFieldIntoItsControl() {
    m_form->m_strName = QStringLiteral("JOHN");
    m_form->m_strInstitution = QStringLiteral("Line one\nLine two");
    m_form->m_nSystolic = 0;
    m_form->m_nWeight = 70;
    m_form->m_nSex = 2;
    m_form->m_bConfirmed = 1;
    QVERIFY(m_form->UpdateData(false));
    QCOMPARE(m_form->m_pName->text(), QStringLiteral("JOHN"));
    QCOMPARE(m_form->m_pInstitution->toPlainText(), QStringLiteral("Line one\nLine two"));
    QCOMPARE(m_form->m_pSystolic->text(), QStringLiteral("0"));
    QCOMPARE(m_form->m_pWeight->text(), QStringLiteral("70"));
    QCOMPARE(m_form->m_pSex->currentText(), QStringLiteral("female"));
    QVERIFY(m_form->m_pConfirmed->isChecked());
    QCOMPARE(m_form->m_pPhysician->maxLength(), kMaxPhysicianChars);
  }

  void AListPositionOutsideTheListLeavesNoSelection() {
    m_form->m_nSex = 9;
    m_form->UpdateData(false);
    QCOMPARE(m_form->m_pSex->currentIndex(), -1);
    m_form->m_pSystolic->setText(QStringLiteral("120"));
    m_form->m_pWeight->setText(QStringLiteral("70"));
    QVERIFY(m_form->UpdateData(true));
    QCOMPARE(m_form->m_nSex, -1);
  }

  void SavingReadsNumbersWithBlanksAndSigns() {
    m_form->m_pSystolic->setText(QStringLiteral("  -12 "));
    m_form->m_pWeight->setText(QStringLiteral("+70"));
    m_form->m_pConfirmed->setChecked(true);
    QVERIFY(m_form->UpdateData(true));
    QCOMPARE(m_form->m_nSystolic, -12);
    QCOMPARE(m_form->m_nWeight, 70u);
    QCOMPARE(m_form->m_bConfirmed, 1);
    QVERIFY(m_app->prompts.isEmpty());
  }

  void ASignedFieldThatIsNotANumberStopsTheExchangeThere() {
    m_form->m_pName->setText(QStringLiteral("MARIO"));
    m_form->m_pSystolic->setText(QString());  // empty is not a number either
    m_form->m_pWeight->setText(QStringLiteral("70"));
    m_form->m_pConfirmed->setChecked(true);
    QVERIFY(!m_form->UpdateData(true));
    QCOMPARE(m_app->prompts, QStringList{QStringLiteral("Digitare un numero intero.")});
    QCOMPARE(m_form->m_strName, QStringLiteral("MARIO"));  // before the failure: taken
    QCOMPARE(m_form->m_nWeight, 0u);                       // after it: kept
    QCOMPARE(m_form->m_bConfirmed, 0);
    QCOMPARE(QApplication::focusWidget(), m_form->m_pSystolic);
  }

  void AnUnsignedFieldRefusesSignsAndTooLargeNumbers() {
    m_form->m_pSystolic->setText(QStringLiteral("120"));
    for (const char* entry : {"-5", "4294967296", "7kg"}) {
      m_app->prompts.clear();
      m_form->m_pWeight->setText(QString::fromLatin1(entry));
      QVERIFY(!m_form->UpdateData(true));
      QCOMPARE(m_app->prompts, QStringList{QStringLiteral("Digitare un numero intero positivo.")});
    }
    m_form->m_pWeight->setText(QStringLiteral("4294967295"));
    QVERIFY(m_form->UpdateData(true));
    QCOMPARE(m_form->m_nWeight, 4294967295u);
  }

  void ATooLongTextReportsTheLimit() {
    m_form->m_pSystolic->setText(QStringLiteral("120"));
    m_form->m_pWeight->setText(QStringLiteral("70"));
    m_form->m_pPhysician->setMaxLength(32767);
    m_form->m_pPhysician->setText(QString(81, QLatin1Char('x')));
    QVERIFY(!m_form->UpdateData(true));
    QCOMPARE(m_app->prompts, QStringList{QStringLiteral("Non digitare più di 80 caratteri.")});
    QCOMPARE(QApplication::focusWidget(), m_form->m_pPhysician);
  }

  void DialogUnitsFollowTheFormFont() {
    const CRect mapped = m_form->MapDialogRect(CRect(0, 0, 4, 8));
    const QFontMetricsF metrics(m_form->GetForm()->font());
    QVERIFY(mapped.right > 0);
    QCOMPARE(mapped.bottom, qRound(metrics.height()));
  }
};

QTEST_MAIN(FormViewTest)
#include "FormViewTest.moc"
