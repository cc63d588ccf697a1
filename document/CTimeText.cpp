#include "document/CTimeText.h"

#include "document/TextNumber.h"

namespace {

constexpr int kLastHour = 23;
constexpr int kLastMinute = 59;
constexpr int kLastSecond = 59;
constexpr int kLastFraction = 999;

bool InRange(int value, int last) {
  return value >= 0 && value <= last;
}

}  // namespace

void CTimeText::SetFromTime(const QDateTime& time) {
  const QTime local = time.toLocalTime().time();
  m_nHour = local.hour();
  m_nMinute = local.minute();
  m_nSecond = local.second();
  m_nFraction = 0;
  m_strText = QString::asprintf("%02d:%02d:%02d", m_nHour, m_nMinute, m_nSecond);
}

void CTimeText::SetText(const QString& text) {
  m_strText = text;
}

bool CTimeText::IsValid() {
  QStringView rest(m_strText);

  const qsizetype point = rest.lastIndexOf(u'.');
  const bool hasFraction = point >= 0;
  if (hasFraction) {
    m_nFraction = ReadLeadingInteger(rest.mid(point + 1));
    rest = rest.left(point);
  } else {
    m_nFraction = 0;
  }

  const qsizetype lastColon = rest.lastIndexOf(u':');
  if (lastColon < 0) {
    m_nSecond = ReadLeadingInteger(rest);
    m_nMinute = 0;
    m_nHour = 0;
  } else {
    const int last = ReadLeadingInteger(rest.mid(lastColon + 1));
    rest = rest.left(lastColon);
    const qsizetype firstColon = rest.lastIndexOf(u':');
    if (firstColon >= 0) {
      m_nSecond = last;
      m_nMinute = ReadLeadingInteger(rest.mid(firstColon + 1));
      m_nHour = ReadLeadingInteger(rest.left(firstColon));
    } else if (hasFraction) {
      m_nSecond = last;
      m_nMinute = ReadLeadingInteger(rest);
      m_nHour = 0;
    } else {
      m_nSecond = 0;
      m_nMinute = last;
      m_nHour = ReadLeadingInteger(rest);
    }
  }

  return InRange(m_nHour, kLastHour) && InRange(m_nMinute, kLastMinute) &&
         InRange(m_nSecond, kLastSecond) && InRange(m_nFraction, kLastFraction);
}
