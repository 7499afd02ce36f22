#include "app/AppLayout.h"

#include <algorithm>

namespace dovoviza {

namespace {

// Section, Status, Product Name, Product Description, Company, Version,
// Process Path, File Size, the three dates and Location.
constexpr std::array<int, kColumnCount> kFixedWidthsTwips{
    0, 0, 1950, 1000, 1600, 1600, 1200, 1000, 4751, 1000, 1450, 1450, 1450, 6050};

int Percent(int width, int percent) { return (std::max(width, 0) * percent + 50) / 100; }

}  // namespace

std::array<int, kColumnCount> ColumnWidthsTwips(int listWidthTwips) {
    std::array<int, kColumnCount> widths = kFixedWidthsTwips;
    widths[kColName] = Percent(listWidthTwips, 16);
    widths[kColValue] = Percent(listWidthTwips, 22);
    return widths;
}

bool FollowsListWidth(std::size_t column) { return column == kColName || column == kColValue; }

std::array<int, 3> StatusPanelEdges(int barWidth, int countsWidth, int disabledWidth) {
    const int width = std::max(barWidth, 0);
    const int third = width;
    const int second = std::max(third - std::max(disabledWidth, 0), 0);
    const int first = std::max(second - std::max(countsWidth, 0), 0);
    return {first, second, third};
}

}  // namespace dovoviza
