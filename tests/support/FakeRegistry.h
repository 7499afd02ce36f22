#pragma once
// An in-memory registry. Key paths and value names are matched without regard
// to case, as Windows does; values keep their creation order, exact type and
// bytes. Operations can be made to fail per key, so that tests
// can show a failed step loses nothing.

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Registry.h"

namespace dovoviza::test {

enum class RegFault { Open, Create, Write, Delete };

class FakeRegistry : public IRegistry {
public:
    std::unique_ptr<IRegKey> OpenKey(Hive hive, const std::string& path, bool writable) override;
    std::unique_ptr<IRegKey> CreateKey(Hive hive, const std::string& path) override;
    bool KeyExists(Hive hive, const std::string& path) override;

    // Test set-up: these create the key (and its parents) and ignore injected faults.
    void AddKey(Hive hive, const std::string& path);
    // Stores the text as UTF-16LE with a terminating NUL, under the given type.
    void SetString(Hive hive, const std::string& path, const std::string& name,
                   const std::string& text, std::uint32_t type = RegType::String);
    void SetValue(Hive hive, const std::string& path, const RegValue& value);
    void RemoveKey(Hive hive, const std::string& path);  // with its subkeys

    // Test inspection.
    std::optional<RegValue> GetValue(Hive hive, const std::string& path,
                                      const std::string& name) const;
    // The data decoded from UTF-16LE, up to its first NUL.
    std::optional<std::string> GetString(Hive hive, const std::string& path,
                                         const std::string& name) const;
    std::vector<std::string> ValueNames(Hive hive, const std::string& path) const;
    bool HasKey(Hive hive, const std::string& path) const;

    // Failure injection: the operation fails on that key (exact path).
    void Fail(RegFault fault, Hive hive, const std::string& path);
    void ClearFailures();

private:
    friend class FakeRegKey;
    struct Key {
        std::string path;  // as first created
        std::vector<RegValue> values;
    };
    using KeyId = std::pair<Hive, std::string>;  // hive and folded path

    static KeyId Id(Hive hive, const std::string& path);
    Key* Find(const KeyId& id);
    const Key* Find(const KeyId& id) const;
    void Create(Hive hive, const std::string& path);
    bool Fails(RegFault fault, const KeyId& id) const;

    std::map<KeyId, Key> keys_;
    std::set<std::pair<RegFault, KeyId>> faults_;
};

}  // namespace dovoviza::test
