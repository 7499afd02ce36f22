#pragma once
// Where alert windows appear: from the bottom-right corner of the work area
// upwards, then column by column leftwards, so that several alerts are all in
// sight. When the screen is full the next round starts again a little up and
// to the left, so that no alert hides another one exactly.

#include <vector>

namespace dovoviza {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// An alert window's size and the spacing between alerts, in pixels.
struct AlertGrid {
    int width = 0;
    int height = 0;
    int gap = 0;      // between alerts and from the edges of the work area
    int cascade = 0;  // the shift of each further round
};

// The top-left corner of the alert in the given slot (0 = the first). It never
// starts left of or above the work area.
ScreenPoint AlertPosition(const ScreenRect& workArea, const AlertGrid& grid, int slot);

// The lowest slot that none of the open alerts holds.
int FreeAlertSlot(const std::vector<int>& usedSlots);

}  // namespace dovoviza
