#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "Win32TestSupport.h"
#include "platform/win32/ShellIcons.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace dovoviza::win32::test;

namespace {

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return -1;
    BITMAP bitmap{};
    const int width = GetObjectW(info.hbmMask, sizeof(bitmap), &bitmap) ? bitmap.bmWidth : -1;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return width;
}

TEST(ShellIconList, AppendsIconsOfTheListsSizeCountedFromOne) {
    for (const auto& [size, pixels] : {std::pair{IconSize::Small, 16}, std::pair{IconSize::Large, 32}}) {
        ShellIconList icons(size);
        int cx = 0, cy = 0;
        ASSERT_TRUE(ImageList_GetIconSize(icons.Handle(), &cx, &cy));
        EXPECT_EQ(cx, pixels);
        EXPECT_EQ(cy, pixels);
        EXPECT_EQ(icons.AddFileIcon(FixturePath("fixture_complete")), 1);
        EXPECT_EQ(icons.AddFileIcon(FixturePath("fixture_complete")), 2);
        EXPECT_EQ(icons.AddFileIcon(FixturePath("fixture_absent")), 0);
        EXPECT_EQ(icons.AddFileIcon(""), 0);
        EXPECT_EQ(icons.Count(), 2);
        EXPECT_EQ(ImageList_GetImageCount(icons.Handle()), 2);
        icons.Clear();
        EXPECT_EQ(icons.Count(), 0);
        EXPECT_EQ(icons.AddFileIcon(FixturePath("fixture_noversion")), 1);

        const UniqueHIcon icon = LoadFileIcon(FixturePath("fixture_complete"), size);
        ASSERT_TRUE(icon);
        EXPECT_EQ(IconWidth(icon.get()), pixels);
        EXPECT_FALSE(LoadFileIcon(FixturePath("fixture_absent"), size));
    }
}

}  // namespace
