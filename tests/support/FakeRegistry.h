#pragma once
// An in-memory registry. Key paths and value names are matched without regard
// to case, as Windows does; values keep their creation order, exact type and
// bytes. Operations can be made to fail per key, so that tests can show a
// failed step loses nothing.

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FakeSystem.h"
#include "platform/Registry.h"
#include "platform/Text.h"

namespace dovoviza::test {

enum class RegFault { Open, Create, Write, Delete };

class FakeRegistry : public IRegistry {
public:
    std::unique_ptr<IRegKey> OpenKey(Hive hive, const std::string& path, bool writable) override {
        const KeyId id = Id(hive, path);
        if (Fails(RegFault::Open, id) || !Find(id)) return nullptr;
        return std::make_unique<Key>(*this, id, writable);
    }
    std::unique_ptr<IRegKey> CreateKey(Hive hive, const std::string& path) override {
        const KeyId id = Id(hive, path);
        const bool creatable = !Fails(RegFault::Open, id) && !Fails(RegFault::Create, id);
        if (creatable && !Find(id)) Make(hive, path);
        return OpenKey(hive, path, true);
    }
    bool KeyExists(Hive hive, const std::string& path) override {
        return !Fails(RegFault::Open, Id(hive, path)) && HasKey(hive, path);
    }

    // Test set-up: these create the key and its parents and ignore injected
    // faults. Text is stored as UTF-16LE with a terminating NUL.
    void SetString(Hive hive, const std::string& path, const std::string& name,
                   const std::string& text, std::uint32_t type = RegType::String) {
        SetValue(hive, path, RegValue{name, type, EncodeUtf16LeWithNul(text)});
    }
    void SetValue(Hive hive, const std::string& path, const RegValue& value) {
        Put(Make(hive, path), value);
    }
    void RemoveKey(Hive hive, const std::string& path) {  // with its subkeys
        const KeyId id = Id(hive, path);
        std::erase_if(keys_, [&](const auto& key) {
            const auto& [keyHive, keyPath] = key.first;
            return keyHive == hive &&
                   (keyPath == id.second || keyPath.starts_with(id.second + "\\"));
        });
    }

    std::optional<RegValue> GetValue(Hive hive, const std::string& path,
                                     const std::string& name) const {
        const Values* values = Find(Id(hive, path));
        if (!values) return std::nullopt;
        const auto it = std::find_if(values->begin(), values->end(), Named(name));
        return it == values->end() ? std::nullopt : std::optional(*it);
    }
    // The data decoded from UTF-16LE, up to its first NUL.
    std::optional<std::string> GetString(Hive hive, const std::string& path,
                                         const std::string& name) const {
        const auto value = GetValue(hive, path, name);
        return value ? std::optional(CutAtNul(DecodeUtf16Le(value->data))) : std::nullopt;
    }
    std::vector<std::string> ValueNames(Hive hive, const std::string& path) const {
        std::vector<std::string> names;
        if (const Values* values = Find(Id(hive, path))) {
            for (const RegValue& value : *values) names.push_back(value.name);
        }
        return names;
    }
    bool HasKey(Hive hive, const std::string& path) const { return Find(Id(hive, path)); }

    // Failure injection: the operation fails on that key (exact path).
    void Fail(RegFault fault, Hive hive, const std::string& path) {
        faults_.insert({fault, Id(hive, path)});
    }
    void ClearFailures() { faults_.clear(); }

private:
    using KeyId = std::pair<Hive, std::string>;  // hive and folded path ("" is the root)
    using Values = std::vector<RegValue>;        // in creation order

    // A handle looks its key up on every call, so a key removed while open
    // makes later calls fail instead of touching freed memory.
    class Key : public IRegKey {
    public:
        Key(FakeRegistry& owner, KeyId id, bool writable)
            : owner_(owner), id_(std::move(id)), writable_(writable) {}

        std::optional<std::uint32_t> ValueCount() override {
            const Values* values = owner_.Find(id_);
            if (!values) return std::nullopt;
            return static_cast<std::uint32_t>(values->size());
        }
        std::optional<std::uint32_t> SubkeyCount() override {
            if (!owner_.Find(id_)) return std::nullopt;
            const std::string prefix = id_.second.empty() ? "" : id_.second + "\\";
            std::uint32_t count = 0;
            for (const auto& [id, values] : owner_.keys_) {
                count += id.first == id_.first && id.second.size() > prefix.size() &&
                         id.second.starts_with(prefix) &&
                         id.second.find('\\', prefix.size()) == std::string::npos;
            }
            return count;
        }
        std::optional<RegValue> EnumValue(std::uint32_t index) override {
            const Values* values = owner_.Find(id_);
            if (!values || index >= values->size()) return std::nullopt;
            return (*values)[index];
        }
        std::optional<RegValue> ReadValue(const std::string& name) override {
            return owner_.GetValue(id_.first, id_.second, name);  // a folded path folds to itself
        }
        bool WriteValue(const std::string& name, std::uint32_t type,
                        const std::vector<std::uint8_t>& data) override {
            Values* values = Changeable(RegFault::Write);
            if (values) Put(*values, RegValue{name, type, data});
            return values;
        }
        bool DeleteValue(const std::string& name) override {
            Values* values = Changeable(RegFault::Delete);
            return values && std::erase_if(*values, Named(name)) > 0;
        }

    private:
        Values* Changeable(RegFault fault) {
            return writable_ && !owner_.Fails(fault, id_) ? owner_.Find(id_) : nullptr;
        }

        FakeRegistry& owner_;
        KeyId id_;
        bool writable_;
    };

    static KeyId Id(Hive hive, const std::string& path) {
        return {hive, FoldCase(TrimEnd(path, "\\"))};
    }
    struct Named {
        explicit Named(const std::string& name) : folded(FoldCase(name)) {}
        bool operator()(const RegValue& v) const { return FoldCase(v.name) == folded; }
        std::string folded;
    };
    // Windows keeps the name as first stored when a value is overwritten.
    static void Put(Values& values, const RegValue& value) {
        const auto it = std::find_if(values.begin(), values.end(), Named(value.name));
        if (it == values.end()) {
            values.push_back(value);
        } else {
            it->type = value.type;
            it->data = value.data;
        }
    }

    const Values* Find(const KeyId& id) const {
        const auto it = keys_.find(id);
        return it == keys_.end() ? nullptr : &it->second;
    }
    Values* Find(const KeyId& id) { return const_cast<Values*>(std::as_const(*this).Find(id)); }
    Values& Make(Hive hive, const std::string& path) {
        const std::string clean = TrimEnd(path, "\\");
        for (std::size_t end = clean.find('\\'); end != std::string::npos;
             end = clean.find('\\', end + 1)) {
            keys_[Id(hive, clean.substr(0, end))];
        }
        return keys_[Id(hive, clean)];
    }
    bool Fails(RegFault fault, const KeyId& id) const { return faults_.count({fault, id}) > 0; }

    std::map<KeyId, Values> keys_{{{Hive::CurrentUser, ""}, {}}, {{Hive::LocalMachine, ""}, {}}};
    std::set<std::pair<RegFault, KeyId>> faults_;
};

}  // namespace dovoviza::test
