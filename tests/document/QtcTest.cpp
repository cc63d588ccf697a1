// The corrected QT by each formula, and no value at all from a marker or a nonsense interval.
#include <gtest/gtest.h>

#include "document/Qtc.h"

namespace {

struct QtcCase {
  QtcFormula formula;
  int qtMs;
  int rrMs;
  double qtcMs;
};

class CorrectedQtByFormula : public ::testing::TestWithParam<QtcCase> {};

TEST_P(CorrectedQtByFormula, GivesTheFormulasValue) {
  const QtcCase& c = GetParam();
  double qtc = -1;
  ASSERT_TRUE(CorrectedQt(c.formula, c.qtMs, c.rrMs, &qtc));
  EXPECT_NEAR(qtc, c.qtcMs, 0.01) << QtcFormulaName(c.formula);
}

// At 60 beats per minute every formula leaves QT as it is; at 93.75 (RR 640 ms) and at 50 (RR
// 1200 ms) each corrects it its own way.
INSTANTIATE_TEST_SUITE_P(Formulas, CorrectedQtByFormula,
                         ::testing::Values(QtcCase{QtcFormula::kBazett, 400, 1000, 400.0},
                                           QtcCase{QtcFormula::kFridericia, 400, 1000, 400.0},
                                           QtcCase{QtcFormula::kFramingham, 400, 1000, 400.0},
                                           QtcCase{QtcFormula::kHodges, 400, 1000, 400.0},
                                           QtcCase{QtcFormula::kBazett, 360, 640, 450.0},
                                           QtcCase{QtcFormula::kFridericia, 360, 640, 417.74},
                                           QtcCase{QtcFormula::kFramingham, 360, 640, 415.44},
                                           QtcCase{QtcFormula::kHodges, 360, 640, 419.06},
                                           QtcCase{QtcFormula::kBazett, 440, 1200, 401.66},
                                           QtcCase{QtcFormula::kHodges, 440, 1200, 422.5}));

TEST(CorrectedQt, IsNotComputedFromAMarkerOrANonPositiveInterval) {
  for (int formula = 0; formula < kQtcFormulaCount; ++formula) {
    for (const auto& [qt, rr] :
         {std::pair{kScpValueNotDone, 1000}, std::pair{400, kScpValueError},
          std::pair{400, kScpValueNotTested}, std::pair{400, 0}, std::pair{-5, 1000}}) {
      double qtc = 123.0;
      EXPECT_FALSE(CorrectedQt(static_cast<QtcFormula>(formula), qt, rr, &qtc)) << qt << " " << rr;
      EXPECT_EQ(qtc, 123.0);
    }
  }
}

}  // namespace
