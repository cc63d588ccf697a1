#include "views/PatientHeaderPrinter.h"

#include "document/PatientModel.h"
#include "framework/CDC.h"
#include "framework/ResourceTable.h"
#include "resources/ResourceIds.h"
#include "views/PatientListTexts.h"
#include "views/ViewFont.h"

namespace {

constexpr int kLometricPerMillimetre = 10;
constexpr int kFontHeightLometric = 40;  // 4 mm; printed at 3 mm

// Boxes: the header 25 mm high at the top, the footer 5 mm high at the bottom of the printable
// area, both from 7.8 mm inside the left edge to 4.8 mm inside the right edge.
constexpr int kBoxLeft = 78;
constexpr int kBoxRightInset = 48;
constexpr int kHeaderTop = -2;
constexpr int kHeaderBottom = -252;
constexpr int kFooterHeight = 50;
constexpr int kTextInset = 10;   // 1 mm from a box's edge to its text
constexpr int kColumnGap = 20;   // between the left column's clip and the middle
constexpr int kLineHeight = 30;  // 3 mm: the printed font and the line pitch
constexpr int kFirstLineY = -2;
constexpr int kFirstStatementY = -32;

QString Label(int id) {
  return LoadString(id) + QStringLiteral(": ");
}

// Draws one line at (left, top), blanking and clipping to its column from top down to bottom.
void DrawLine(CDC* dc, int left, int top, int right, int bottom, const QString& text) {
  const CRect column(left, top, right, bottom);
  dc->ExtTextOut(left, top, ETO_OPAQUE | ETO_CLIPPED, &column, text);
}

void DrawLeftColumn(CDC* dc, const PatientFields& f, const QString& sexText, int right) {
  const int left = kBoxLeft + kTextInset;
  QString lines[] = {
      f.m_strAcqDepartment + QLatin1Char(' ') + f.m_strAcqInstitution,
      Label(kIdsPrintName) + f.m_strLastName + QLatin1Char(' ') + f.m_strFirstName,
      Label(kIdsPrintPatientId) + f.m_strPatientId,
      Label(kIdsPrintBirthDate) + f.m_strBirthDate,
  };
  int y = kFirstLineY;
  for (const QString& line : lines) {
    DrawLine(dc, left, y, right, kHeaderBottom, line);
    y -= kLineHeight;
  }
  if (!sexText.isEmpty()) {
    DrawLine(dc, left, y, right, kHeaderBottom, Label(kIdsPrintSex) + sexText);
  }
}

void DrawStatements(CDC* dc, const PatientFields& f, int left, int right) {
  for (int i = 0; i < kStatementCount; ++i) {
    DrawLine(dc, left, kFirstStatementY - kLineHeight * i, right, kHeaderBottom,
             f.m_strStatement[i]);
  }
}

}  // namespace

QString PatientFooterText(const PatientFields& f, const PageScales& scales) {
  QString text = LoadString(kIdsPrintBrand) + QLatin1Char(' ') + f.m_strAcqDate + QLatin1Char(' ') +
                 f.m_strAcqTime + QLatin1Char(' ') + scales.speed + QLatin1Char(' ') + scales.gain;
  if (f.m_bHighPassLabel) {
    text += QString::asprintf("HP %5.2f Hz ", f.m_nHighPassLabel / 100.0);
  }
  if (f.m_bLowPassLabel) {
    text += QString::asprintf("LP %d Hz", static_cast<int>(f.m_nLowPassFilter));
  }
  if (f.m_b50HzLabel) {
    text += QStringLiteral("50 Hz");
  }
  if (f.m_b60HzLabel) {
    text += QStringLiteral("60 Hz");
  }
  if (!scales.note.isEmpty()) {
    text += QStringLiteral("  ") + scales.note;
  }
  return text;
}

CRect PatientFrameInterior(CDC* dc) {
  const int width = dc->GetDeviceCaps(HORZSIZE) * kLometricPerMillimetre;
  const int height = dc->GetDeviceCaps(VERTSIZE) * kLometricPerMillimetre;
  // The header's bottom less 1 and the footer's top, moved up 1 for its outline, plus 1.
  return CRect(kBoxLeft, kHeaderBottom - 1, width - kBoxRightInset, kFooterHeight - height + 2);
}

CRect PrintPatientFrame(CDC* dc, const PatientFields& fields, const QString& sexText,
                        LOGFONT* logFont, const PageScales& scales) {
  const int width = dc->GetDeviceCaps(HORZSIZE) * kLometricPerMillimetre;
  const int height = dc->GetDeviceCaps(VERTSIZE) * kLometricPerMillimetre;
  const int boxRight = width - kBoxRightInset;
  const CRect header(kBoxLeft, kHeaderTop, boxRight, kHeaderBottom);
  const CRect footer(kBoxLeft, kFooterHeight - height, boxRight, -height);

  logFont->lfHeight = kLineHeight;
  CFont font;
  font.CreateFontIndirect(logFont);
  const CFont previousFont = dc->SelectObject(font);
  const int middle = kBoxLeft + (boxRight - kBoxLeft) / 2 - kColumnGap;
  DrawLeftColumn(dc, fields, sexText, middle);
  DrawStatements(dc, fields, middle, boxRight);
  const CRect footerText(footer.left + kTextInset, footer.top - kTextInset,
                         footer.right - kTextInset, footer.bottom + kTextInset);
  dc->ExtTextOut(footerText.left, footerText.top, ETO_OPAQUE | ETO_CLIPPED, &footerText,
                 PatientFooterText(fields, scales));
  dc->SelectObject(previousFont);

  const CPen previousPen = dc->SelectObject(CPen::Stock(BLACK_PEN));
  dc->SelectObject(CBrush::Stock(NULL_BRUSH));
  dc->Rectangle(header.left, header.top + 1, header.right, header.bottom);
  dc->Rectangle(footer.left, footer.top + 1, footer.right, footer.bottom);
  dc->SelectObject(previousPen);
  return PatientFrameInterior(dc);
}

CRect PrintPatientHeader(CDC* dc, const PatientModel& patient, const PageScales& scales) {
  LOGFONT logFont = ViewFont(kFontHeightLometric);
  const QString sex = PatientListEntries(PatientList::kSex).value(patient.Fields().m_nSex);
  return PrintPatientFrame(dc, patient.Fields(), sex, &logFont, scales);
}
