#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <thread>

#include "platform/win32/Handles.h"

using namespace dovoviza::win32;

namespace {

bool IsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

bool ComIsInitialised() {
    APTTYPE type{};
    APTTYPEQUALIFIER qualifier{};
    return CoGetApartmentType(&type, &qualifier) != CO_E_NOTINITIALIZED;
}

TEST(UniqueHandle, ClosesExactlyOnceWhereverItMovesAndFailedOpensOwnNothing) {
    UniqueHandle first(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(first);
    const HANDLE raw = first.get();
    {
        UniqueHandle second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.get(), raw);
        UniqueHandle third;
        third = std::move(second);
        EXPECT_TRUE(IsOpen(raw));
    }
    EXPECT_FALSE(IsOpen(raw));

    // CreateFileW and FindFirstFileW report failure as INVALID_HANDLE_VALUE, which must not be closed.
    EXPECT_FALSE(UniqueHandle(CreateFileW(L"Q:\\no\\such\\file", GENERIC_READ, 0, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    WIN32_FIND_DATAW entry{};
    EXPECT_FALSE(UniqueFindHandle(FindFirstFileW(L"Q:\\no\\such\\*", &entry)));
}

TEST(ComInitializer, UninitialisesOnlyWhatItInitialised) {
    std::thread([] {
        {
            ComInitializer com;
            EXPECT_TRUE(com.Usable());
            EXPECT_TRUE(ComIsInitialised());
        }
        EXPECT_FALSE(ComIsInitialised());
    }).join();
    // A thread already in the other model keeps COM after our initialiser goes.
    std::thread([] {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        {
            ComInitializer com(COINIT_APARTMENTTHREADED);
            EXPECT_TRUE(com.Usable());
        }
        EXPECT_TRUE(ComIsInitialised());
        CoUninitialize();
    }).join();
}

}  // namespace
