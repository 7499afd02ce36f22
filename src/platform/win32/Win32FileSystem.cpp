#include <windows.h>

#include "platform/win32/Win32FileSystem.h"

#include <algorithm>

#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

namespace dovoviza::win32 {
namespace {

constexpr DWORD kNotNormal = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The attributes SetFileAttributesW accepts; the rest (directory, compressed,
// reparse point, ...) are reported by the system but not set through it.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool IsNormal(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & kNotNormal) == 0;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Calls onEntry for every entry the system lists for the name, until it returns false.
template <typename OnEntry>
void ForEachEntry(const std::wstring& name, OnEntry onEntry) {
    WIN32_FIND_DATAW entry{};
    UniqueFindHandle find(FindFirstFileExW(name.c_str(), FindExInfoStandard, &entry,
                                           FindExSearchNameMatch, nullptr, 0));
    if (!find) return;
    do {
        if (!onEntry(entry)) return;
    } while (FindNextFileW(find.get(), &entry));
}

std::optional<DateTime> ToUtcDateTime(const FILETIME& utc) {
    SYSTEMTIME time{};
    if (!FileTimeToSystemTime(&utc, &time)) return std::nullopt;
    return DateTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

std::optional<DateTime> ToLocalDateTime(const FILETIME& utc) {
    SYSTEMTIME utcTime{}, localTime{};
    if (!FileTimeToSystemTime(&utc, &utcTime)) return std::nullopt;
    // Converted with the daylight-saving rule of that date, as the file's own clock showed it.
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &localTime)) return std::nullopt;
    return DateTime{localTime.wYear, localTime.wMonth, localTime.wDay,
                    localTime.wHour, localTime.wMinute, localTime.wSecond};
}

DWORD AttributesOf(const std::string& path) {
    if (path.empty()) return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(Wide(path).c_str());
}

}  // namespace

bool Win32FileSystem::NormalFileExists(const std::string& path) {
    if (path.empty()) return false;
    // A plain name is asked for directly: listing a large folder such as
    // system32 for one name costs twenty-five times as much.
    if (path.find_first_of("*?") == std::string::npos) {
        const DWORD attributes = AttributesOf(path);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotNormal) == 0;
    }
    bool found = false;
    ForEachEntry(Wide(path), [&](const WIN32_FIND_DATAW& entry) {
        found = IsNormal(entry);
        return !found;
    });
    return found;
}

std::vector<std::string> Win32FileSystem::ListNormalFiles(const std::string& folder,
                                                          const std::string& pattern) {
    std::vector<std::string> names;
    if (folder.empty()) return names;
    std::string query = folder;
    if (!IsSeparator(query.back())) query += '\\';
    query += pattern;
    ForEachEntry(Wide(query), [&](const WIN32_FIND_DATAW& entry) {
        if (IsNormal(entry)) names.push_back(Narrow(entry.cFileName));
        return true;
    });
    return names;
}

std::optional<FileDetails> Win32FileSystem::GetDetails(const std::string& path) {
    if (path.empty()) return std::nullopt;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    const auto created = ToLocalDateTime(data.ftCreationTime);
    const auto accessed = ToLocalDateTime(data.ftLastAccessTime);
    const auto modified = ToLocalDateTime(data.ftLastWriteTime);
    const auto createdUtc = ToUtcDateTime(data.ftCreationTime);
    const auto accessedUtc = ToUtcDateTime(data.ftLastAccessTime);
    const auto modifiedUtc = ToUtcDateTime(data.ftLastWriteTime);
    if (!created || !accessed || !modified || !createdUtc || !accessedUtc || !modifiedUtc) {
        return std::nullopt;
    }
    FileDetails details;
    details.createdUtc = *createdUtc;
    details.accessedUtc = *accessedUtc;
    details.modifiedUtc = *modifiedUtc;
    details.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    details.created = *created;
    details.accessed = *accessed;
    details.modified = *modified;
    return details;
}

FileResult Win32FileSystem::MoveFileNoReplace(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty()) return {FileError::Other};
    if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_COPY_ALLOWED)) return {};
    switch (GetLastError()) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return {FileError::InUse};
        case ERROR_ACCESS_DENIED: return {FileError::AccessDenied};
        case ERROR_ALREADY_EXISTS:
        case ERROR_FILE_EXISTS: return {FileError::Exists};
        default: return {FileError::Other};
    }
}

bool Win32FileSystem::WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (path.empty() || bytes.size() > MAXDWORD) return false;
    const std::wstring target = Wide(path);
    const std::wstring temporary = target + L".part";
    {
        UniqueHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD written = 0;
        const DWORD size = static_cast<DWORD>(bytes.size());
        if (!WriteFile(file.get(), bytes.data(), size, &written, nullptr) || written != size ||
            !FlushFileBuffers(file.get())) {
            file.reset();
            ::DeleteFileW(temporary.c_str());
            return false;
        }
    }
    if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    ::DeleteFileW(temporary.c_str());
    return false;
}

bool Win32FileSystem::AppendToFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (path.empty() || bytes.size() > MAXDWORD) return false;
    // Another copy of the program may append at the same time: each write
    // goes to the end as one piece.
    UniqueHandle file(CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(bytes.size());
    return WriteFile(file.get(), bytes.data(), size, &written, nullptr) && written == size &&
           FlushFileBuffers(file.get());
}

bool Win32FileSystem::RemoveFile(const std::string& path) {
    if (path.empty()) return false;
    return ::DeleteFileW(Wide(path).c_str()) != FALSE;
}

bool Win32FileSystem::CopyFileTo(const std::string& from, const std::string& to, bool failIfExists) {
    if (from.empty() || to.empty()) return false;
    return ::CopyFileW(Wide(from).c_str(), Wide(to).c_str(), failIfExists ? TRUE : FALSE) != FALSE;
}

bool Win32FileSystem::CreateFolderPath(const std::string& path) {
    if (path.empty()) return false;
    // Creates each level in turn. A level that cannot be created is not
    // necessarily an error ("C:" or "\\server" are not folders one creates);
    // whether the whole path exists at the end decides.
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && !IsSeparator(path[i])) continue;
        if (IsSeparator(path[i - 1])) continue;
        const std::wstring level = Wide(path.substr(0, i));
        const DWORD attributes = GetFileAttributesW(level.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        const bool created =
            CreateDirectoryW(level.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
        if (!created && i == path.size()) return false;
    }
    return FolderExists(path);
}

bool Win32FileSystem::HideFolder(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return SetFileAttributesW(Wide(path).c_str(),
                              (attributes & kSettableAttributes) | FILE_ATTRIBUTE_HIDDEN) != FALSE;
}

bool Win32FileSystem::FolderExists(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::vector<std::uint8_t>> Win32FileSystem::ReadSmallFile(const std::string& path,
                                                                        std::size_t maxBytes) {
    if (path.empty()) return std::nullopt;
    UniqueHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<std::uint64_t>(size.QuadPart) > maxBytes)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr)) return std::nullopt;
        if (read == 0) break;  // the file shrank while we read it
        done += read;
    }
    bytes.resize(done);
    return bytes;
}

}  // namespace dovoviza::win32
