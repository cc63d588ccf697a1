#include "document/CDateText.h"

#include "document/TextNumber.h"

namespace {

constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2099;
constexpr int kLastTwoDigitYear = 99;  // 0 to 99 take the century of the last 100 years
constexpr int kCentury = 100;
constexpr int kFebruary = 2;
constexpr int kLeapDay = 29;
constexpr int kLeapYearCycle = 4;  // no century rule: within 1900 to 2099 only 1900 differs
constexpr int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

}  // namespace

void CDateText::SetFromTime(const QDateTime& time) {
  const QDate date = time.toLocalTime().date();
  m_nDay = date.day();
  m_nMonth = date.month();
  m_nYear = date.year();
  m_strText = QString::asprintf("%02d/%02d/%04d", m_nDay, m_nMonth, m_nYear);
}

void CDateText::SetToday(const QDate& today) {
  m_today = today;
}

int CDateText::WidenTwoDigitYear(int twoDigitYear) const {
  const QDate today = m_today.isValid() ? m_today : QDate::currentDate();
  int year = today.year() / kCentury * kCentury + twoDigitYear;
  // A date after today belongs to the century before: "15/06/10" is a child's birth in 2010,
  // "15/06/60" a birth in 1960.
  const bool afterToday =
      year > today.year() ||
      (year == today.year() &&
       (m_nMonth > today.month() || (m_nMonth == today.month() && m_nDay > today.day())));
  if (afterToday) {
    year -= kCentury;
  }
  return year;
}

void CDateText::SetText(const QString& text) {
  m_strText = text;
}

bool CDateText::IsValid() {
  QStringView rest(m_strText);

  const qsizetype yearSlash = rest.lastIndexOf(u'/');
  if (yearSlash < 0) {
    return false;
  }
  m_nYear = ReadLeadingInteger(rest.mid(yearSlash + 1));
  rest = rest.left(yearSlash);

  const qsizetype monthSlash = rest.lastIndexOf(u'/');
  if (monthSlash < 0) {
    return false;
  }
  m_nMonth = ReadLeadingInteger(rest.mid(monthSlash + 1));
  rest = rest.left(monthSlash);

  m_nDay = ReadLeadingInteger(rest);

  if (m_nYear >= 0 && m_nYear <= kLastTwoDigitYear) {
    m_nYear = WidenTwoDigitYear(m_nYear);
  }
  if (m_nYear < kFirstYear || m_nYear > kLastYear) {
    return false;
  }
  if (m_nMonth < 1 || m_nMonth > 12) {
    return false;
  }
  if (m_nDay == kLeapDay && m_nMonth == kFebruary && m_nYear % kLeapYearCycle == 0) {
    return true;
  }
  return m_nDay >= 1 && m_nDay <= kDaysInMonth[m_nMonth - 1];
}
