// The texts of the measurement table (markers, number formats, morphology names, heart rate) and
// the lead labels of every view.
#include <QtTest>

#include "resources/ResourceIds.h"
#include "tests/views/ViewTestSupport.h"
#include "views/LeadLabel.h"
#include "views/MeasureText.h"

class MeasureTextTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallViewTestResources(); }

  void MarkersWinOverEveryRowsFormat() {
    for (int row = 0; row < kMeasureRowCount; ++row) {
      QCOMPARE(MeasureValueText(row, 29999), QString("N.D."));
      QCOMPARE(MeasureValueText(row, 29998), QString("Error"));
      QCOMPARE(MeasureValueText(row, 19999), QString("N.T."));
    }
  }

  void DurationsAndAmplitudesArePaddedToFiveCharacters() {
    QCOMPARE(MeasureValueText(0, 84), QString("   84"));
    QCOMPARE(MeasureValueText(11, -120), QString(" -120"));
    QCOMPARE(MeasureValueText(19, 7), QString("    7"));
    QCOMPARE(MeasureValueText(23, 40), QString("   40"));
    QCOMPARE(MeasureValueText(28, -5), QString("   -5"));
    QCOMPARE(MeasureValueText(2, 123456), QString("123456"));  // never cut to five
  }

  void DurationsShowTheirValueAsUnsigned() {
    // A negative value in an unsigned row shows as the 32-bit unsigned number it widens to.
    QCOMPARE(MeasureValueText(3, -1), QString("4294967295"));
  }

  void MorphologiesShowTheirNamesAndUnknownCodesAPlaceholder() {
    QCOMPARE(MeasureValueText(20, 5), QString("PNP"));
    QCOMPARE(MeasureValueText(20, 0), QString("??"));
    QCOMPARE(MeasureValueText(21, 8), QString("W"));
    QCOMPARE(MeasureValueText(21, 9), QString("N.D."));
    QCOMPARE(MeasureValueText(20, -1), QString("N.D."));
  }

  void TheQualityRowNeverShowsItsValue() {
    QCOMPARE(MeasureValueText(25, 3), QString("???"));
    QCOMPARE(MeasureValueText(25, -7), QString("???"));
  }

  // The rate is 60000 / RR truncated; a marker in the RR interval wins over the division, which
  // would turn 29999 into "2 bpm".
  void HeartRateIsComputedOnlyFromAMeasuredRrInterval_data() {
    QTest::addColumn<int>("rrInterval");
    QTest::addColumn<bool>("hasGlobals");
    QTest::addColumn<QString>("shown");
    QTest::newRow("800 ms") << 800 << true << "75 bpm";
    QTest::newRow("857 ms") << 857 << true << "70 bpm";
    QTest::newRow("1 ms") << 1 << true << "60000 bpm";
    QTest::newRow("0 ms") << 0 << true << "N.D.";
    QTest::newRow("not determined") << 29999 << true << "N.D.";
    QTest::newRow("error") << 29998 << true << "Error";
    QTest::newRow("not tested") << 19999 << true << "N.T.";
    QTest::newRow("no global measurements") << 800 << false << "N.D.";
  }
  void HeartRateIsComputedOnlyFromAMeasuredRrInterval() {
    QFETCH(int, rrInterval);
    QFETCH(bool, hasGlobals);
    QFETCH(QString, shown);
    MeasurementModel model;
    model.m_globalHeader.rrInterval = static_cast<uint16_t>(rrInterval);
    model.m_bHasGlobals = hasGlobals ? 1 : 0;
    QCOMPARE(HeartRateText(model.HeartRate()), shown);
  }

  void TimesAreUnsignedAndAxesSignedWithTheDegreeSign() {
    QCOMPARE(TimeText(65535, " ms  "), QString("65535 ms  "));
    QCOMPARE(AxisText(-30), QString("-30 \u00B0"));
  }

  void LeadLabelsNameTheNamedCodesAndNumberTheRest() {
    QCOMPARE(LeadLabel(1), QString("I"));
    QCOMPARE(LeadLabel(64), QString("aVF"));
    QCOMPARE(LeadLabel(65), QString("-aVR"));
    // Past the last named code a label is the number, never a neighbouring string of the table.
    QCOMPARE(LeadLabel(66), QString("66"));
    QCOMPARE(LeadLabel(95), QString("95"));
    QCOMPARE(LeadLabel(0), QString("0"));
  }
};

QTEST_GUILESS_MAIN(MeasureTextTest)
#include "MeasureTextTest.moc"
