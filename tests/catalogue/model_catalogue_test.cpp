#include "catalogue/model_catalogue.h"

#include <gtest/gtest.h>

namespace velloran {
namespace {

TEST(ModelCatalogue, ListsTheThreeModelsNewestFirst) {
    EXPECT_EQ(DisplayNames(), (std::vector<std::string>{"LM-Q30", "LM-Q20", "LM-Q10"}));
    EXPECT_STREQ(kModelCatalogue[0].filePrefix, "lmq30");
    EXPECT_EQ(kModelCatalogue[3].series, kEndSeries);
}

struct CompatCase {
    uint32_t series;
    int expectedRow;  // -1: none
};

class CompatLookup : public ::testing::TestWithParam<CompatCase> {};

TEST_P(CompatLookup, FindsTheRowOfItsSeriesOnly) {
    const CompatEntry* row = FindCompatRow(GetParam().series);
    if (GetParam().expectedRow < 0) {
        EXPECT_EQ(row, nullptr);
    } else {
        EXPECT_EQ(row, &kCompatTable[GetParam().expectedRow]);
    }
}

INSTANTIATE_TEST_SUITE_P(AllSeries, CompatLookup,
                         ::testing::Values(CompatCase{0, 0}, CompatCase{1, 1}, CompatCase{2, 2},
                                           CompatCase{3, -1}, CompatCase{4, -1},
                                           CompatCase{0xFFFFFFFF, -1}));

// A printer accepts backups of its own model and of older ones, never of newer ones.
TEST(ModelCatalogue, EachSeriesAcceptsItsOwnAndOlderModels) {
    for (uint32_t model = 0; model < 3; ++model) {
        const CompatEntry* row = FindCompatRow(kModelCatalogue[model].series);
        ASSERT_NE(row, nullptr);
        for (uint32_t other = 0; other < 3; ++other) {
            const ModelSignature sig = kModelCatalogue[other].Signature();
            bool found = false;
            for (uint32_t slot = 0; slot < row->count; ++slot) {
                found = found || row->accepted[slot] == sig;
            }
            EXPECT_EQ(found, kModelCatalogue[other].series <= kModelCatalogue[model].series)
                << "model " << model << " other " << other;
        }
    }
}

TEST(ModelCatalogue, FindsModelsByNameIgnoringCase) {
    EXPECT_EQ(FindModelByDisplayName("lm-q10"), 2);
    EXPECT_EQ(FindModelByDisplayName("LM-Q30"), 0);
    EXPECT_EQ(FindModelByDisplayName("LM-Q3"), std::nullopt);
    EXPECT_EQ(FindModelByDisplayName(""), std::nullopt);
    EXPECT_EQ(ModelAt(3), nullptr);
    EXPECT_EQ(ModelAt(-1), nullptr);
    EXPECT_EQ(ModelAt(1), &kModelCatalogue[1]);
}

}  // namespace
}  // namespace velloran
