#include "document/CDateText.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// Parses `text` into a fresh CDateText and returns it, so tests can look at the parts.
CDateText Parsed(const QString& text, bool* valid) {
  CDateText date;
  date.SetText(text);
  *valid = date.IsValid();
  return date;
}

bool Valid(const QString& text) {
  bool valid = false;
  Parsed(text, &valid);
  return valid;
}

TEST(CDateText, ReadsDayMonthYearInThatOrder) {
  bool valid = false;
  const CDateText date = Parsed("05/06/1998", &valid);
  EXPECT_TRUE(valid);
  EXPECT_EQ(date.Day(), 5);
  EXPECT_EQ(date.Month(), 6);
  EXPECT_EQ(date.Year(), 1998);
  EXPECT_FALSE(Valid("12/31/1998"));  // month 31
}

// A two-digit year takes the century that puts the date within the 100 years up to today.
TEST(CDateText, WidensTwoDigitYearsIntoTheHundredYearsUpToToday) {
  const QDate today(2026, 12, 9);
  const struct {
    const char* text;
    int year;
  } cases[] = {
      {"01/01/98", 1998}, {"15/06/10", 2010}, {"01/01/0", 2000},  {"09/12/26", 2026},
      {"10/12/26", 1926}, {"01/01/27", 1927}, {"31/12/25", 2025},
  };
  for (const auto& c : cases) {
    CDateText date;
    date.SetToday(today);
    date.SetText(QString::fromLatin1(c.text));
    EXPECT_TRUE(date.IsValid()) << c.text;
    EXPECT_EQ(date.Year(), c.year) << c.text;
  }
  bool valid = false;
  EXPECT_EQ(Parsed("01/01/100", &valid).Year(), 100);
  EXPECT_FALSE(valid);
}

TEST(CDateText, AcceptsYearsFrom1900To2099Only) {
  EXPECT_TRUE(Valid("01/01/1900"));
  EXPECT_TRUE(Valid("31/12/2099"));
  EXPECT_FALSE(Valid("31/12/1899"));
  EXPECT_FALSE(Valid("01/01/2100"));
}

TEST(CDateText, AcceptsOnlyDaysThatTheMonthHas) {
  EXPECT_TRUE(Valid("30/04/1998"));
  EXPECT_FALSE(Valid("31/04/1998"));
  EXPECT_TRUE(Valid("31/12/1998"));
  EXPECT_FALSE(Valid("00/01/1998"));
  EXPECT_FALSE(Valid("01/13/1998"));
  EXPECT_FALSE(Valid("01/00/1998"));
  EXPECT_FALSE(Valid("32/01/1998"));
}

TEST(CDateText, CountsTheTwentyNinthOfFebruaryInEveryFourthYearIncluding1900) {
  EXPECT_TRUE(Valid("29/02/1900"));
  EXPECT_TRUE(Valid("29/02/1996"));
  EXPECT_TRUE(Valid("29/02/2000"));
  EXPECT_FALSE(Valid("29/02/1999"));
  EXPECT_FALSE(Valid("30/02/1996"));
  EXPECT_TRUE(Valid("28/02/1999"));
}

TEST(CDateText, NeedsTwoSlashes) {
  EXPECT_FALSE(Valid("01-01-1998"));
  EXPECT_FALSE(Valid("1998"));
  EXPECT_FALSE(Valid(""));
  EXPECT_FALSE(Valid("01/1998"));
}

TEST(CDateText, ReadsEachPartLikeAtoi) {
  bool valid = false;
  const CDateText date = Parsed(" 5/\t6/ +1998 and more", &valid);
  EXPECT_TRUE(valid);
  EXPECT_EQ(date.Day(), 5);
  EXPECT_EQ(date.Month(), 6);
  EXPECT_EQ(date.Year(), 1998);
  EXPECT_TRUE(Valid("1/1/1998"));
  EXPECT_FALSE(Valid("x/1/1998"));   // no digits: day 0
  EXPECT_FALSE(Valid("1/-1/1998"));  // the sign belongs to the number
}

TEST(CDateText, ParsesFromTheRightSoOnlyTheLastTwoSlashesSeparate) {
  bool valid = false;
  const CDateText date = Parsed("9/8/05/06/1998", &valid);
  EXPECT_TRUE(valid);
  EXPECT_EQ(date.Day(), 9);  // "9/8/05" reads as 9
  EXPECT_EQ(date.Month(), 6);
}

TEST(CDateText, SaturatesAbsurdDigitRunsInsteadOfOverflowing) {
  bool valid = false;
  EXPECT_EQ(Parsed("01/01/99999999999999999999999", &valid).Year(), INT_MAX);
  EXPECT_FALSE(valid);
  EXPECT_EQ(Parsed("01/01/-99999999999999999999999", &valid).Year(), INT_MIN);
  EXPECT_FALSE(valid);
  EXPECT_EQ(Parsed("01/4294967297/1998", &valid).Month(), INT_MAX);  // 2^32 + 1 does not wrap to 1
  EXPECT_FALSE(valid);
}

TEST(CDateText, KeepsWhatWasParsedWhenInvalid) {
  bool valid = true;
  const CDateText date = Parsed("31/04/1998", &valid);
  EXPECT_FALSE(valid);
  EXPECT_EQ(date.Day(), 31);
  EXPECT_EQ(date.Month(), 4);
  EXPECT_EQ(date.Year(), 1998);
}

TEST(CDateText, LeavesPartsBeforeAMissingSlashAsTheyWere) {
  CDateText date;
  date.SetText("05/06/1998");
  ASSERT_TRUE(date.IsValid());
  date.SetText("07/2001");
  EXPECT_FALSE(date.IsValid());
  EXPECT_EQ(date.Year(), 2001);
  EXPECT_EQ(date.Month(), 6);
  EXPECT_EQ(date.Day(), 5);
}

TEST(CDateText, WritesTheLocalDateDayFirstWithLeadingZeros) {
  CDateText date;
  date.SetFromTime(QDateTime(QDate(1998, 6, 5), QTime(23, 59, 59)));
  EXPECT_EQ(date.Text(), "05/06/1998");
  EXPECT_EQ(date.Day(), 5);
  EXPECT_EQ(date.Month(), 6);
  EXPECT_EQ(date.Year(), 1998);
  EXPECT_TRUE(date.IsValid());
}

}  // namespace
