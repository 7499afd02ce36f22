#include "FakeIconList.h"

#include "FakeFileSystem.h"

namespace dovoviza::test {

int FakeIconList::AddFileIcon(const std::string& path) {
    requests.push_back(path);
    if (noIcon.count(path) > 0 || (files_ && !files_->Exists(path))) return 0;
    icons.push_back(path);
    return Count();
}

}  // namespace dovoviza::test
