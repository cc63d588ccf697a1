#include "scp/ScpStatus.h"

#include <gtest/gtest.h>

namespace {

struct StatusCase {
  ScpStatus status;
  ScpStatus baseError;
  bool is;
};

TEST(ScpStatusIs, RecognisesABaseErrorWhicheverLayersItPassedThrough) {
  constexpr ScpStatus kEveryLayer = kScpLayerDirectory + kScpLayerRecord + kScpLayerAccessor +
                                    kScpLayerItem + kScpLayerTypedItem + kScpLayerDecoder;
  const StatusCase cases[] = {
      {kScpErrNoSection, kScpErrNoSection, true},
      {kScpErrNoPointerSection - kScpLayerAccessor, kScpErrNoPointerSection, true},
      {kScpErrNoSection - kScpLayerRecord - kScpLayerAccessor - kScpLayerDecoder, kScpErrNoSection,
       true},
      {kScpErrNoSampleMemory - kEveryLayer, kScpErrNoSampleMemory, true},
      // A neighbouring base code, or the same layers over another base, is a different failure.
      {kScpErrFileWrite - kScpLayerAccessor, kScpErrNoPointerSection, false},
      {kScpErrNoData - kScpLayerDecoder, kScpErrNoSection, false},
      // Success is no failure, and a layer offset or 0 is no base code.
      {kScpOk, kScpErrNoSection, false},
      {-kScpLayerAccessor, -kScpLayerAccessor, false},
      {kScpOk, kScpOk, false},
  };
  for (const StatusCase& c : cases) {
    EXPECT_EQ(ScpStatusIs(c.status, c.baseError), c.is) << c.status << " vs " << c.baseError;
  }
}

}  // namespace
