// The CRC-CCITT of SCP-ECG records: polynomial 0x1021, start 0xFFFF, most significant bit first,
// no reflection and no final inversion ("123456789" gives 0x29B1).
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint16_t kScpCrcStart = 0xFFFF;

// Carries `crc` over `count` bytes and returns the new value, so a CRC can span several blocks.
uint16_t ScpCrc16(uint16_t crc, const uint8_t* bytes, size_t count);
