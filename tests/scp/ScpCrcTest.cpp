#include "scp/ScpCrc.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const uint8_t* Ascii(const char* text) {
  return reinterpret_cast<const uint8_t*>(text);
}

TEST(ScpCrc, TheNineDigitsGiveTheCcittCheckValue) {
  EXPECT_EQ(ScpCrc16(kScpCrcStart, Ascii("123456789"), 9), 0x29B1);
}

TEST(ScpCrc, CarryingTheCrcAcrossBlocksEqualsOnePass) {
  uint16_t crc = ScpCrc16(kScpCrcStart, Ascii("1234"), 4);
  crc = ScpCrc16(crc, Ascii(""), 0);
  crc = ScpCrc16(crc, Ascii("56789"), 5);
  EXPECT_EQ(crc, 0x29B1);
}

TEST(ScpCrc, TakesBitsMostSignificantFirstWithoutReflection) {
  // One 0x80 byte from a zero start shifts the polynomial in after one step: 0x1021 << 7 reduced.
  const uint8_t high = 0x80;
  EXPECT_EQ(ScpCrc16(0, &high, 1), 0x9188);
  const uint8_t low = 0x01;
  EXPECT_EQ(ScpCrc16(0, &low, 1), 0x1021);
}

}  // namespace
