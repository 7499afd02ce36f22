#include "RemoteWindow.h"

#include <commctrl.h>

namespace e2e {

RemoteBuffer::RemoteBuffer(HWND window, SIZE_T size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_ != nullptr) {
        address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
}

RemoteBuffer::~RemoteBuffer() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_ != nullptr) CloseHandle(process_);
}

bool RemoteBuffer::Write(const void* data, SIZE_T size, SIZE_T offset) {
    SIZE_T done = 0;
    return WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &done) &&
           done == size;
}

bool RemoteBuffer::Read(void* data, SIZE_T size, SIZE_T offset) {
    SIZE_T done = 0;
    return ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &done) &&
           done == size;
}

int ListRowCount(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring ListCellText(HWND list, int row, int column) {
    constexpr int kChars = 4096;
    RemoteBuffer buffer(list, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    if (!buffer.Valid()) return L"<no access>";
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.cchTextMax = kChars;
    item.pszText = reinterpret_cast<LPWSTR>(static_cast<char*>(buffer.Address()) + sizeof(LVITEMW));
    if (!buffer.Write(&item, sizeof item)) return L"<write failed>";
    const auto length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                     reinterpret_cast<LPARAM>(buffer.Address()));
    std::wstring text(kChars, L'\0');
    if (!buffer.Read(text.data(), kChars * sizeof(wchar_t), sizeof(LVITEMW))) return L"<read failed>";
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return text;
}

std::wstring ListColumnHeader(HWND list, int column) {
    constexpr int kChars = 512;
    RemoteBuffer buffer(list, sizeof(LVCOLUMNW) + kChars * sizeof(wchar_t));
    if (!buffer.Valid()) return L"<no access>";
    LVCOLUMNW header{};
    header.mask = LVCF_TEXT;
    header.cchTextMax = kChars;
    header.pszText = reinterpret_cast<LPWSTR>(static_cast<char*>(buffer.Address()) + sizeof(LVCOLUMNW));
    if (!buffer.Write(&header, sizeof header)) return L"<write failed>";
    if (!SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                      reinterpret_cast<LPARAM>(buffer.Address()))) {
        return L"<no column>";
    }
    std::wstring text(kChars, L'\0');
    if (!buffer.Read(text.data(), kChars * sizeof(wchar_t), sizeof(LVCOLUMNW))) return L"<read failed>";
    text.resize(text.find(L'\0'));
    return text;
}

std::vector<std::vector<std::wstring>> ListRows(HWND list, int columns) {
    std::vector<std::vector<std::wstring>> rows;
    const int count = ListRowCount(list);
    for (int row = 0; row < count; ++row) {
        std::vector<std::wstring> cells;
        for (int column = 0; column < columns; ++column) cells.push_back(ListCellText(list, row, column));
        rows.push_back(std::move(cells));
    }
    return rows;
}

std::wstring StatusBarText(HWND statusBar, int part) {
    constexpr int kChars = 1024;
    RemoteBuffer buffer(statusBar, kChars * sizeof(wchar_t));
    if (!buffer.Valid()) return L"<no access>";
    const LRESULT result = SendMessageW(statusBar, SB_GETTEXTW, static_cast<WPARAM>(part),
                                        reinterpret_cast<LPARAM>(buffer.Address()));
    const int length = LOWORD(result);
    std::wstring text(kChars, L'\0');
    if (!buffer.Read(text.data(), kChars * sizeof(wchar_t))) return L"<read failed>";
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    // WM_GETTEXT is carried across processes by the system itself.
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace e2e
