#include <gtest/gtest.h>

#include <vector>

#include "monitor/AlertPlacement.h"

using namespace dovoviza;

namespace {

constexpr ScreenRect kWorkArea{0, 0, 1280, 760};  // a task bar of 40 pixels below
constexpr AlertGrid kGrid{400, 240, 8, 24};       // three columns by three rows fit

bool Overlap(ScreenPoint a, ScreenPoint b) {
    return a.x < b.x + kGrid.width && b.x < a.x + kGrid.width && a.y < b.y + kGrid.height &&
           b.y < a.y + kGrid.height;
}

bool Inside(ScreenPoint p, const ScreenRect& area) {
    return p.x >= area.left && p.y >= area.top && p.x + kGrid.width <= area.right &&
           p.y + kGrid.height <= area.bottom;
}

}  // namespace

TEST(AlertPlacementTest, AlertsStackUpFromTheBottomRightThenLeftThenCascade) {
    const struct {
        const char* name;
        ScreenRect area;
        int slot;
        int x, y;
    } cases[] = {
        {"first: bottom-right corner, gaps of 8", kWorkArea, 0, 1280 - 8 - 400, 760 - 8 - 240},
        {"second: above the first", kWorkArea, 1, 872, 512 - 248},
        {"third", kWorkArea, 2, 872, 264 - 248},
        {"fourth: next column to the left", kWorkArea, 3, 872 - 408, 512},
        // Another round starts over shifted, so no alert hides another exactly.
        {"tenth", kWorkArea, 9, 872 - 24, 512 - 24},
        {"eleventh", kWorkArea, 10, 872 - 24, 264 - 24},
        {"negative counts as the first", kWorkArea, -3, 872, 512},
        // A task bar on the left and at the top of the screen.
        {"offset work area", {60, 30, 1280, 800}, 0, 1280 - 8 - 400, 800 - 8 - 240},
        // Smaller than the alert: its caption and the buttons' left end stay reachable.
        {"tiny", {100, 50, 400, 200}, 0, 100, 50},
        {"tiny", {100, 50, 400, 200}, 4, 100, 50},
    };
    for (const auto& c : cases) {
        const ScreenPoint p = AlertPosition(c.area, kGrid, c.slot);
        EXPECT_EQ(p.x, c.x) << c.name;
        EXPECT_EQ(p.y, c.y) << c.name;
    }
}

TEST(AlertPlacementTest, AnyNumberOfAlertsStaysInSightAndAFullRoundNeverOverlaps) {
    for (int slot = 0; slot < 9; ++slot) {
        for (int other = slot + 1; other < 9; ++other) {
            EXPECT_FALSE(Overlap(AlertPosition(kWorkArea, kGrid, slot), AlertPosition(kWorkArea, kGrid, other)))
                << "slots " << slot << " and " << other;
        }
        // After four rounds the places repeat instead of creeping towards the top-left corner.
        const ScreenPoint first = AlertPosition(kWorkArea, kGrid, slot);
        const ScreenPoint again = AlertPosition(kWorkArea, kGrid, slot + 4 * 9);
        EXPECT_EQ(again.x, first.x) << slot;
        EXPECT_EQ(again.y, first.y) << slot;
    }
    const ScreenRect offset{60, 30, 1280, 800};
    for (int slot = 0; slot < 500; ++slot) {
        EXPECT_TRUE(Inside(AlertPosition(kWorkArea, kGrid, slot), kWorkArea)) << slot;
        EXPECT_TRUE(Inside(AlertPosition(offset, kGrid, slot), offset)) << slot;
    }
}

TEST(AlertPlacementTest, FreeSlotIsTheLowestThatNoOpenAlertHolds) {
    // A closed alert's place is taken again before a new one is opened up.
    const std::pair<std::vector<int>, int> cases[] = {
        {{}, 0}, {{0, 1, 2}, 3}, {{0, 1, 3}, 2}, {{2, 1}, 0}, {{1, 0, 0}, 2}};
    for (const auto& [used, free] : cases) EXPECT_EQ(FreeAlertSlot(used), free) << used.size();
}
