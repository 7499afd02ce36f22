#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/WideText.h"

using namespace dovoviza::win32;

TEST(WideText, RoundTripsThroughTheSystemsOwnConversion) {
    // What we produce must be what the system itself makes of the same UTF-8.
    for (const std::string s : {"Привет", "日本語", "\xF0\x9F\x98\x80"}) {
        wchar_t theirs[64] = {};
        const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), theirs, 64);
        ASSERT_GT(n, 0);
        EXPECT_EQ(Wide(s), std::wstring(theirs, static_cast<std::size_t>(n)));
        EXPECT_EQ(Narrow(Wide(s)), s);
    }
}
