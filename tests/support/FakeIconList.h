#pragma once
// An image list that records which files' icons were added. Given a
// FakeFileSystem, only paths that exist there (files or folders) have an icon,
// as with the shell; paths in `noIcon` never have one.

#include <set>
#include <string>
#include <vector>

#include "NoCase.h"
#include "platform/Icons.h"

namespace dovoviza::test {

class FakeFileSystem;

class FakeIconList : public IIconList {
public:
    FakeIconList() = default;
    explicit FakeIconList(const FakeFileSystem* files) : files_(files) {}

    void Clear() override { icons.clear(); }
    int AddFileIcon(const std::string& path) override;
    int Count() const override { return static_cast<int>(icons.size()); }

    std::set<std::string, NoCaseLess> noIcon;
    std::vector<std::string> icons;     // the paths whose icons the list holds, index 1 first
    std::vector<std::string> requests;  // every AddFileIcon call

private:
    const FakeFileSystem* files_ = nullptr;
};

}  // namespace dovoviza::test
