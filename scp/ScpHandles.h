// Owning handles for the codec's heap objects: each is a std::unique_ptr that releases its object
// with the codec's own free function, so no caller writes a deleter of its own.
#pragma once

#include <memory>

#include "scp/ScpCheck.h"
#include "scp/ScpDecode.h"
#include "scp/ScpFile.h"
#include "scp/ScpMemory.h"
#include "scp/ScpRecord.h"

struct ScpRecordRelease {
  void operator()(ScpRecord* record) const { ScpRecordFree(record); }
};
struct ScpCheckRelease {
  void operator()(ScpRecordCheck* check) const { ScpCheckFree(check); }
};
struct ScpBlockRelease {
  void operator()(void* block) const { ScpMemFree(block); }
};
struct ScpFileRelease {
  void operator()(ScpFileState* file) const { ScpFileClose(file); }
};

// A record from ScpRecordCreate or ScpReadRecord.
using ScpRecordPtr = std::unique_ptr<ScpRecord, ScpRecordRelease>;
// A checksum report from ScpCheckRecordFile.
using ScpCheckPtr = std::unique_ptr<ScpRecordCheck, ScpCheckRelease>;
// A block from ScpMemAlloc or ScpMemRealloc.
using ScpBlockPtr = std::unique_ptr<void, ScpBlockRelease>;
// An open file; closing errors are not reported, so a writer closes explicitly where they matter.
using ScpFilePtr = std::unique_ptr<ScpFileState, ScpFileRelease>;

// The decoded samples of a caller's beat or rhythm: the handle points at the caller's struct and,
// when it goes, frees the sample array (and the rhythm's QRS zones) the decoder put there. The
// struct itself stays the caller's.
struct ScpBeatSamplesRelease {
  void operator()(ScpReferenceBeat* beat) const { ScpFreeReferenceBeat(beat); }
};
struct ScpRhythmSamplesRelease {
  void operator()(ScpRhythmSignal* rhythm) const { ScpFreeRhythm(rhythm); }
};
using ScpBeatSamplesPtr = std::unique_ptr<ScpReferenceBeat, ScpBeatSamplesRelease>;
using ScpRhythmSamplesPtr = std::unique_ptr<ScpRhythmSignal, ScpRhythmSamplesRelease>;
