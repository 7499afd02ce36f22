#include "monitor/AlertPlacement.h"

#include <algorithm>

namespace dovoviza {

namespace {

// Rounds beyond this start over at the first round's places: a few steps of
// cascade show that alerts lie on top of each other, more would only walk
// them across the screen.
constexpr int kRounds = 4;

// How many windows of `size` fit in `space` with `gap` before each and after the last.
int FitCount(int space, int size, int gap) {
    const int pitch = size + gap;
    if (pitch <= 0) return 1;
    return std::max(1, (space - gap) / pitch);
}

}  // namespace

ScreenPoint AlertPosition(const ScreenRect& workArea, const AlertGrid& grid, int slot) {
    slot = std::max(slot, 0);
    const int rows = FitCount(workArea.bottom - workArea.top, grid.height, grid.gap);
    const int columns = FitCount(workArea.right - workArea.left, grid.width, grid.gap);
    const int perRound = rows * columns;
    const int round = (slot / perRound) % kRounds;
    const int place = slot % perRound;
    const int column = place / rows;
    const int row = place % rows;

    ScreenPoint point;
    point.x = workArea.right - grid.gap - grid.width - column * (grid.width + grid.gap) -
              round * grid.cascade;
    point.y = workArea.bottom - grid.gap - grid.height - row * (grid.height + grid.gap) -
              round * grid.cascade;
    point.x = std::max(point.x, workArea.left);
    point.y = std::max(point.y, workArea.top);
    return point;
}

int FreeAlertSlot(const std::vector<int>& usedSlots) {
    int slot = 0;
    while (std::find(usedSlots.begin(), usedSlots.end(), slot) != usedSlots.end()) ++slot;
    return slot;
}

}  // namespace dovoviza
