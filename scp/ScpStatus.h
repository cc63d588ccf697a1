// Status values shared by the record store and the signal codec.
//
// Every operation that can fail returns a signed 16-bit status: 0 for success, otherwise a small
// negative base code from which each layer the failure passes through subtracts its own offset.
// Compose them, never spell the sum:  return kScpErrNoSection - kScpLayerRecord;
#pragma once

#include <cstdint>

using ScpStatus = int16_t;

constexpr ScpStatus kScpOk = 0;

// Base codes.
constexpr ScpStatus kScpErrDirectoryFull = -3;      // the directory could not grow
constexpr ScpStatus kScpErrNoSection = -4;          // section absent or its block unreachable
constexpr ScpStatus kScpErrNoSuchEntry = -5;        // no such section or index
constexpr ScpStatus kScpErrNoMemory = -6;           // memory could not be grown
constexpr ScpStatus kScpErrBadLayout = -7;          // unknown layout code
constexpr ScpStatus kScpErrNoData = -8;             // section data not accessible
constexpr ScpStatus kScpErrNotItemSection = -9;     // section holds no tagged items (or wrong id)
constexpr ScpStatus kScpErrItemNotFound = -10;      // item not found
constexpr ScpStatus kScpErrNoZoneMemory = -11;      // QRS zone array not allocated
constexpr ScpStatus kScpErrOutOfBounds = -12;       // a field or data run lies outside the body
constexpr ScpStatus kScpErrShortSection = -13;      // section shorter than its fixed header
constexpr ScpStatus kScpErrMalformed = -14;         // a stored count or span is impossible
constexpr ScpStatus kScpErrNoPointerSection = -21;  // pointer section could not be built
constexpr ScpStatus kScpErrFileWrite = -23;         // file could not be created, written or closed
constexpr ScpStatus kScpErrHuffmanSwitch = -25;     // a table row with mode 0 was met
constexpr ScpStatus kScpErrHuffmanNoCode = -26;     // no table row matched 32 bits
constexpr ScpStatus kScpErrNoLead = -27;            // section 3 does not list the lead code
constexpr ScpStatus kScpErrNoSampleMemory = -28;    // the sample array could not be allocated
constexpr ScpStatus kScpErrHuffmanTable = -29;      // the record's own Huffman tables are unusable
constexpr ScpStatus kScpErrRawRhythm = -30;         // the uncompressed rhythm section is unusable

// Layer offsets, subtracted by each operation a failure passes through. Each is a whole multiple
// of kScpLayerStep and every base code lies above -kScpLayerStep, so the base code of any status
// is its remainder by kScpLayerStep.
constexpr ScpStatus kScpLayerStep = 100;
constexpr ScpStatus kScpLayerDirectory = 100;  // directory lookups, section writing, the codec
constexpr ScpStatus kScpLayerRecord = 200;     // record operations, section field access
constexpr ScpStatus kScpLayerAccessor = 300;   // appends, item search, section accessors, writer
constexpr ScpStatus kScpLayerItem = 400;       // item readers and writers
constexpr ScpStatus kScpLayerTypedItem = 500;  // typed item writers
constexpr ScpStatus kScpLayerDecoder = 600;    // the two signal decoders

// True when status is the failure baseError (one of the base codes above), whichever layers it
// passed through: ScpStatusIs(kScpErrNoSection - kScpLayerRecord, kScpErrNoSection) holds. False
// for success and for a baseError that is not a base code.
constexpr bool ScpStatusIs(ScpStatus status, ScpStatus baseError) {
  return baseError < 0 && baseError > -kScpLayerStep && status % kScpLayerStep == baseError;
}
