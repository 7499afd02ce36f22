#include "FakeShell.h"

#include "FakeFileSystem.h"

namespace dovoviza::test {

namespace {
constexpr std::string_view kShortcutMagic = "[test shortcut]\n";
}

std::string FakeShell::ShortcutFileContent(const std::string& target) {
    return std::string(kShortcutMagic) + target;
}

std::string FakeShell::StartupFolder(StartupFolderKind kind) {
    return kind == StartupFolderKind::User ? userStartup : commonStartup;
}

std::optional<std::string> FakeShell::ReadShortcutTarget(const std::string& lnkPath) {
    if (files_) {
        const auto bytes = files_->ReadSmallFile(lnkPath, 1 << 20);
        if (!bytes) return std::nullopt;
        const std::string content(bytes->begin(), bytes->end());
        if (content.compare(0, kShortcutMagic.size(), kShortcutMagic) != 0) return std::nullopt;
        return content.substr(kShortcutMagic.size());
    }
    const auto it = shortcuts.find(lnkPath);
    if (it == shortcuts.end()) return std::nullopt;
    return it->second;
}

bool FakeShell::WriteShortcut(const ShortcutInfo& shortcut) {
    written.push_back(shortcut);
    if (!writeShortcutResult) return false;
    if (files_) {
        const std::size_t slash = shortcut.path.find_last_of("\\/");
        if (slash == std::string::npos || !files_->FolderExists(shortcut.path.substr(0, slash))) {
            return false;
        }
        files_->AddFile(shortcut.path, ShortcutFileContent(shortcut.target));
    }
    shortcuts[shortcut.path] = shortcut.target;
    return true;
}

bool FakeShell::StartCommandLine(const std::string& commandLine) {
    started.push_back(commandLine);
    return startResult;
}

bool FakeShell::Open(const std::string& target, const std::string& parameters,
                     const std::string& workingFolder) {
    opened.push_back(OpenCall{target, parameters, workingFolder});
    return openResult;
}

bool FakeShell::ShowProperties(const std::string& path) {
    propertiesShown.push_back(path);
    return propertiesResult;
}

void FakeShell::AddShortcut(const std::string& lnkPath, const std::string& target) {
    if (files_) files_->AddFile(lnkPath, ShortcutFileContent(target));
    shortcuts[lnkPath] = target;
}

}  // namespace dovoviza::test
