#include "tests/support/memory_settings.h"

namespace tavolex::test {
namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

using Value = MemorySettingsBackend::Value;
using Key = MemorySettingsBackend::Key;

Value* Find(std::vector<Value>& values, std::string_view name) {
    for (Value& v : values) {
        if (Lower(v.name) == Lower(name)) return &v;
    }
    return nullptr;
}

class MemoryKey final : public platform::SettingsKeyHandle {
public:
    MemoryKey(MemorySettingsBackend& backend, std::string path) : backend_(backend), path_(std::move(path)) {}

    platform::SettingsStatus ReadString(std::string_view name, std::size_t maxBytes, std::string& value) override {
        const Value* v = FindValue(name);
        if (v == nullptr) return platform::kSettingsNotFound;
        if (v->isDword) return platform::kSettingsBadData;
        if (v->text.size() > maxBytes) return platform::kSettingsMoreData;
        value = v->text;
        return platform::kSettingsOk;
    }
    platform::SettingsStatus ReadDword(std::string_view name, std::uint32_t& value) override {
        const Value* v = FindValue(name);
        if (v == nullptr) return platform::kSettingsNotFound;
        if (!v->isDword) return platform::kSettingsBadData;
        value = v->number;
        return platform::kSettingsOk;
    }
    platform::SettingsStatus WriteString(std::string_view name, std::string_view value) override {
        Value& v = Slot(name);
        v.isDword = false;
        v.text = std::string(value);
        return platform::kSettingsOk;
    }
    platform::SettingsStatus WriteDword(std::string_view name, std::uint32_t value) override {
        Value& v = Slot(name);
        v.isDword = true;
        v.number = value;
        return platform::kSettingsOk;
    }
    platform::SettingsStatus ListSubkeys(std::size_t maxCount, std::vector<std::string>& names) override {
        names = backend_.Subkeys(path_);
        if (names.size() > maxCount) names.resize(maxCount);
        return platform::kSettingsOk;
    }

private:

    const Value* FindValue(std::string_view name) {
        Key* key = backend_.FindKey(path_);
        return key == nullptr ? nullptr : Find(key->values, name);
    }
    Value& Slot(std::string_view name) {
        Key& key = backend_.CreateKey(path_);
        backend_.writes.push_back(key.path + "|" + std::string(name));
        if (Value* v = Find(key.values, name)) return *v;
        key.values.push_back(Value{std::string(name), false, {}, 0});
        return key.values.back();
    }

    MemorySettingsBackend& backend_;
    std::string path_;
};

}  // namespace

std::string NormalizedKeyPath(std::string_view path) {
    std::string out;
    std::string component;
    for (const char c : std::string(path) + "\\") {
        if (c != '\\' && c != '/') {
            component += c;
            continue;
        }
        if (component.empty()) continue;
        if (!out.empty()) out += '\\';
        out += component;
        component.clear();
    }
    return out;
}

MemorySettingsBackend::Key& MemorySettingsBackend::CreateKey(const std::string& normalized) {
    // Parents first, as the registry creates them.
    for (std::size_t sep = normalized.find('\\'); sep != std::string::npos; sep = normalized.find('\\', sep + 1)) {
        keys_.try_emplace(Lower(normalized.substr(0, sep)), Key{normalized.substr(0, sep), {}});
    }
    return keys_.try_emplace(Lower(normalized), Key{normalized, {}}).first->second;
}

MemorySettingsBackend::Key* MemorySettingsBackend::FindKey(const std::string& normalized) {
    const auto it = keys_.find(Lower(normalized));
    return it == keys_.end() ? nullptr : &it->second;
}

const MemorySettingsBackend::Key* MemorySettingsBackend::FindKey(const std::string& normalized) const {
    const auto it = keys_.find(Lower(normalized));
    return it == keys_.end() ? nullptr : &it->second;
}

std::vector<std::string> MemorySettingsBackend::Subkeys(const std::string& normalized) const {
    const std::string prefix = normalized.empty() ? std::string() : Lower(normalized) + "\\";
    std::vector<std::string> names;
    for (const auto& [lowerPath, key] : keys_) {
        if (lowerPath.size() <= prefix.size() || lowerPath.compare(0, prefix.size(), prefix) != 0) continue;
        if (lowerPath.find('\\', prefix.size()) != std::string::npos) continue;
        names.push_back(key.path.substr(prefix.size()));
    }
    return names;
}

platform::SettingsStatus MemorySettingsBackend::OpenKey(std::string_view path, platform::KeyAccess access,
                                                        std::unique_ptr<platform::SettingsKeyHandle>& key) {
    const std::string normalized = NormalizedKeyPath(path);
    if (failingKeys.count(Lower(normalized)) != 0) return platform::kSettingsAccessDenied;
    if (FindKey(normalized) == nullptr && !normalized.empty()) {
        if (access != platform::KeyAccess::kCreate) return platform::kSettingsNotFound;
        CreateKey(normalized);
    }
    key = std::make_unique<MemoryKey>(*this, normalized);
    return platform::kSettingsOk;
}

void MemorySettingsBackend::SetString(std::string_view path, std::string_view name, std::string_view text) {
    std::unique_ptr<platform::SettingsKeyHandle> key;
    if (OpenKey(path, platform::KeyAccess::kCreate, key) == platform::kSettingsOk) key->WriteString(name, text);
    writes.clear();
}

void MemorySettingsBackend::SetDword(std::string_view path, std::string_view name, std::uint32_t number) {
    std::unique_ptr<platform::SettingsKeyHandle> key;
    if (OpenKey(path, platform::KeyAccess::kCreate, key) == platform::kSettingsOk) key->WriteDword(name, number);
    writes.clear();
}

std::optional<std::string> MemorySettingsBackend::GetString(std::string_view path, std::string_view name) const {
    const Key* key = FindKey(NormalizedKeyPath(path));
    if (key == nullptr) return std::nullopt;
    for (const Value& v : key->values) {
        if (Lower(v.name) == Lower(name) && !v.isDword) return v.text;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> MemorySettingsBackend::GetDword(std::string_view path, std::string_view name) const {
    const Key* key = FindKey(NormalizedKeyPath(path));
    if (key == nullptr) return std::nullopt;
    for (const Value& v : key->values) {
        if (Lower(v.name) == Lower(name) && v.isDword) return v.number;
    }
    return std::nullopt;
}

bool MemorySettingsBackend::KeyExists(std::string_view path) const { return FindKey(NormalizedKeyPath(path)) != nullptr; }

std::size_t MemorySettingsBackend::ValueCount(std::string_view path) const {
    const Key* key = FindKey(NormalizedKeyPath(path));
    return key == nullptr ? 0 : key->values.size();
}

}  // namespace tavolex::test
