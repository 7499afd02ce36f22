#include <windows.h>

#include "platform/win32/Win32System.h"

#include <climits>

#include "platform/Text.h"
#include "platform/win32/WideText.h"

namespace dovoviza::win32 {
namespace {

// Module paths may be longer than MAX_PATH; this is the system's own limit.
constexpr DWORD kMaxPathChars = 32768;

// The running program's full path; empty on failure.
std::wstring ModulePath() {
    for (DWORD capacity = MAX_PATH; capacity <= kMaxPathChars; capacity *= 2) {
        std::wstring buffer(capacity, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), capacity);
        if (length == 0) return {};
        // A full buffer means the path was cut.
        if (length < capacity) {
            buffer.resize(length);
            return buffer;
        }
    }
    return {};
}

SYSTEMTIME ToSystemTime(const DateTime& value) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(value.year);
    time.wMonth = static_cast<WORD>(value.month);
    time.wDay = static_cast<WORD>(value.day);
    time.wHour = static_cast<WORD>(value.hour);
    time.wMinute = static_cast<WORD>(value.minute);
    time.wSecond = static_cast<WORD>(value.second);
    return time;
}

// Calls a Win32 function of the "ask for the size, then fill" kind: fill(nullptr, 0)
// returns the characters needed including the NUL, fill(buffer, size) the
// characters written including it; 0 means failure.
template <typename Fill>
std::string FetchText(Fill fill) {
    const int needed = fill(nullptr, 0);
    if (needed <= 0) return {};
    std::wstring buffer(static_cast<std::size_t>(needed), L'\0');
    const int written = fill(buffer.data(), needed);
    if (written <= 0) return {};
    buffer.resize(static_cast<std::size_t>(written - 1));
    return Narrow(buffer);
}

}  // namespace

std::optional<WindowsVersion> Win32System::Version() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExW(&info)) return std::nullopt;
    return WindowsVersion{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

bool Win32System::IsWow64() {
    // Looked up at run time: systems before XP SP2 do not have the function.
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return false;
    const FARPROC found = GetProcAddress(kernel, "IsWow64Process");
    if (!found) return false;
    const auto isWow64Process =
        reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void (*)()>(found));
    BOOL wow64 = FALSE;
    if (!isWow64Process(GetCurrentProcess(), &wow64)) return false;
    return wow64 != FALSE;
}

std::string Win32System::ProgramFolder() {
    const std::wstring path = ModulePath();
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    return Narrow(std::wstring_view(path).substr(0, slash));
}

std::string Win32System::ProgramName() {
    const std::wstring path = ModulePath();
    const std::size_t slash = path.find_last_of(L"\\/");
    std::string name = Narrow(slash == std::wstring::npos ? path : path.substr(slash + 1));
    if (EndsWithAsciiNoCase(name, ".exe")) name.resize(name.size() - 4);
    return name;
}

std::string Win32System::SystemFolder() {
    const UINT needed = GetSystemDirectoryW(nullptr, 0);
    if (needed == 0) return {};
    std::wstring buffer(needed, L'\0');
    const UINT length = GetSystemDirectoryW(buffer.data(), needed);
    if (length == 0 || length >= needed) return {};
    buffer.resize(length);
    if (buffer.size() > 3 && buffer.back() == L'\\') buffer.pop_back();
    return Narrow(buffer);
}

std::string Win32System::FormatShortDate(const DateTime& value) {
    const SYSTEMTIME time = ToSystemTime(value);
    return FetchText([&](wchar_t* buffer, int size) {
        return GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer, size);
    });
}

std::string Win32System::FormatLongTime(const DateTime& value) {
    const SYSTEMTIME time = ToSystemTime(value);
    return FetchText([&](wchar_t* buffer, int size) {
        return GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, buffer, size);
    });
}

std::string Win32System::DecimalSymbol() {
    return FetchText([](wchar_t* buffer, int size) {
        return GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, size);
    });
}

DateTime Win32System::NowUtc() {
    SYSTEMTIME t{};
    GetSystemTime(&t);
    return DateTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::string Win32System::ExpandEnvironment(const std::string& text) {
    if (text.find('%') == std::string::npos) return text;
    const std::wstring wide = Wide(text);
    const std::string expanded = FetchText([&wide](wchar_t* buffer, int size) {
        return static_cast<int>(
            ExpandEnvironmentStringsW(wide.c_str(), buffer, static_cast<DWORD>(size)));
    });
    // A failure leaves the text as stored rather than an empty path.
    return expanded.empty() ? text : expanded;
}

std::string Win32System::ToUpper(const std::string& text) {
    if (text.empty()) return text;
    const std::wstring wide = Wide(text);
    if (wide.size() > INT_MAX) return text;
    const int length = static_cast<int>(wide.size());
    const int needed =
        LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, wide.data(), length, nullptr, 0);
    if (needed <= 0) return text;
    std::wstring upper(static_cast<std::size_t>(needed), L'\0');
    const int written =
        LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, wide.data(), length, upper.data(), needed);
    if (written <= 0) return text;
    upper.resize(static_cast<std::size_t>(written));
    return Narrow(upper);
}

std::optional<std::string> Win32System::DecodeCodePage(const std::vector<std::uint8_t>& bytes,
                                                       unsigned codePage) {
    if (!IsValidCodePage(codePage)) return std::nullopt;
    if (bytes.empty()) return std::string();
    if (bytes.size() > INT_MAX) return std::nullopt;
    const char* source = reinterpret_cast<const char*>(bytes.data());
    const int sourceLength = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(codePage, 0, source, sourceLength, nullptr, 0);
    if (needed <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    const int written = MultiByteToWideChar(codePage, 0, source, sourceLength, wide.data(), needed);
    if (written <= 0) return std::nullopt;
    wide.resize(static_cast<std::size_t>(written));
    return Narrow(wide);
}

}  // namespace dovoviza::win32
