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

  void HeartRateTruncatesSixtyThousandOverTheRrInterval() {
    QCOMPARE(HeartRateText(800), QString("75 bpm"));
    QCOMPARE(HeartRateText(857), QString("70 bpm"));
    QCOMPARE(HeartRateText(1), QString("60000 bpm"));
  }

  void HeartRateOfAZeroRrIntervalIsNotDetermined() { QCOMPARE(HeartRateText(0), QString("N.D.")); }

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
