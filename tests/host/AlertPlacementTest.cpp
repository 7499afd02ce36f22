#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "monitor/AlertPlacement.h"

using namespace dovoviza;

TEST(AlertPlacement, AlertsStackUpFromTheBottomRightThenLeftThenCascadeAndStayInSight) {
    constexpr ScreenRect kScreen{0, 0, 1280, 760};  // three columns by three rows fit
    const struct { ScreenRect area; int slot, x, y; } cases[] = {
        {kScreen, 0, 872, 512}, {kScreen, 1, 872, 264}, {kScreen, 3, 464, 512},  // gaps of 8
        {kScreen, -3, 872, 512},
        // Further rounds shifted, so that no alert hides another exactly; after
        // four rounds the places repeat instead of creeping to the corner.
        {kScreen, 10, 848, 240}, {kScreen, 37, 872, 264}, {{60, 30, 1280, 800}, 0, 872, 552},
        {{100, 50, 400, 200}, 4, 100, 50},  // too small: the caption stays reachable
    };
    for (const auto& c : cases) {
        const ScreenPoint p = AlertPosition(c.area, AlertGrid{400, 240, 8, 24}, c.slot);
        EXPECT_EQ(std::make_pair(p.x, p.y), std::make_pair(c.x, c.y)) << c.slot;
    }
    // A closed alert's place is taken again before a new one is opened up.
    const std::pair<std::vector<int>, int> used[] = {{{0, 1, 3}, 2}, {{2, 1}, 0}, {{1, 0, 0}, 2}};
    for (const auto& [slots, free] : used) EXPECT_EQ(FreeAlertSlot(slots), free) << slots.size();
}
