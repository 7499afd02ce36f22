#include "FakeRegistry.h"

#include <algorithm>

#include "NoCase.h"
#include "platform/Text.h"

namespace dovoviza::test {

namespace {

std::string WithoutTrailingBackslash(std::string path) {
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

std::vector<RegValue>::iterator FindValue(std::vector<RegValue>& values, const std::string& name) {
    const std::string folded = FoldCase(name);
    return std::find_if(values.begin(), values.end(),
                        [&](const RegValue& v) { return FoldCase(v.name) == folded; });
}

}  // namespace

// A handle looks its key up on every call, so a key removed while open makes
// later calls fail instead of touching freed memory.
class FakeRegKey : public IRegKey {
public:
    FakeRegKey(FakeRegistry& owner, FakeRegistry::KeyId id, bool writable)
        : owner_(owner), id_(std::move(id)), writable_(writable) {}

    std::optional<std::uint32_t> ValueCount() override {
        const auto* key = owner_.Find(id_);
        if (!key) return std::nullopt;
        return static_cast<std::uint32_t>(key->values.size());
    }

    std::optional<std::uint32_t> SubkeyCount() override {
        if (!owner_.Find(id_)) return std::nullopt;
        const std::string prefix = id_.second.empty() ? std::string() : id_.second + "\\";
        std::uint32_t count = 0;
        for (const auto& [id, key] : owner_.keys_) {
            if (id.first != id_.first || id.second.empty() || id.second.size() <= prefix.size()) continue;
            if (id.second.compare(0, prefix.size(), prefix) != 0) continue;
            if (id.second.find('\\', prefix.size()) == std::string::npos) ++count;
        }
        return count;
    }

    std::optional<RegValue> EnumValue(std::uint32_t index) override {
        const auto* key = owner_.Find(id_);
        if (!key || index >= key->values.size()) return std::nullopt;
        return key->values[index];
    }

    std::optional<RegValue> ReadValue(const std::string& name) override {
        auto* key = owner_.Find(id_);
        if (!key) return std::nullopt;
        const auto it = FindValue(key->values, name);
        if (it == key->values.end()) return std::nullopt;
        return *it;
    }

    bool WriteValue(const std::string& name, std::uint32_t type,
                    const std::vector<std::uint8_t>& data) override {
        auto* key = owner_.Find(id_);
        if (!key || !writable_ || owner_.Fails(RegFault::Write, id_)) return false;
        const auto it = FindValue(key->values, name);
        if (it != key->values.end()) {
            // Windows keeps the name as first stored when a value is overwritten.
            it->type = type;
            it->data = data;
        } else {
            key->values.push_back(RegValue{name, type, data});
        }
        return true;
    }

    bool DeleteValue(const std::string& name) override {
        auto* key = owner_.Find(id_);
        if (!key || !writable_ || owner_.Fails(RegFault::Delete, id_)) return false;
        const auto it = FindValue(key->values, name);
        if (it == key->values.end()) return false;
        key->values.erase(it);
        return true;
    }

private:
    FakeRegistry& owner_;
    FakeRegistry::KeyId id_;
    bool writable_;
};

FakeRegistry::KeyId FakeRegistry::Id(Hive hive, const std::string& path) {
    return {hive, FoldCase(WithoutTrailingBackslash(path))};
}

FakeRegistry::Key* FakeRegistry::Find(const KeyId& id) {
    if (id.second.empty()) {
        // The hive's root always exists.
        return &keys_[id];
    }
    const auto it = keys_.find(id);
    return it == keys_.end() ? nullptr : &it->second;
}

const FakeRegistry::Key* FakeRegistry::Find(const KeyId& id) const {
    const auto it = keys_.find(id);
    return it == keys_.end() ? nullptr : &it->second;
}

void FakeRegistry::Create(Hive hive, const std::string& path) {
    const std::string clean = WithoutTrailingBackslash(path);
    std::size_t end = 0;
    while (end != std::string::npos) {
        end = clean.find('\\', end + 1);
        const std::string part = clean.substr(0, end);
        auto& key = keys_[Id(hive, part)];
        if (key.path.empty()) key.path = part;
    }
}

bool FakeRegistry::Fails(RegFault fault, const KeyId& id) const {
    return faults_.count({fault, id}) > 0;
}

std::unique_ptr<IRegKey> FakeRegistry::OpenKey(Hive hive, const std::string& path, bool writable) {
    const KeyId id = Id(hive, path);
    if (Fails(RegFault::Open, id) || !Find(id)) return nullptr;
    return std::make_unique<FakeRegKey>(*this, id, writable);
}

std::unique_ptr<IRegKey> FakeRegistry::CreateKey(Hive hive, const std::string& path) {
    const KeyId id = Id(hive, path);
    if (Fails(RegFault::Open, id)) return nullptr;
    if (!Find(id)) {
        if (Fails(RegFault::Create, id)) return nullptr;
        Create(hive, path);
    }
    return std::make_unique<FakeRegKey>(*this, id, true);
}

bool FakeRegistry::KeyExists(Hive hive, const std::string& path) {
    const KeyId id = Id(hive, path);
    return !Fails(RegFault::Open, id) && HasKey(hive, path);
}

void FakeRegistry::AddKey(Hive hive, const std::string& path) { Create(hive, path); }

void FakeRegistry::SetString(Hive hive, const std::string& path, const std::string& name,
                             const std::string& text, std::uint32_t type) {
    SetValue(hive, path, RegValue{name, type, EncodeUtf16LeWithNul(text)});
}

void FakeRegistry::SetValue(Hive hive, const std::string& path, const RegValue& value) {
    Create(hive, path);
    Key& key = *Find(Id(hive, path));
    const auto it = FindValue(key.values, value.name);
    if (it != key.values.end()) {
        it->type = value.type;
        it->data = value.data;
    } else {
        key.values.push_back(value);
    }
}

void FakeRegistry::RemoveKey(Hive hive, const std::string& path) {
    const KeyId id = Id(hive, path);
    const std::string prefix = id.second + "\\";
    for (auto it = keys_.begin(); it != keys_.end();) {
        const bool under = it->first.first == hive &&
                           (it->first.second == id.second ||
                            it->first.second.compare(0, prefix.size(), prefix) == 0);
        it = under ? keys_.erase(it) : std::next(it);
    }
}

std::optional<RegValue> FakeRegistry::GetValue(Hive hive, const std::string& path,
                                               const std::string& name) const {
    const Key* key = Find(Id(hive, path));
    if (!key) return std::nullopt;
    const std::string folded = FoldCase(name);
    for (const auto& value : key->values) {
        if (FoldCase(value.name) == folded) return value;
    }
    return std::nullopt;
}

std::optional<std::string> FakeRegistry::GetString(Hive hive, const std::string& path,
                                                   const std::string& name) const {
    const auto value = GetValue(hive, path, name);
    if (!value) return std::nullopt;
    return CutAtNul(DecodeUtf16Le(value->data));
}

std::vector<std::string> FakeRegistry::ValueNames(Hive hive, const std::string& path) const {
    std::vector<std::string> names;
    if (const Key* key = Find(Id(hive, path))) {
        for (const auto& value : key->values) names.push_back(value.name);
    }
    return names;
}

bool FakeRegistry::HasKey(Hive hive, const std::string& path) const {
    const KeyId id = Id(hive, path);
    return id.second.empty() || Find(id) != nullptr;
}

void FakeRegistry::Fail(RegFault fault, Hive hive, const std::string& path) {
    faults_.insert({fault, Id(hive, path)});
}

void FakeRegistry::ClearFailures() { faults_.clear(); }

}  // namespace dovoviza::test
