// The window base: a failure inside a handler is told and the window goes on;
// a window outlives no object of its own.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/Window.h"

using namespace dovoviza;

namespace {

class Throwing : public win32::Window {
public:
    bool Make() {
        return RegisterClassOnce(L"dovovizaTestThrowing", nullptr, nullptr, nullptr) &&
               Create(L"dovovizaTestThrowing", 0, WS_OVERLAPPED, L"", 0, 0, 0, 0, nullptr, nullptr);
    }
    int handled = 0;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP) throw std::runtime_error("list reload failed");
        if (message == WM_APP + 1) return ++handled;
        return Window::HandleMessage(message, wParam, lParam);
    }
};

}  // namespace

TEST(WindowBase, AFailureInAHandlerIsToldAndTheWindowGoesOn) {
    std::vector<std::string> told;
    win32::SetFailureReporter([&](const std::string& what) { told.push_back(what); });
    HWND handle = nullptr;
    {
        Throwing window;
        ASSERT_TRUE(window.Make());
        handle = window.Handle();
        EXPECT_EQ(SendMessageW(handle, WM_APP, 0, 0), 0);
        EXPECT_EQ(told, std::vector<std::string>{"list reload failed"});
        EXPECT_EQ(SendMessageW(handle, WM_APP + 1, 0, 0), 1);
    }
    // The object went first: its window went with it, without calling back into it.
    EXPECT_FALSE(IsWindow(handle));
    win32::SetFailureReporter(nullptr);
}
