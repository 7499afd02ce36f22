#pragma once
// File icons as the shell shows them, for image lists and single icons.
// The shell wants COM initialised on the calling thread.

#include <string>

#include "platform/Icons.h"
#include "platform/win32/Handles.h"

namespace dovoviza::win32 {

// An image list of 16 by 16 (Small) or 32 by 32 (Large) images with masks.
// If the system cannot make the list, it stays empty: every icon added then
// counts as missing (index 0) and Handle() is null.
class ShellIconList final : public IIconList {
public:
    explicit ShellIconList(IconSize size);

    void Clear() override;
    int AddFileIcon(const std::string& path) override;
    int Count() const override;

    // For the list views that draw from it; the list keeps ownership.
    HIMAGELIST Handle() const noexcept { return list_.get(); }

private:
    IconSize size_;
    UniqueHImageList list_;
};

// The shell's icon of a file in the given size; empty when it has none.
UniqueHIcon LoadFileIcon(const std::string& path, IconSize size);

}  // namespace dovoviza::win32
