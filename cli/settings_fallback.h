#pragma once
// The settings store of a command-line run. A store that can't be written (a --config that names
// a file, a read-only folder) must not stop a command that only reads: keys the store can't
// create live in memory for the run, and the run is told the store is read-only.

#include "platform/platform.h"

#include <map>
#include <memory>
#include <string>

namespace tavolex::cli {

class FallbackSettingsBackend final : public platform::SettingsBackend {
public:
    explicit FallbackSettingsBackend(std::unique_ptr<platform::SettingsBackend> store) : store_(std::move(store)) {}

    platform::SettingsStatus OpenKey(std::string_view path, platform::KeyAccess access,
                                     std::unique_ptr<platform::SettingsKeyHandle>& key) override;
    platform::BrowserCommand DefaultBrowser() override { return store_->DefaultBrowser(); }

    // Whether a key had to be kept in memory because the store refused it.
    [[nodiscard]] bool InMemory() const { return inMemory_; }

    struct MemoryKey {
        std::map<std::string, std::string> texts;  // by lower-case name
        std::map<std::string, std::uint32_t> numbers;
    };

private:
    std::unique_ptr<platform::SettingsBackend> store_;
    std::map<std::string, std::shared_ptr<MemoryKey>> memory_;  // by lower-case path
    bool inMemory_ = false;
};

}  // namespace tavolex::cli
