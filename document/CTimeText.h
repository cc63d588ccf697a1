// A time of day as the user types it ("08:30", "08:30:15", "30:15.250") and its parts.
#pragma once

#include <QDateTime>
#include <QString>

class CTimeText {
 public:
  // Takes hour, minute and second from the local time of `time`, sets the fraction to 0, and
  // writes "HH:MM:SS".
  void SetFromTime(const QDateTime& time);

  // Replaces the text; the parts keep their values until the next IsValid.
  void SetText(const QString& text);

  // Parses the text from its right end, then checks the parts. An optional ".digits" at the end is
  // the fraction, its digits read as a whole number (".5" is 5, ".250" is 250). Before it:
  //   h:m:s      hour, minute, second
  //   a:b        minutes and seconds when a fraction was given, else hours and minutes
  //   s          seconds only (an empty text is 00:00:00)
  // Each part is read like C's atoi. Returns true when the hour is 0 to 23, the minute and second
  // 0 to 59 and the fraction 0 to 999. The parts keep what was parsed, valid or not.
  bool IsValid();

  const QString& Text() const { return m_strText; }
  int Hour() const { return m_nHour; }
  int Minute() const { return m_nMinute; }
  int Second() const { return m_nSecond; }
  int Fraction() const { return m_nFraction; }

 private:
  QString m_strText;
  int m_nHour = -1;
  int m_nMinute = -1;
  int m_nSecond = -1;
  int m_nFraction = -1;
};
