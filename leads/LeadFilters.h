// Display filters for ECG leads: baseline wander removal, a mains notch at 50 or 60 Hz and a
// 40 Hz low-pass. Each runs forward and then backward over the whole lead, so it shifts no wave in
// time. They shape what is drawn and printed only; the stored samples never change.
//
// Plain functions over caller-owned arrays (no Qt), so the views and the command-line tool filter
// a lead in exactly the same way.
#pragma once

#include <cstdint>
#include <string>

// The filters, as bits of a set; kLeadFilterNone leaves a lead as it is stored.
constexpr unsigned kLeadFilterNone = 0;
constexpr unsigned kLeadFilterBaseline = 1u << 0;   // high-pass, down 3 dB at 0.67 Hz
constexpr unsigned kLeadFilterMains50 = 1u << 1;    // notch at 50 Hz
constexpr unsigned kLeadFilterMains60 = 1u << 2;    // notch at 60 Hz
constexpr unsigned kLeadFilterLowPass40 = 1u << 3;  // low-pass at 40 Hz
constexpr unsigned kLeadFilterAll =
    kLeadFilterBaseline | kLeadFilterMains50 | kLeadFilterMains60 | kLeadFilterLowPass40;
constexpr int kLeadFilterCount = 4;

// The cut-off of each of the baseline filter's two passes: the pair together is down 3 dB at
// 0.67 Hz (40 beats per minute), the most a filter that keeps the ST segment may take away.
constexpr double kBaselineCutoffHz = 0.54;

// The short name of one filter bit ("baseline", "50hz", "60hz", "40hz"), as the command line takes
// it and the status bar and page show it; empty for anything but a single filter bit.
std::string LeadFilterName(unsigned filter);

// The names of the filters in the set, comma-separated in bit order; empty for none.
std::string LeadFilterNames(unsigned filters);

// Reads a comma-separated list of filter names into *filters. Returns false, and leaves *filters
// as it was, when a name is unknown or the list is empty.
bool ParseLeadFilters(const std::string& text, unsigned* filters);

// Filters count samples taken every sampleInterval microseconds with the filters in the set and
// writes the result, in the samples' own units, to out (count values). A filter whose frequency
// the sampling rate cannot represent (at or above half of it) is skipped. Returns the set of
// filters applied. in and out may not overlap. With count 0 nothing is written.
unsigned FilterLeadSamples(const int16_t* in, int32_t count, uint32_t sampleInterval,
                           unsigned filters, double* out);

// Rounds filtered values to the nearest sample unit, saturating at the 16-bit range.
void RoundFilteredSamples(const double* in, int32_t count, int16_t* out);
