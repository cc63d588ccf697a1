// A date as the user types it, day first with slashes ("05/06/1998"), and its day, month and year.
#pragma once

#include <QDateTime>
#include <QString>

class CDateText {
 public:
  // Takes day, month and year from the local calendar date of `time` and writes them as
  // "DD/MM/YYYY".
  void SetFromTime(const QDateTime& time);

  // The date two-digit years are read against; the local calendar date when none is set.
  void SetToday(const QDate& today);

  // Replaces the text; the parts keep their values until the next IsValid.
  void SetText(const QString& text);

  // Parses the text from its right end into year, month and day, then checks them. Accepts
  // "day/month/year" with a year from 1900 to 2099 (a two-digit year 0 to 99 takes the century
  // that puts the date within the 100 years up to today)
  // and a day that exists in that month, where 29 February counts in every year divisible by 4.
  // Each part is read like C's atoi, so "1/1/98" and " 5/ 6/1998" are accepted. Returns false for
  // fewer than two slashes or any part out of range. The parts keep whatever was parsed, valid or
  // not; those not reached before a missing slash keep their previous values.
  bool IsValid();

  const QString& Text() const { return m_strText; }
  int Day() const { return m_nDay; }
  int Month() const { return m_nMonth; }
  int Year() const { return m_nYear; }

 private:
  int WidenTwoDigitYear(int twoDigitYear) const;

  QString m_strText;
  QDate m_today;
  int m_nDay = 0;
  int m_nMonth = 0;
  int m_nYear = 0;
};
