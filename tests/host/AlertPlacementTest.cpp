#include <gtest/gtest.h>

#include "monitor/AlertPlacement.h"

using namespace dovoviza;

namespace {

constexpr ScreenRect kWorkArea{0, 0, 1280, 760};  // a task bar of 40 pixels below
constexpr AlertGrid kGrid{400, 240, 8, 24};  // three columns by three rows fit

bool Overlap(ScreenPoint a, ScreenPoint b, const AlertGrid& grid) {
    return a.x < b.x + grid.width && b.x < a.x + grid.width && a.y < b.y + grid.height &&
           b.y < a.y + grid.height;
}

bool Inside(ScreenPoint p, const ScreenRect& area, const AlertGrid& grid) {
    return p.x >= area.left && p.y >= area.top && p.x + grid.width <= area.right &&
           p.y + grid.height <= area.bottom;
}

}  // namespace

TEST(AlertPlacementTest, FirstAlertSitsInTheBottomRightCornerOfTheWorkArea) {
    const ScreenPoint p = AlertPosition(kWorkArea, kGrid, 0);
    EXPECT_EQ(p.x, 1280 - 8 - 400);
    EXPECT_EQ(p.y, 760 - 8 - 240);
}

TEST(AlertPlacementTest, NextAlertsStackUpwardsThenInTheNextColumnLeft) {
    // 760 pixels hold three rows of 240 with gaps of 8.
    const ScreenPoint first = AlertPosition(kWorkArea, kGrid, 0);
    const ScreenPoint second = AlertPosition(kWorkArea, kGrid, 1);
    const ScreenPoint third = AlertPosition(kWorkArea, kGrid, 2);
    const ScreenPoint fourth = AlertPosition(kWorkArea, kGrid, 3);
    EXPECT_EQ(second.x, first.x);
    EXPECT_EQ(second.y, first.y - 240 - 8);
    EXPECT_EQ(third.y, second.y - 240 - 8);
    EXPECT_EQ(fourth.x, first.x - 400 - 8);
    EXPECT_EQ(fourth.y, first.y);
}

TEST(AlertPlacementTest, AFullScreenOfAlertsIsAllInSightWithoutOverlap) {
    // Three rows by three columns fit.
    std::vector<ScreenPoint> points;
    for (int slot = 0; slot < 9; ++slot) points.push_back(AlertPosition(kWorkArea, kGrid, slot));
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_TRUE(Inside(points[i], kWorkArea, kGrid)) << "slot " << i;
        for (std::size_t j = i + 1; j < points.size(); ++j) {
            EXPECT_FALSE(Overlap(points[i], points[j], kGrid)) << "slots " << i << " and " << j;
        }
    }
}

TEST(AlertPlacementTest, AnotherRoundStartsOverShiftedSoNoAlertHidesAnotherExactly) {
    const ScreenPoint first = AlertPosition(kWorkArea, kGrid, 0);
    const ScreenPoint tenth = AlertPosition(kWorkArea, kGrid, 9);
    const ScreenPoint eleventh = AlertPosition(kWorkArea, kGrid, 10);
    EXPECT_EQ(tenth.x, first.x - 24);
    EXPECT_EQ(tenth.y, first.y - 24);
    EXPECT_EQ(eleventh.x, AlertPosition(kWorkArea, kGrid, 1).x - 24);
    EXPECT_EQ(eleventh.y, AlertPosition(kWorkArea, kGrid, 1).y - 24);
}

TEST(AlertPlacementTest, RoundsDoNotWalkAcrossTheScreenForever) {
    // After four rounds the places repeat instead of creeping towards the
    // top-left corner; however many alerts are open, all stay in the work area.
    for (int slot = 0; slot < 9; ++slot) {
        const ScreenPoint first = AlertPosition(kWorkArea, kGrid, slot);
        const ScreenPoint again = AlertPosition(kWorkArea, kGrid, slot + 4 * 9);
        EXPECT_EQ(again.x, first.x) << slot;
        EXPECT_EQ(again.y, first.y) << slot;
    }
    for (int slot = 0; slot < 500; ++slot) {
        EXPECT_TRUE(Inside(AlertPosition(kWorkArea, kGrid, slot), kWorkArea, kGrid)) << slot;
    }
}

TEST(AlertPlacementTest, WorkAreaThatDoesNotStartAtTheOriginIsRespected) {
    // A task bar on the left and at the top of the screen.
    const ScreenRect area{60, 30, 1280, 800};
    const ScreenPoint p = AlertPosition(area, kGrid, 0);
    EXPECT_EQ(p.x, 1280 - 8 - 400);
    EXPECT_EQ(p.y, 800 - 8 - 240);
    for (int slot = 0; slot < 40; ++slot) {
        const ScreenPoint q = AlertPosition(area, kGrid, slot);
        EXPECT_GE(q.x, area.left) << slot;
        EXPECT_GE(q.y, area.top) << slot;
    }
}

TEST(AlertPlacementTest, AWorkAreaSmallerThanTheAlertShowsItsTopLeftCorner) {
    // The caption and the buttons' left end stay reachable.
    const ScreenRect tiny{100, 50, 400, 200};
    for (int slot = 0; slot < 5; ++slot) {
        const ScreenPoint p = AlertPosition(tiny, kGrid, slot);
        EXPECT_EQ(p.x, 100) << slot;
        EXPECT_EQ(p.y, 50) << slot;
    }
}

TEST(AlertPlacementTest, NegativeSlotCountsAsTheFirst) {
    const ScreenPoint first = AlertPosition(kWorkArea, kGrid, 0);
    const ScreenPoint p = AlertPosition(kWorkArea, kGrid, -3);
    EXPECT_EQ(p.x, first.x);
    EXPECT_EQ(p.y, first.y);
}

TEST(AlertPlacementTest, FreeSlotIsTheLowestThatNoOpenAlertHolds) {
    EXPECT_EQ(FreeAlertSlot({}), 0);
    EXPECT_EQ(FreeAlertSlot({0, 1, 2}), 3);
    // A closed alert's place is taken again before a new one is opened up.
    EXPECT_EQ(FreeAlertSlot({0, 1, 3}), 2);
    EXPECT_EQ(FreeAlertSlot({2, 1}), 0);
    EXPECT_EQ(FreeAlertSlot({1, 0, 0}), 2);
}
