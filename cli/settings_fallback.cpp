#include "cli/settings_fallback.h"

#include "base/ascii.h"

#include <algorithm>

namespace tavolex::cli {
namespace {

std::string Lower(std::string_view text) {
    std::string out = LowerAsciiText(text);
    std::replace(out.begin(), out.end(), '/', '\\');
    while (!out.empty() && out.back() == '\\') out.pop_back();
    return out;
}

class MemoryKeyHandle final : public platform::SettingsKeyHandle {
public:
    explicit MemoryKeyHandle(std::shared_ptr<FallbackSettingsBackend::MemoryKey> key) : key_(std::move(key)) {}

    platform::SettingsStatus ReadString(std::string_view name, std::size_t maxBytes, std::string& value) override {
        const auto it = key_->texts.find(Lower(name));
        if (it == key_->texts.end()) return platform::kSettingsNotFound;
        if (it->second.size() > maxBytes) return platform::kSettingsMoreData;
        value = it->second;
        return platform::kSettingsOk;
    }
    platform::SettingsStatus ReadDword(std::string_view name, std::uint32_t& value) override {
        const auto it = key_->numbers.find(Lower(name));
        if (it == key_->numbers.end()) return platform::kSettingsNotFound;
        value = it->second;
        return platform::kSettingsOk;
    }
    platform::SettingsStatus WriteString(std::string_view name, std::string_view value) override {
        key_->numbers.erase(Lower(name));
        key_->texts[Lower(name)] = std::string(value);
        return platform::kSettingsOk;
    }
    platform::SettingsStatus WriteDword(std::string_view name, std::uint32_t value) override {
        key_->texts.erase(Lower(name));
        key_->numbers[Lower(name)] = value;
        return platform::kSettingsOk;
    }
    platform::SettingsStatus ListSubkeys(std::size_t, std::vector<std::string>& names) override {
        names.clear();
        return platform::kSettingsOk;
    }

private:
    std::shared_ptr<FallbackSettingsBackend::MemoryKey> key_;
};

}  // namespace

platform::SettingsStatus FallbackSettingsBackend::OpenKey(std::string_view path, platform::KeyAccess access,
                                                          std::unique_ptr<platform::SettingsKeyHandle>& key) {
    const std::string name = Lower(path);
    if (const auto it = memory_.find(name); it != memory_.end()) {
        key = std::make_unique<MemoryKeyHandle>(it->second);
        return platform::kSettingsOk;
    }
    const platform::SettingsStatus status = store_->OpenKey(path, access, key);
    if (status == platform::kSettingsOk || access != platform::KeyAccess::kCreate) return status;
    inMemory_ = true;
    auto memory = std::make_shared<MemoryKey>();
    memory_[name] = memory;
    key = std::make_unique<MemoryKeyHandle>(memory);
    return platform::kSettingsOk;
}

}  // namespace tavolex::cli
