#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "platform/win32/Win32Shell.h"

#include <cwchar>
#include <type_traits>
#include <vector>

#include "platform/win32/WideText.h"

namespace dovoviza::win32 {
namespace {

// The longest path the system handles, in characters.
constexpr DWORD kMaxPathChars = 32768;

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

void DropTrailingBackslash(std::wstring& path) {
    // "C:\" keeps its backslash: without it the text names the drive's current folder.
    if (path.size() > 3 && path.back() == L'\\') path.pop_back();
}

std::optional<std::wstring> ExpandEnvironment(const std::wstring& text) {
    const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0) return std::nullopt;
    std::vector<wchar_t> buffer(needed);
    const DWORD written = ExpandEnvironmentStringsW(text.c_str(), buffer.data(), needed);
    if (written == 0 || written > needed) return std::nullopt;
    return std::wstring(buffer.data());
}

ComPtr<IShellLinkW> NewShellLink() {
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put_void())))
        link.reset();
    return link;
}

// A '?' cannot be part of a file name, so one in a stored path (beyond a
// leading "\\?\") stands for a character that a shell wrote in its ANSI
// copy of the path only (Wine does). The item list keeps the name in full.
bool HasLostCharacters(const std::wstring& path) {
    const std::size_t start = path.rfind(L"\\\\?\\", 0) == 0 ? 4 : 0;
    return path.find(L'?', start) != std::wstring::npos;
}

std::optional<std::wstring> PathOfItemList(IShellLinkW& link) {
    PIDLIST_ABSOLUTE rawItems = nullptr;
    const HRESULT hr = link.GetIDList(&rawItems);
    const UniqueCoTaskMem<std::remove_pointer_t<PIDLIST_ABSOLUTE>> items(rawItems);
    if (hr != S_OK || !items) return std::nullopt;
    // SHGetPathFromIDListW (not the Ex form) so that XP has it; its buffer is MAX_PATH long.
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(items.get(), path)) return std::nullopt;
    return std::wstring(path);
}

bool CreateProcessWithNormalWindow(const std::wstring& commandLine) {
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    // We do not wait for the program; the handles only need closing.
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);
    return true;
}

// For a command that names a document or otherwise is not a program: the
// shell finds what opens it.
bool ShellOpenCommandLine(const std::wstring& commandLine) {
    std::vector<wchar_t> program(commandLine.begin(), commandLine.end());
    program.push_back(L'\0');
    const std::wstring arguments = PathGetArgsW(commandLine.c_str());
    PathRemoveArgsW(program.data());
    PathUnquoteSpacesW(program.data());
    if (program[0] == L'\0') return false;

    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // No error boxes: the caller reports a failure in its own words.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = program.data();
    info.lpParameters = OrNull(arguments);
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
}

}  // namespace

std::string Win32Shell::StartupFolder(StartupFolderKind kind) {
    const int folder = kind == StartupFolderKind::Common ? CSIDL_COMMON_STARTUP : CSIDL_STARTUP;
    wchar_t buffer[MAX_PATH] = {};
    // S_FALSE (the folder does not exist yet) still gives its path.
    if (FAILED(SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
    std::wstring path(buffer);
    DropTrailingBackslash(path);
    return Narrow(path);
}

std::string Win32Shell::CommonDataFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
    std::wstring path(buffer);
    DropTrailingBackslash(path);
    return Narrow(path);
}

std::optional<std::string> Win32Shell::ReadShortcutTarget(const std::string& lnkPath) {
    if (lnkPath.empty()) return std::nullopt;
    ComPtr<IShellLinkW> link = NewShellLink();
    ComPtr<IPersistFile> file;
    if (!link || FAILED(link.As(file))) return std::nullopt;
    if (FAILED(file->Load(Wide(lnkPath).c_str(), STGM_READ))) return std::nullopt;
    std::vector<wchar_t> target(kMaxPathChars);
    // Not resolved: the target is reported as stored, even when it has gone.
    const HRESULT hr = link->GetPath(target.data(), static_cast<int>(target.size()), nullptr, 0);
    if (FAILED(hr)) return std::nullopt;
    if (hr == S_FALSE) return std::string();
    target.back() = L'\0';
    std::wstring path(target.data());
    if (HasLostCharacters(path)) {
        if (auto fromItem = PathOfItemList(*link.get())) path = std::move(*fromItem);
    }
    return Narrow(path);
}

bool Win32Shell::WriteShortcut(const ShortcutInfo& shortcut) {
    if (shortcut.path.empty()) return false;
    ComPtr<IShellLinkW> link = NewShellLink();
    ComPtr<IPersistFile> file;
    if (!link || FAILED(link.As(file))) return false;
    if (FAILED(link->SetPath(Wide(shortcut.target).c_str()))) return false;
    if (FAILED(link->SetArguments(Wide(shortcut.arguments).c_str()))) return false;
    if (FAILED(link->SetWorkingDirectory(Wide(shortcut.workingDirectory).c_str()))) return false;
    if (FAILED(link->SetShowCmd(shortcut.showCommand))) return false;
    if (!shortcut.iconFile.empty() &&
        FAILED(link->SetIconLocation(Wide(shortcut.iconFile).c_str(), shortcut.iconIndex)))
        return false;
    return SUCCEEDED(file->Save(Wide(shortcut.path).c_str(), TRUE));
}

bool Win32Shell::StartCommandLine(const std::string& commandLine) {
    if (commandLine.empty()) return false;
    const auto expanded = ExpandEnvironment(Wide(commandLine));
    if (!expanded || expanded->empty()) return false;
    return CreateProcessWithNormalWindow(*expanded) || ShellOpenCommandLine(*expanded);
}

bool Win32Shell::Open(const std::string& target, const std::string& parameters,
                      const std::string& workingFolder) {
    if (target.empty()) return false;
    const std::wstring wideParameters = Wide(parameters);
    const std::wstring wideFolder = Wide(workingFolder);
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", Wide(target).c_str(),
                                           OrNull(wideParameters), OrNull(wideFolder), SW_SHOWNORMAL);
    // The result is an error code dressed as a handle; above 32 means success.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool Win32Shell::ShowProperties(const std::string& path) {
    if (path.empty()) return false;
    const std::wstring widePath = Wide(path);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"properties";
    info.lpFile = widePath.c_str();
    info.nShow = SW_SHOW;
    return ShellExecuteExW(&info) != FALSE;
}

}  // namespace dovoviza::win32
