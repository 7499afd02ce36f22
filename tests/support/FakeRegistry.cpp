#include "FakeRegistry.h"

#include <algorithm>

#include "FakeSystem.h"
#include "platform/Text.h"

namespace dovoviza::test {

namespace {

std::string WithoutTrailingBackslash(std::string path) {
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

template <typename Values>
auto FindValue(Values& values, const std::string& name) {
    const std::string folded = FoldCase(name);
    return std::find_if(values.begin(), values.end(), [&](const RegValue& v) { return FoldCase(v.name) == folded; });
}

// Windows keeps the name as first stored when a value is overwritten.
void PutValue(std::vector<RegValue>& values, const RegValue& value) {
    const auto it = FindValue(values, value.name);
    if (it == values.end()) {
        values.push_back(value);
    } else {
        it->type = value.type;
        it->data = value.data;
    }
}

std::optional<RegValue> ValueOf(const std::vector<RegValue>& values, const std::string& name) {
    const auto it = FindValue(values, name);
    if (it == values.end()) return std::nullopt;
    return *it;
}

}  // namespace

// A handle looks its key up on every call, so a key removed while open makes
// later calls fail instead of touching freed memory.
class FakeRegKey : public IRegKey {
public:
    FakeRegKey(FakeRegistry& owner, FakeRegistry::KeyId id, bool writable)
        : owner_(owner), id_(std::move(id)), writable_(writable) {}

    std::optional<std::uint32_t> ValueCount() override {
        const auto* values = owner_.Find(id_);
        return values ? std::optional(static_cast<std::uint32_t>(values->size())) : std::nullopt;
    }

    std::optional<std::uint32_t> SubkeyCount() override {
        if (!owner_.Find(id_)) return std::nullopt;
        const std::string prefix = id_.second.empty() ? std::string() : id_.second + "\\";
        std::uint32_t count = 0;
        for (const auto& [id, key] : owner_.keys_) {
            count += id.first == id_.first && id.second.size() > prefix.size() &&
                     id.second.compare(0, prefix.size(), prefix) == 0 &&
                     id.second.find('\\', prefix.size()) == std::string::npos;
        }
        return count;
    }

    std::optional<RegValue> EnumValue(std::uint32_t index) override {
        const auto* values = owner_.Find(id_);
        if (!values || index >= values->size()) return std::nullopt;
        return (*values)[index];
    }

    std::optional<RegValue> ReadValue(const std::string& name) override {
        const auto* values = owner_.Find(id_);
        return values ? ValueOf(*values, name) : std::nullopt;
    }

    bool WriteValue(const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data) override {
        auto* values = owner_.Find(id_);
        if (!values || !writable_ || owner_.Fails(RegFault::Write, id_)) return false;
        PutValue(*values, RegValue{name, type, data});
        return true;
    }

    bool DeleteValue(const std::string& name) override {
        auto* values = owner_.Find(id_);
        if (!values || !writable_ || owner_.Fails(RegFault::Delete, id_)) return false;
        const auto it = FindValue(*values, name);
        if (it == values->end()) return false;
        values->erase(it);
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

std::vector<RegValue>* FakeRegistry::Find(const KeyId& id) {
    if (id.second.empty()) return &keys_[id];  // the hive's root always exists
    const auto it = keys_.find(id);
    return it == keys_.end() ? nullptr : &it->second;
}

std::unique_ptr<IRegKey> FakeRegistry::OpenKey(Hive hive, const std::string& path, bool writable) {
    const KeyId id = Id(hive, path);
    if (Fails(RegFault::Open, id) || !Find(id)) return nullptr;
    return std::make_unique<FakeRegKey>(*this, id, writable);
}

std::unique_ptr<IRegKey> FakeRegistry::CreateKey(Hive hive, const std::string& path) {
    const KeyId id = Id(hive, path);
    if (Fails(RegFault::Open, id) || (!Find(id) && Fails(RegFault::Create, id))) return nullptr;
    AddKey(hive, path);
    return std::make_unique<FakeRegKey>(*this, id, true);
}

void FakeRegistry::AddKey(Hive hive, const std::string& path) {
    const std::string clean = WithoutTrailingBackslash(path);
    std::size_t end = 0;
    while (end != std::string::npos) {
        end = clean.find('\\', end + 1);
        keys_[Id(hive, clean.substr(0, end))];
    }
}

void FakeRegistry::SetString(Hive hive, const std::string& path, const std::string& name, const std::string& text,
                             std::uint32_t type) {
    SetValue(hive, path, RegValue{name, type, EncodeUtf16LeWithNul(text)});
}

void FakeRegistry::SetValue(Hive hive, const std::string& path, const RegValue& value) {
    AddKey(hive, path);
    PutValue(*Find(Id(hive, path)), value);
}

void FakeRegistry::RemoveKey(Hive hive, const std::string& path) {
    const KeyId id = Id(hive, path);
    const std::string prefix = id.second + "\\";
    std::erase_if(keys_, [&](const auto& item) {
        return item.first.first == hive &&
               (item.first.second == id.second || item.first.second.compare(0, prefix.size(), prefix) == 0);
    });
}

std::optional<RegValue> FakeRegistry::GetValue(Hive hive, const std::string& path, const std::string& name) const {
    const auto key = keys_.find(Id(hive, path));
    return key == keys_.end() ? std::nullopt : ValueOf(key->second, name);
}

std::optional<std::string> FakeRegistry::GetString(Hive hive, const std::string& path, const std::string& name) const {
    const auto value = GetValue(hive, path, name);
    return value ? std::optional(CutAtNul(DecodeUtf16Le(value->data))) : std::nullopt;
}

std::vector<std::string> FakeRegistry::ValueNames(Hive hive, const std::string& path) const {
    std::vector<std::string> names;
    if (const auto key = keys_.find(Id(hive, path)); key != keys_.end()) {
        for (const RegValue& value : key->second) names.push_back(value.name);
    }
    return names;
}

}  // namespace dovoviza::test
