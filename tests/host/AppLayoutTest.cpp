// The main window's measures.

#include <gtest/gtest.h>

#include "app/AppLayout.h"

using namespace dovoviza;

TEST(AppLayoutTest, NameAndValueShareTheListWidthTheOthersAreFixed) {
    const auto widths = ColumnWidthsTwips(10000);
    EXPECT_EQ(widths[kColName], 1600);
    EXPECT_EQ(widths[kColValue], 2200);
    EXPECT_EQ(widths[kColSection], 1950);
    EXPECT_EQ(widths[kColStatus], 1000);
    EXPECT_EQ(widths[kColProductName], 1600);
    EXPECT_EQ(widths[kColDescription], 1600);
    EXPECT_EQ(widths[kColCompany], 1200);
    EXPECT_EQ(widths[kColVersion], 1000);
    EXPECT_EQ(widths[kColProcessPath], 4751);
    EXPECT_EQ(widths[kColFileSize], 1000);
    EXPECT_EQ(widths[kColDateCreated], 1450);
    EXPECT_EQ(widths[kColDateAccessed], 1450);
    EXPECT_EQ(widths[kColDateModified], 1450);
    EXPECT_EQ(widths[kColLocation], 6050);

    // Rounded to the twip; the fixed ones do not move with the list.
    const auto other = ColumnWidthsTwips(10931);
    EXPECT_EQ(other[kColName], 1749);   // 1748.96
    EXPECT_EQ(other[kColValue], 2405);  // 2404.82
    for (std::size_t i = 2; i < kColumnCount; ++i) EXPECT_EQ(other[i], widths[i]) << i;

    const auto none = ColumnWidthsTwips(-40);
    EXPECT_EQ(none[kColName], 0);
    EXPECT_EQ(none[kColValue], 0);
}

TEST(AppLayoutTest, OnlyNameAndValueFollowTheList) {
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        EXPECT_EQ(FollowsListWidth(i), i == kColName || i == kColValue) << i;
    }
}

TEST(AppLayoutTest, SmallestWindowIsTheFirstRunSize) {
    EXPECT_EQ(kMinWidthTwips, 11175);
    EXPECT_EQ(kMinHeightTwips, 7950);
}

TEST(AppLayoutTest, CountPanelsSitAtTheRight) {
    EXPECT_EQ(StatusPanelEdges(800, 120, 140), (std::array<int, 3>{540, 660, 800}));
    // Too narrow: the general panel shrinks to nothing, the edges never go back.
    EXPECT_EQ(StatusPanelEdges(200, 120, 140), (std::array<int, 3>{0, 60, 200}));
    EXPECT_EQ(StatusPanelEdges(100, 120, 140), (std::array<int, 3>{0, 0, 100}));
    EXPECT_EQ(StatusPanelEdges(0, 120, 140), (std::array<int, 3>{0, 0, 0}));
}
