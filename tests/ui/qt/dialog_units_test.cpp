// Dialog units to pixels: the template keeps its proportions for any font.
#include <gtest/gtest.h>

#include "ui/qt/dialog_units.h"

namespace velloran::testing {
namespace {

struct Conversion {
    DialogBaseUnits base;
    int units;
    int pixelsX;
    int pixelsY;
};

class DialogUnitsTest : public ::testing::TestWithParam<Conversion> {};

TEST_P(DialogUnitsTest, ScalesAQuarterAcrossAndAnEighthDownRoundingHalvesUp) {
    const Conversion& row = GetParam();
    EXPECT_EQ(DialogUnitsToPixelsX(row.units, row.base), row.pixelsX);
    EXPECT_EQ(DialogUnitsToPixelsY(row.units, row.base), row.pixelsY);
}

INSTANTIATE_TEST_SUITE_P(Units, DialogUnitsTest,
                         ::testing::Values(Conversion{{6, 12}, 283, 425, 425},
                                           Conversion{{6, 12}, 261, 392, 392},
                                           Conversion{{7, 13}, 4, 7, 7},
                                           Conversion{{7, 13}, 11, 19, 18},
                                           Conversion{{8, 16}, 0, 0, 0}));

}  // namespace
}  // namespace velloran::testing
