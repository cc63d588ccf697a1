#include "scp/ScpLeadNames.h"

#include <gtest/gtest.h>

#include <string>

TEST(ScpLeadNames, NamesTheTwelveStandardLeads) {
  EXPECT_STREQ(ScpLeadName(1), "I");
  EXPECT_STREQ(ScpLeadName(2), "II");
  EXPECT_STREQ(ScpLeadName(3), "V1");
  EXPECT_STREQ(ScpLeadName(8), "V6");
  EXPECT_STREQ(ScpLeadName(61), "III");
  EXPECT_STREQ(ScpLeadName(62), "aVR");
  EXPECT_STREQ(ScpLeadName(63), "aVL");
  EXPECT_STREQ(ScpLeadName(64), "aVF");
}

TEST(ScpLeadNames, CalibrationCodesRepeatTheFirstThirtyNamesWithCal) {
  for (int code = 1; code <= 30; ++code) {
    EXPECT_EQ(std::string(ScpLeadName(code + 30)), std::string(ScpLeadName(code)) + "-cal") << code;
  }
  EXPECT_STREQ(ScpLeadName(24), "I");
  EXPECT_STREQ(ScpLeadName(65), "-aVR");
}

TEST(ScpLeadNames, CodesOutsideTheTableHaveNoName) {
  EXPECT_EQ(ScpLeadName(0), nullptr);
  EXPECT_EQ(ScpLeadName(66), nullptr);
  EXPECT_EQ(ScpLeadName(-1), nullptr);
  EXPECT_EQ(ScpLeadName(255), nullptr);
}
