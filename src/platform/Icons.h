#pragma once
// An image list of file icons that rows of a list refer to by index.

#include <string>

namespace dovoviza {

enum class IconSize { Small, Large };

class IIconList {
public:
    virtual ~IIconList() = default;
    virtual void Clear() = 0;
    // Appends the shell's icon of the file and returns its index, counted from 1,
    // or 0 when the shell has no icon for the path.
    virtual int AddFileIcon(const std::string& path) = 0;
    virtual int Count() const = 0;
};

}  // namespace dovoviza
