#include "document/CTimeText.h"

#include <gtest/gtest.h>

namespace {

struct Parts {
  bool valid;
  int hour;
  int minute;
  int second;
  int fraction;
};

Parts Parse(const QString& text) {
  CTimeText time;
  time.SetText(text);
  const bool valid = time.IsValid();
  return {valid, time.Hour(), time.Minute(), time.Second(), time.Fraction()};
}

void ExpectParts(const QString& text, int hour, int minute, int second, int fraction) {
  const Parts parts = Parse(text);
  EXPECT_TRUE(parts.valid) << text.toStdString();
  EXPECT_EQ(parts.hour, hour) << text.toStdString();
  EXPECT_EQ(parts.minute, minute) << text.toStdString();
  EXPECT_EQ(parts.second, second) << text.toStdString();
  EXPECT_EQ(parts.fraction, fraction) << text.toStdString();
}

TEST(CTimeText, ReadsTwoPartsAsHoursAndMinutesWithoutAFraction) {
  ExpectParts("08:30", 8, 30, 0, 0);
  ExpectParts("23:59", 23, 59, 0, 0);
}

TEST(CTimeText, ReadsTwoPartsAsMinutesAndSecondsBeforeAFraction) {
  ExpectParts("30:15.250", 0, 30, 15, 250);
}

TEST(CTimeText, ReadsThreePartsAsHoursMinutesAndSeconds) {
  ExpectParts("08:30:15", 8, 30, 15, 0);
  ExpectParts("08:30:15.5", 8, 30, 15, 5);
}

TEST(CTimeText, ReadsOnePartAsSeconds) {
  ExpectParts("45", 0, 0, 45, 0);
  ExpectParts("12.5", 0, 0, 12, 5);  // the fraction's digits are a whole number
}

TEST(CTimeText, ReadsAnEmptyTextAsMidnight) {
  ExpectParts("", 0, 0, 0, 0);
}

TEST(CTimeText, RejectsPartsOutOfRange) {
  EXPECT_FALSE(Parse("24:00").valid);
  EXPECT_FALSE(Parse("12:60").valid);
  EXPECT_FALSE(Parse("12:30:60").valid);
  EXPECT_FALSE(Parse("1.1000").valid);
  EXPECT_TRUE(Parse("1.999").valid);
  EXPECT_FALSE(Parse("-1:00").valid);
  EXPECT_FALSE(Parse("12:-5").valid);
}

TEST(CTimeText, KeepsWhatWasParsedWhenInvalid) {
  const Parts parts = Parse("12:30:60");
  EXPECT_FALSE(parts.valid);
  EXPECT_EQ(parts.hour, 12);
  EXPECT_EQ(parts.minute, 30);
  EXPECT_EQ(parts.second, 60);
}

TEST(CTimeText, ReadsEachPartLikeAtoi) {
  ExpectParts(" 8: 05", 8, 5, 0, 0);
  ExpectParts("8h:05m", 8, 5, 0, 0);
  ExpectParts("ab:cd", 0, 0, 0, 0);
}

TEST(CTimeText, RejectsAbsurdDigitRunsWithoutOverflowing) {
  EXPECT_FALSE(Parse("99999999999999999999:00").valid);
  EXPECT_FALSE(Parse("4294967296:00").valid);  // 2^32 must not wrap to 0
  EXPECT_FALSE(Parse("1.99999999999999999999").valid);
}

TEST(CTimeText, WritesTheLocalTimeWithSecondsAndNoFraction) {
  CTimeText time;
  time.SetFromTime(QDateTime(QDate(1998, 6, 5), QTime(8, 5, 9, 750)));
  EXPECT_EQ(time.Text(), "08:05:09");
  EXPECT_EQ(time.Hour(), 8);
  EXPECT_EQ(time.Minute(), 5);
  EXPECT_EQ(time.Second(), 9);
  EXPECT_EQ(time.Fraction(), 0);
}

}  // namespace
