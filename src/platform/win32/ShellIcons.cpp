#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "platform/win32/ShellIcons.h"

#include "platform/win32/WideText.h"

namespace dovoviza::win32 {
namespace {

constexpr int kInitialImages = 16;
constexpr int kGrowBy = 16;

int PixelsOf(IconSize size) { return size == IconSize::Small ? 16 : 32; }

}  // namespace

UniqueHIcon LoadFileIcon(const std::string& path, IconSize size) {
    if (path.empty()) return UniqueHIcon();
    SHFILEINFOW info{};
    const UINT flags = SHGFI_ICON | (size == IconSize::Small ? SHGFI_SMALLICON : SHGFI_LARGEICON);
    if (SHGetFileInfoW(Wide(path).c_str(), 0, &info, sizeof(info), flags) == 0)
        return UniqueHIcon();
    return UniqueHIcon(info.hIcon);
}

ShellIconList::ShellIconList(IconSize size)
    : size_(size),
      list_(ImageList_Create(PixelsOf(size), PixelsOf(size), ILC_COLOR32 | ILC_MASK,
                             kInitialImages, kGrowBy)) {}

void ShellIconList::Clear() {
    if (!list_) return;
    // Removing image -1 removes them all. The handle must stay the same (list
    // views hold it), so the fallback shrinks the list in place.
    if (!ImageList_Remove(list_.get(), -1))
        static_cast<void>(ImageList_SetImageCount(list_.get(), 0));
}

int ShellIconList::AddFileIcon(const std::string& path) {
    if (!list_) return 0;
    const UniqueHIcon icon = LoadFileIcon(path, size_);
    if (!icon) return 0;
    // The list keeps its own copy of the image; our icon goes when this returns.
    const int index = ImageList_ReplaceIcon(list_.get(), -1, icon.get());
    return index < 0 ? 0 : index + 1;
}

int ShellIconList::Count() const {
    return list_ ? ImageList_GetImageCount(list_.get()) : 0;
}

}  // namespace dovoviza::win32
