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
    bool KeyExists(Hive hive, const std::string& path) override {
        return !Fails(RegFault::Open, Id(hive, path)) && HasKey(hive, path);
    }

    // Test set-up: these create the key (and its parents) and ignore injected faults.
    void AddKey(Hive hive, const std::string& path);
    // Stores the text as UTF-16LE with a terminating NUL, under the given type.
    void SetString(Hive hive, const std::string& path, const std::string& name, const std::string& text,
                   std::uint32_t type = RegType::String);
    void SetValue(Hive hive, const std::string& path, const RegValue& value);
    void RemoveKey(Hive hive, const std::string& path);  // with its subkeys

    // Test inspection.
    std::optional<RegValue> GetValue(Hive hive, const std::string& path, const std::string& name) const;
    // The data decoded from UTF-16LE, up to its first NUL.
    std::optional<std::string> GetString(Hive hive, const std::string& path, const std::string& name) const;
    std::vector<std::string> ValueNames(Hive hive, const std::string& path) const;
    bool HasKey(Hive hive, const std::string& path) const {
        const KeyId id = Id(hive, path);
        return id.second.empty() || keys_.count(id) > 0;
    }

    // Failure injection: the operation fails on that key (exact path).
    void Fail(RegFault fault, Hive hive, const std::string& path) { faults_.insert({fault, Id(hive, path)}); }
    void ClearFailures() { faults_.clear(); }

private:
    friend class FakeRegKey;
    using KeyId = std::pair<Hive, std::string>;  // hive and folded path

    static KeyId Id(Hive hive, const std::string& path);
    std::vector<RegValue>* Find(const KeyId& id);  // the key's values in order
    bool Fails(RegFault fault, const KeyId& id) const { return faults_.count({fault, id}) > 0; }

    std::map<KeyId, std::vector<RegValue>> keys_;
    std::set<std::pair<RegFault, KeyId>> faults_;
};

}  // namespace dovoviza::test
