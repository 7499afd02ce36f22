#pragma once
// The main window's measures: its smallest size, its column widths and the
// arrangement of its status panels.

#include <array>
#include <cstddef>

#include "app/Settings.h"
#include "catalogue/StartupItem.h"

namespace dovoviza {

// The window may not be made smaller than its first-run size, in twips.
inline constexpr int kMinWidthTwips = kDefaultWidthTwips;
inline constexpr int kMinHeightTwips = kDefaultHeightTwips;

// The column widths, in twips, for a list of the given width in twips: Name
// takes 16% of it and Value 22%, the other columns their own fixed widths.
std::array<int, kColumnCount> ColumnWidthsTwips(int listWidthTwips);

// Name and Value follow the list's width on every resize; the other columns
// keep whatever width the user dragged them to.
bool FollowsListWidth(std::size_t column);

// The right edges of the status bar's three panels: the two count panels at
// the right with the widths they need, the general text in what is left
// (nothing, when the bar is too narrow).
std::array<int, 3> StatusPanelEdges(int barWidth, int countsWidth, int disabledWidth);

}  // namespace dovoviza
