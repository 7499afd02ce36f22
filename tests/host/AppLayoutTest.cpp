// The main window's measures.

#include <gtest/gtest.h>

#include "app/AppLayout.h"

using namespace dovoviza;

TEST(AppLayoutTest, NameAndValueShareTheListWidthTheOthersAreFixed) {
    // Name takes 16% and Value 22%, rounded to the twip; nothing below zero.
    const struct {
        int list, name, value;
    } cases[] = {{10000, 1600, 2200}, {10931, 1749, 2405}, {-40, 0, 0}};
    const auto reference = ColumnWidthsTwips(10000);
    for (const auto& c : cases) {
        const auto widths = ColumnWidthsTwips(c.list);
        EXPECT_EQ(widths[kColName], c.name) << c.list;
        EXPECT_EQ(widths[kColValue], c.value) << c.list;
        for (std::size_t i = 0; i < kColumnCount; ++i) {
            EXPECT_EQ(FollowsListWidth(i), i == kColName || i == kColValue) << i;
            if (!FollowsListWidth(i)) {
                EXPECT_GT(widths[i], 0) << i;
                EXPECT_EQ(widths[i], reference[i]) << c.list << " column " << i;
            }
        }
    }
}

TEST(AppLayoutTest, CountPanelsSitAtTheRight) {
    // Too narrow: the general panel shrinks to nothing, the edges never go back.
    const struct {
        int bar;
        std::array<int, 3> edges;
    } cases[] = {{800, {540, 660, 800}}, {200, {0, 60, 200}}, {100, {0, 0, 100}}, {0, {0, 0, 0}}};
    for (const auto& c : cases) EXPECT_EQ(StatusPanelEdges(c.bar, 120, 140), c.edges) << c.bar;
}
