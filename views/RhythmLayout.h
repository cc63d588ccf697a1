// Where the rhythm window and its page put each lead: the layouts a reader chooses from (one lead
// a row, or the grids of the standard 12-lead report with rhythm strips below), the paper speeds
// and gains, and the lanes of a grid, each one stretch of one lead in one row and column.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class RhythmLayout { k12x1, k6x2, k3x4, k3x4Plus1, k3x4Plus3 };
constexpr int kRhythmLayoutCount = 5;

// The layout's name as the command line takes it and the menus show it: "12x1", "6x2", "3x4",
// "3x4+1", "3x4+3".
const char* RhythmLayoutName(RhythmLayout layout);
// Reads a layout name; false, and *layout unchanged, for any other text.
bool ParseRhythmLayout(const std::string& text, RhythmLayout* layout);

// Paper speeds in mm/s and gains in mm/mV a reader can choose, and the usual ones.
constexpr int kSpeedCount = 3;
constexpr double kSpeeds[kSpeedCount] = {12.5, 25.0, 50.0};
constexpr int kGainCount = 4;
constexpr double kGains[kGainCount] = {2.5, 5.0, 10.0, 20.0};
constexpr double kStandardSpeed = 25.0;
constexpr double kStandardGain = 10.0;

// The layout of a printed rhythm page unless the reader chooses another.
constexpr RhythmLayout kStandardPageLayout = RhythmLayout::k3x4Plus1;

// One stretch of one lead in a grid: the lead's slot, its row and column (a rhythm strip has
// column 0 and spans the whole width), and the samples it shows.
struct RhythmLane {
  int lead;
  int row;
  int column;
  bool strip;
  int firstSample;
  int sampleCount;
};

struct RhythmGrid {
  int rows = 0;
  int columns = 0;
  std::vector<RhythmLane> lanes;
};

// The grid of a layout other than 12x1 for leads whose codes are leadCodes (slot order), showing
// the first shownSamples samples: each column shows its share of them in turn, so the columns
// read left to right as one stretch of time; each strip shows them all. The cells take the
// twelve standard leads in the order I, II, III, aVR, aVL, aVF, V1 to V6 down the columns; the
// strip of 3x4+1 is stripLeadCode (lead II unless another is chosen), those of 3x4+3 II, V1 and
// V5. A lead the record lacks leaves its cell empty. 12x1 gives an empty grid.
RhythmGrid LayRhythmGrid(RhythmLayout layout, const uint8_t* leadCodes, int leadCount,
                         int shownSamples, uint8_t stripLeadCode);
