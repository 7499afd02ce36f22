#include "TestWorld.h"

#include "catalogue/Loaders.h"

namespace dovoviza::test {

namespace {

StartupFolderPaths PreparedFolders(FakeShell& shell, FakeFileSystem& files) {
    files.AddFolder(shell.userStartup);
    files.AddFolder(shell.commonStartup);
    StartupFolderPaths folders = ResolveStartupFolders(shell);
    PrepareDisabledFolders(files, folders);
    return folders;
}

}  // namespace

TestWorld::TestWorld()
    : folders(PreparedFolders(shell, files)), list(platform, fileInfo, texts, icons, folders) {
    texts.Set("Main", "34", "items");
    texts.Set("Main", "35", "disabled");
    texts.Set("Main", "36", kNotFound);
    texts.Set("Main", "37", kDisabled);
}

void TestWorld::AddProgram(const std::string& path, const std::string& product,
                           const std::string& company) {
    files.AddFile(path, std::string(1500, 'x'));
    versions.AddStrings(path, 0x0409, 0x04B0,
                        {{"CompanyName", company},
                         {"FileDescription", product + " description"},
                         {"FileVersion", "1.2.3"},
                         {"ProductName", product}});
}

void TestWorld::SetRunValue(Hive hive, const std::string& keyPath, const std::string& name,
                            const std::string& command) {
    registry.SetString(hive, keyPath, name, command);
}

void TestWorld::AddShortcut(const std::string& folder, const std::string& name,
                            const std::string& target) {
    std::string path = folder;
    if (path.back() != '\\') path += '\\';
    shell.AddShortcut(path + name, target);
}

}  // namespace dovoviza::test
