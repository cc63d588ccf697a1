#include <QBitmap>
#include <QSet>
#include <QtTest>

#include <iterator>

#include "app/Resources.h"
#include "app/Toolbar.h"
#include "framework/ResourceTable.h"
#include "resources/ResourceIds.h"

namespace {

// The sixteen colours of the classic palette the toolbar images are drawn in.
const QSet<QRgb> kSixteenColours = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};

const int kButtonCommands[] = {ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW,
                               kCmdCaliperTool};

bool IsBlack(QRgb pixel) {
  return qAlpha(pixel) == 255 && qGray(pixel) == 0;
}

// Distance from the hot spot to the first black pixel met walking in direction (dx, dy).
int DistanceToBlack(const QImage& image, QPoint from, int dx, int dy) {
  for (int step = 1; step < image.width(); ++step) {
    const QPoint at = from + QPoint(dx * step, dy * step);
    if (!image.valid(at)) {
      return -1;
    }
    if (IsBlack(image.pixel(at))) {
      return step;
    }
  }
  return -1;
}

}  // namespace

class ResourceImagesTest : public QObject {
  Q_OBJECT

 private slots:
  void ToolbarImagesAre21By20InTheSixteenColoursOnTransparency() {
    for (int command : kButtonCommands) {
      const QImage image = ToolbarButtonImage(command).convertToFormat(QImage::Format_ARGB32);
      QCOMPARE(image.size(), QSize(kToolbarImageWidth, kToolbarImageHeight));
      int opaque = 0;
      int transparent = 0;
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
          const QRgb pixel = image.pixel(x, y);
          if (qAlpha(pixel) == 0) {
            ++transparent;
            continue;
          }
          QCOMPARE(qAlpha(pixel), 255);
          QVERIFY2(kSixteenColours.contains(pixel | 0xFF000000u),
                   qPrintable(QString::number(command)));
          ++opaque;
        }
      }
      QVERIFY(opaque > 100);
      QVERIFY(transparent > 0);
    }
  }

  void EachToolbarButtonHasItsOwnImage() {
    constexpr int kButtons = static_cast<int>(std::size(kButtonCommands));
    for (int first = 0; first < kButtons; ++first) {
      for (int second = first + 1; second < kButtons; ++second) {
        QVERIFY(ToolbarButtonImage(kButtonCommands[first]) !=
                ToolbarButtonImage(kButtonCommands[second]));
      }
    }
  }

  void CommandsWithoutAButtonHaveNoImage() {
    QVERIFY(ToolbarButtonImage(ID_FILE_CLOSE).isNull());
    QVERIFY(ToolbarButtonImage(0).isNull());
    QVERIFY(ToolbarButtonIcon(ID_FILE_SAVE_AS).isNull());
    QVERIFY(!ToolbarButtonIcon(ID_FILE_SAVE).isNull());
  }

  void IconsComeAtThreeSizesAndDifferFromEachOther() {
    for (int id : {kIdrMainFrame, kIdrDocument}) {
      const QIcon icon = ResourceIcon(id);
      QVERIFY(!icon.isNull());
      const QList<QSize> sizes = icon.availableSizes();
      QVERIFY(sizes.contains(QSize(16, 16)));
      QVERIFY(sizes.contains(QSize(32, 32)));
      QVERIFY(sizes.contains(QSize(48, 48)));
    }
    QVERIFY(IconImage(kIdrMainFrame, 32) != IconImage(kIdrDocument, 32));
  }

  void IconsAreDrawnInsideATransparentMargin() {
    for (int id : {kIdrMainFrame, kIdrDocument}) {
      const QImage image = IconImage(id, 32);
      QCOMPARE(image.size(), QSize(32, 32));
      QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
      QCOMPARE(qAlpha(image.pixel(16, 16)), 255);
    }
  }

  void UnknownIconIdsAndSizesGiveNothing() {
    QVERIFY(IconImage(130, 32).isNull());
    QVERIFY(IconImage(kIdrMainFrame, 0).isNull());
    QVERIFY(ResourceIcon(kCursorMagnifier).isNull());
  }

  void MagnifierIsBlackAndWhiteOnTransparency() {
    const QImage image = MagnifierImage();
    QCOMPARE(image.size(), QSize(32, 32));
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, y);
        if (qAlpha(pixel) != 0) {
          colours.insert(pixel);
        }
      }
    }
    QCOMPARE(colours, (QSet<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
  }

  void MagnifierHotSpotIsTheCentreOfItsLens() {
    const QImage image = MagnifierImage();
    const QPoint hotSpot = MagnifierHotSpot();
    QCOMPARE(qAlpha(image.pixel(hotSpot)), 0);  // one sees through the lens
    const int right = DistanceToBlack(image, hotSpot, 1, 0);
    QVERIFY(right > 2);
    QCOMPARE(DistanceToBlack(image, hotSpot, -1, 0), right);
    QCOMPARE(DistanceToBlack(image, hotSpot, 0, 1), right);
    QCOMPARE(DistanceToBlack(image, hotSpot, 0, -1), right);
  }

  void TheMagnifierCursorIsMonochrome() {
    const QCursor cursor = ResourceCursor(kCursorMagnifier);
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    QCOMPARE(cursor.hotSpot(), MagnifierHotSpot());
    const QImage bitmap = cursor.bitmap().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage mask = cursor.mask().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage image = MagnifierImage();
    QCOMPARE(bitmap.size(), QSize(32, 32));
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        const QRgb pixel = image.pixel(x, y);
        const bool drawn = qAlpha(pixel) != 0;
        QCOMPARE(qGray(mask.pixel(x, y)) == 0, drawn);  // color1, black, marks a set bit
        if (drawn) {
          QCOMPARE(qGray(bitmap.pixel(x, y)) == 0, IsBlack(pixel));
        }
      }
    }
  }

  void OtherCursorIdsGiveTheArrow() {
    QCOMPARE(ResourceCursor(kIdrMainFrame).shape(), Qt::ArrowCursor);
  }

  void FrameworkFindsCursorAndIconsOnceInstalled() {
    SetResourceTable(QuillonResourceTable());
    QCOMPARE(LoadCursor(kCursorMagnifier).shape(), Qt::BitmapCursor);
    QVERIFY(!LoadIcon(kIdrDocument).isNull());
    QVERIFY(LoadIcon(1).isNull());
    SetResourceTable(ResourceTable());
  }
};

QTEST_MAIN(ResourceImagesTest)
#include "ResourceImagesTest.moc"
