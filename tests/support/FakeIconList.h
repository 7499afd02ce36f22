#pragma once
// An image list that records which files' icons were added. Given a
// FakeFileSystem, only paths that exist there (files or folders) have an icon,
// as with the shell.

#include <string>
#include <vector>

#include "FakeFileSystem.h"
#include "platform/Icons.h"

namespace dovoviza::test {

class FakeIconList : public IIconList {
public:
    explicit FakeIconList(const FakeFileSystem* files = nullptr) : files_(files) {}

    void Clear() override { icons.clear(); }
    int AddFileIcon(const std::string& path) override {
        requests.push_back(path);
        if (files_ && !files_->Exists(path)) return 0;
        icons.push_back(path);
        return Count();
    }
    int Count() const override { return static_cast<int>(icons.size()); }

    std::vector<std::string> icons;     // the paths whose icons the list holds, index 1 first
    std::vector<std::string> requests;  // every AddFileIcon call

private:
    const FakeFileSystem* files_ = nullptr;
};

}  // namespace dovoviza::test
