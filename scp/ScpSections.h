// The section ids of an SCP-ECG record and the sizes of the fixed headers that frame its parts:
// the one home of these numbers for the reader, the writer, the checks and every accessor.
#pragma once

#include <cstdint>

// Section ids.
constexpr uint16_t kScpPointerSection = 0;
constexpr uint16_t kScpPatientSection = 1;
constexpr uint16_t kScpHuffmanSection = 2;
constexpr uint16_t kScpLeadSection = 3;
constexpr uint16_t kScpQrsSection = 4;
constexpr uint16_t kScpReferenceSection = 5;
constexpr uint16_t kScpRhythmSection = 6;
constexpr uint16_t kScpMeasurementSection = 7;
constexpr uint16_t kScpStatementSection = 8;
constexpr uint16_t kScpLeadMeasurementSection = 10;
constexpr uint16_t kScpUniversalStatementSection = 11;
constexpr uint16_t kScpFirstManufacturerSection = 12;

// Sizes in bytes.
constexpr uint32_t kScpRecordHeaderSize = 6;     // record CRC and record length
constexpr uint32_t kScpSectionHeaderSize = 16;   // every section's own header
constexpr uint32_t kScpPointerEntrySize = 10;    // one entry of the pointer section
constexpr uint32_t kScpItemHeadSize = 3;         // a tagged item's tag and value length
constexpr uint32_t kScpStatementHeaderSize = 9;  // the header in front of the statements
