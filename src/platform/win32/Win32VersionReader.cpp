#include <windows.h>

#include "platform/win32/Win32VersionReader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/WideText.h"

namespace dovoviza::win32 {
namespace {

class Win32VersionResource final : public IVersionResource {
public:
    explicit Win32VersionResource(std::vector<BYTE> block) : block_(std::move(block)) {}

    std::optional<std::uint32_t> FirstTranslation() override {
        UINT length = 0;
        std::size_t room = 0;
        const void* entry = Query(L"\\VarFileInfo\\Translation", length, room);
        if (!entry || length < 2 * sizeof(WORD) || room < 2 * sizeof(WORD)) return std::nullopt;
        WORD pair[2] = {};
        std::memcpy(pair, entry, sizeof(pair));
        return static_cast<std::uint32_t>(pair[0]) | (static_cast<std::uint32_t>(pair[1]) << 16);
    }

    std::optional<std::string> QueryString(const std::string& subBlock) override {
        UINT length = 0;
        std::size_t room = 0;
        const void* text = Query(Wide(subBlock), length, room);
        if (!text) return std::nullopt;
        // The length is in characters and may count the terminator; the
        // terminator is not part of the text, anything before it is.
        const std::size_t characters = std::min<std::size_t>(length, room / sizeof(wchar_t));
        std::wstring_view value(static_cast<const wchar_t*>(text), characters);
        while (!value.empty() && value.back() == L'\0') value.remove_suffix(1);
        return Narrow(value);
    }

private:
    // The value's place inside our copy of the resource; null when the query
    // fails or points outside it. The length is whatever VerQueryValueW gives
    // (characters for strings, bytes otherwise); room is the bytes left in the
    // block from the value on, which no read may pass.
    const void* Query(const std::wstring& subBlock, UINT& length, std::size_t& room) {
        void* value = nullptr;
        length = 0;
        if (!VerQueryValueW(block_.data(), subBlock.c_str(), &value, &length) || !value)
            return nullptr;
        const BYTE* begin = block_.data();
        const BYTE* end = begin + block_.size();
        const BYTE* at = static_cast<const BYTE*>(value);
        if (at < begin || at >= end) return nullptr;
        room = static_cast<std::size_t>(end - at);
        return value;
    }

    std::vector<BYTE> block_;
};

}  // namespace

std::unique_ptr<IVersionResource> Win32VersionReader::Open(const std::string& path) {
    if (path.empty()) return nullptr;
    const std::wstring widePath = Wide(path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(widePath.c_str(), &ignored);
    if (size == 0) return nullptr;
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(widePath.c_str(), 0, size, block.data())) return nullptr;
    return std::make_unique<Win32VersionResource>(std::move(block));
}

}  // namespace dovoviza::win32
