#include "catalogue/model_catalogue.h"

#include <gtest/gtest.h>

namespace velloran::testing {
namespace {

TEST(ModelCatalogue, ListsTheThreeModelsNewestFirstAndFindsThemByName) {
    EXPECT_EQ(DisplayNames(), (std::vector<std::string>{"LM-Q30", "LM-Q20", "LM-Q10"}));
    EXPECT_STREQ(kModelCatalogue[0].filePrefix, "lmq30");
    EXPECT_EQ(FindModelByDisplayName("lm-q10"), 2);
    EXPECT_EQ(FindModelByDisplayName("LM-Q3"), std::nullopt);
    EXPECT_EQ(ModelAt(3), nullptr);
    EXPECT_EQ(ModelAt(-1), nullptr);
}

// A printer accepts backups of its own model and of older ones, never of newer ones.
TEST(ModelCatalogue, EachModelAcceptsItsOwnAndOlderBackups) {
    const bool accepts[3][3] = {{true, true, true}, {false, true, true}, {false, false, true}};
    for (uint32_t model = 0; model < 3; ++model) {
        const CompatEntry* row = FindCompatRow(kModelCatalogue[model].series);
        ASSERT_NE(row, nullptr);
        for (uint32_t other = 0; other < 3; ++other) {
            bool found = false;
            for (uint32_t slot = 0; slot < row->count; ++slot) {
                found = found || row->accepted[slot] == kModelCatalogue[other].Signature();
            }
            EXPECT_EQ(found, accepts[model][other]) << model << " takes " << other;
        }
    }
    EXPECT_EQ(FindCompatRow(3), nullptr);
}

}  // namespace
}  // namespace velloran::testing
