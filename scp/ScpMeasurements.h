// Readers of the measurement sections: global measurements (7) and measurements per lead (10).
#pragma once

#include <cstdint>

#include "scp/ScpFields.h"
#include "scp/ScpRecord.h"
#include "scp/ScpSections.h"
#include "scp/ScpStatus.h"

// The size in bytes of the part of a section 10 lead block that is read.
constexpr uint16_t kScpLeadMeasurementsSize = 62;

// Reads the section 7 header (bytes 0-5): block and spike counts, RR and PP intervals.
// Returns 0; -504 (kScpErrNoSection - kScpLayerRecord - kScpLayerAccessor) when section 7 is
// absent; -508 when its body cannot be reached; -412 when the body is shorter than 6 bytes.
ScpStatus ScpGetMeasurementHeader(const ScpRecord* record, ScpMeasurementHeader* out);

// Reads measurement block `block` of section 7 (16 bytes at 6 + 16 * block). The header's block
// count is not consulted, so block 0 is read even when the count is 0.
// Returns 0; -504 / -508 as ScpGetMeasurementHeader; -412 when the block lies past the body.
ScpStatus ScpGetBeatMeasurements(const ScpRecord* record, uint16_t block, ScpBeatMeasurements* out);

// Reads the section 10 header (bytes 0-3): number of lead blocks and the length of one block.
// Returns 0; -504 / -508 when section 10 is absent or unreachable; -412 when the body is too short.
ScpStatus ScpGetLeadMeasurementHeader(const ScpRecord* record, ScpLeadMeasurementHeader* out);

// Reads the first 62 bytes of lead block `leadIndex` of section 10, at 4 + leadIndex * blockLength.
// Returns 0; any failure of ScpGetLeadMeasurementHeader minus kScpLayerItem (-904, -908, -812);
// kScpErrNoSuchEntry - kScpLayerItem (-405) when leadIndex is not below the header's lead count;
// kScpErrMalformed - kScpLayerItem (-414) when blockLength is under 62, so blocks would overlap;
// kScpErrOutOfBounds - kScpLayerDirectory - kScpLayerItem (-512) when the block lies past the body.
ScpStatus ScpGetLeadMeasurements(const ScpRecord* record, uint16_t leadIndex,
                                 ScpLeadMeasurements* out);
