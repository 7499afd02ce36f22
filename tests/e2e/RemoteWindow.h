#pragma once
// Reading another process's standard controls the way any outside tool does:
// the text buffers of list views and status bars must live in the owner's
// address space, so they are allocated there.

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

class RemoteBuffer {
public:
    RemoteBuffer(HWND window, SIZE_T size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool Valid() const { return process_ != nullptr && address_ != nullptr; }
    void* Address() const { return address_; }
    bool Write(const void* data, SIZE_T size, SIZE_T offset = 0);
    bool Read(void* data, SIZE_T size, SIZE_T offset = 0);

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

int ListRowCount(HWND list);
std::wstring ListCellText(HWND list, int row, int column);
std::vector<std::vector<std::wstring>> ListRows(HWND list, int columns);
std::wstring StatusBarText(HWND statusBar, int part);
std::wstring ListColumnHeader(HWND list, int column);
std::wstring WindowText(HWND window);

// Waits until the predicate holds or the time is up, pumping nothing.
template <typename Predicate>
bool WaitFor(Predicate predicate, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (predicate()) return true;
        if (GetTickCount() - start > milliseconds) return false;
        Sleep(100);
    }
}

}  // namespace e2e
