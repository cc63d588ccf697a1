#include "app/CAboutDlg.h"

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include "app/Resources.h"
#include "app/StringTable.h"
#include "resources/ResourceIds.h"

namespace {

constexpr int kIconPixels = 32;

// Converts dialog units to pixels: a horizontal unit is a quarter of the font's average
// character width, a vertical unit an eighth of its height.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_nCharWidth = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    m_nCharHeight = metrics.height();
  }
  QRect Rect(int x, int y, int width, int height) const {
    return QRect(X(x), Y(y), X(width), Y(height));
  }
  int X(int units) const { return units * m_nCharWidth / 4; }
  int Y(int units) const { return units * m_nCharHeight / 8; }

 private:
  int m_nCharWidth;
  int m_nCharHeight;
};

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  QFont font(QStringLiteral("Arial"));
  font.setPointSize(8);
  setFont(font);
  setWindowTitle(StringText(kIdsMenuAbout).remove(QLatin1Char('&')));
  const DialogUnits units(font);
  setFixedSize(units.X(227), units.Y(77));

  auto* icon = new QLabel(this);
  icon->setPixmap(ResourceIcon(kIdrMainFrame).pixmap(kIconPixels, kIconPixels));
  icon->setGeometry(units.X(5), units.Y(11), kIconPixels, kIconPixels);

  auto* text = new QLabel(QStringLiteral("Quillon 2.0"), this);
  text->setGeometry(units.Rect(40, 11, 119, 12));

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(units.Rect(169, 11, 43, 14));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
