#include "tests/support/memory_settings.h"

#include "base/ascii.h"

#include <algorithm>

namespace tavolex::test {
namespace {

std::string Lower(std::string_view text) { return LowerAsciiText(text); }

// "A\B\" -> "A\B": no separator at either end, '/' taken as '\'.
std::string NormalizedKeyPath(std::string_view path) {
    std::string out;
    std::string component;
    for (const char c : std::string(path) + "\\") {
        if (c != '\\' && c != '/') {
            component += c;
        } else if (!component.empty()) {
            out += (out.empty() ? "" : "\\") + component;
            component.clear();
        }
    }
    return out;
}

class MemoryKey final : public platform::SettingsKeyHandle {
public:
    MemoryKey(MemorySettingsBackend& backend, std::string path) : backend_(backend), path_(std::move(path)) {}

    platform::SettingsStatus ReadString(std::string_view name, std::size_t maxBytes, std::string& value) override {
        const MemorySettingsBackend::Data* found = backend_.Find(path_, name);
        const std::string* text = std::get_if<std::string>(found);
        if (text == nullptr) return found == nullptr ? platform::kSettingsNotFound : platform::kSettingsBadData;
        if (text->size() > maxBytes) return platform::kSettingsMoreData;
        value = *text;
        return platform::kSettingsOk;
    }
    platform::SettingsStatus ReadDword(std::string_view name, std::uint32_t& value) override {
        const MemorySettingsBackend::Data* found = backend_.Find(path_, name);
        const std::uint32_t* number = std::get_if<std::uint32_t>(found);
        if (number == nullptr) return found == nullptr ? platform::kSettingsNotFound : platform::kSettingsBadData;
        value = *number;
        return platform::kSettingsOk;
    }
    platform::SettingsStatus WriteString(std::string_view name, std::string_view value) override {
        backend_.Write(path_, name, std::string(value));
        return platform::kSettingsOk;
    }
    platform::SettingsStatus WriteDword(std::string_view name, std::uint32_t value) override {
        backend_.Write(path_, name, value);
        return platform::kSettingsOk;
    }
    platform::SettingsStatus ListSubkeys(std::size_t maxCount, std::vector<std::string>& names) override {
        names = backend_.Subkeys(path_);
        names.resize(std::min(names.size(), maxCount));
        return platform::kSettingsOk;
    }

private:
    MemorySettingsBackend& backend_;
    std::string path_;
};

}  // namespace

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

void MemorySettingsBackend::Set(std::string_view path, std::string_view name, Data data) {
    const std::string normalized = NormalizedKeyPath(path);
    if (failingKeys.count(Lower(normalized)) == 0) Write(normalized, name, std::move(data));
    writes.clear();
}

std::optional<std::string> MemorySettingsBackend::GetString(std::string_view path, std::string_view name) const {
    const std::string* text = std::get_if<std::string>(Find(NormalizedKeyPath(path), name));
    return text == nullptr ? std::nullopt : std::optional(*text);
}

std::optional<std::uint32_t> MemorySettingsBackend::GetDword(std::string_view path, std::string_view name) const {
    const std::uint32_t* number = std::get_if<std::uint32_t>(Find(NormalizedKeyPath(path), name));
    return number == nullptr ? std::nullopt : std::optional(*number);
}

bool MemorySettingsBackend::KeyExists(std::string_view path) const { return FindKey(NormalizedKeyPath(path)) != nullptr; }

std::size_t MemorySettingsBackend::ValueCount(std::string_view path) const {
    const Key* key = FindKey(NormalizedKeyPath(path));
    return key == nullptr ? 0 : key->values.size();
}

const MemorySettingsBackend::Data* MemorySettingsBackend::Find(const std::string& path, std::string_view name) const {
    const Key* key = FindKey(path);
    if (key == nullptr) return nullptr;
    const auto value = key->values.find(Lower(name));
    return value == key->values.end() ? nullptr : &value->second;
}

void MemorySettingsBackend::Write(const std::string& path, std::string_view name, Data data) {
    Key& key = CreateKey(path);
    writes.push_back(key.path + "|" + std::string(name));
    key.values[Lower(name)] = std::move(data);
}

std::vector<std::string> MemorySettingsBackend::Subkeys(const std::string& path) const {
    const std::string prefix = path.empty() ? std::string() : Lower(path) + "\\";
    std::vector<std::string> names;
    for (const auto& [lowerPath, key] : keys_) {
        if (lowerPath.size() <= prefix.size() || lowerPath.compare(0, prefix.size(), prefix) != 0) continue;
        if (lowerPath.find('\\', prefix.size()) != std::string::npos) continue;
        names.push_back(key.path.substr(prefix.size()));
    }
    return names;
}

MemorySettingsBackend::Key& MemorySettingsBackend::CreateKey(const std::string& path) {
    // Parents first, as the registry creates them.
    for (std::size_t sep = path.find('\\'); sep != std::string::npos; sep = path.find('\\', sep + 1)) {
        keys_.try_emplace(Lower(path.substr(0, sep)), Key{path.substr(0, sep), {}});
    }
    return keys_.try_emplace(Lower(path), Key{path, {}}).first->second;
}

const MemorySettingsBackend::Key* MemorySettingsBackend::FindKey(std::string_view path) const {
    const auto it = keys_.find(Lower(path));
    return it == keys_.end() ? nullptr : &it->second;
}

}  // namespace tavolex::test
