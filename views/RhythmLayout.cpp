#include "views/RhythmLayout.h"

#include "leads/LeadTables.h"

namespace {

constexpr const char* kLayoutNames[kRhythmLayoutCount] = {"12x1", "6x2", "3x4", "3x4+1", "3x4+3"};
constexpr uint8_t kLeadCodeV1 = 3;
constexpr uint8_t kLeadCodeV5 = 7;

// The slot of the lead with code `code`, or -1.
int SlotOf(const uint8_t* leadCodes, int leadCount, uint8_t code) {
  for (int slot = 0; slot < leadCount; ++slot) {
    if (leadCodes[slot] == code) {
      return slot;
    }
  }
  return -1;
}

}  // namespace

const char* RhythmLayoutName(RhythmLayout layout) {
  return kLayoutNames[static_cast<int>(layout)];
}

bool ParseRhythmLayout(const std::string& text, RhythmLayout* layout) {
  for (int i = 0; i < kRhythmLayoutCount; ++i) {
    if (text == kLayoutNames[i]) {
      *layout = static_cast<RhythmLayout>(i);
      return true;
    }
  }
  return false;
}

RhythmGrid LayRhythmGrid(RhythmLayout layout, const uint8_t* leadCodes, int leadCount,
                         int shownSamples, uint8_t stripLeadCode) {
  RhythmGrid grid;
  std::vector<uint8_t> strips;
  switch (layout) {
    case RhythmLayout::k12x1:
      return grid;
    case RhythmLayout::k6x2:
      grid.rows = 6;
      grid.columns = 2;
      break;
    case RhythmLayout::k3x4:
      grid.rows = 3;
      grid.columns = 4;
      break;
    case RhythmLayout::k3x4Plus1:
      grid.rows = 3;
      grid.columns = 4;
      strips = {stripLeadCode};
      break;
    case RhythmLayout::k3x4Plus3:
      grid.rows = 3;
      grid.columns = 4;
      strips = {kLeadCodeII, kLeadCodeV1, kLeadCodeV5};
      break;
  }
  const int shown = shownSamples > 0 ? shownSamples : 0;
  for (int cell = 0; cell < kDisplayLeadCount; ++cell) {
    const int slot = SlotOf(leadCodes, leadCount, kDisplayLeadCodes[cell]);
    if (slot < 0) {
      continue;
    }
    const int column = cell / grid.rows;
    const int first = static_cast<int>(int64_t{shown} * column / grid.columns);
    const int end = static_cast<int>(int64_t{shown} * (column + 1) / grid.columns);
    grid.lanes.push_back({slot, cell % grid.rows, column, false, first, end - first});
  }
  for (uint8_t code : strips) {
    const int row = grid.rows++;
    const int slot = SlotOf(leadCodes, leadCount, code);
    if (slot >= 0) {
      grid.lanes.push_back({slot, row, 0, true, 0, shown});
    }
  }
  return grid;
}
