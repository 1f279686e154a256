#pragma once
// An in-memory settings store with the registry's rules (names and key paths without regard to
// letter case, keys created with their parents), for tests of the code above the store.

#include "platform/platform.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tavolex::test {

class MemorySettingsBackend final : public platform::SettingsBackend {
public:
    struct Value {
        std::string name;  // as first written
        bool isDword = false;
        std::string text;
        std::uint32_t number = 0;
    };
    struct Key {
        std::string path;  // as first created
        std::vector<Value> values;
    };

    platform::SettingsStatus OpenKey(std::string_view path, platform::KeyAccess access,
                                     std::unique_ptr<platform::SettingsKeyHandle>& key) override;
    platform::BrowserCommand DefaultBrowser() override { return browser; }

    // Test set-up and checks; paths as the program passes them.
    void SetString(std::string_view path, std::string_view name, std::string_view text);
    void SetDword(std::string_view path, std::string_view name, std::uint32_t number);
    std::optional<std::string> GetString(std::string_view path, std::string_view name) const;
    std::optional<std::uint32_t> GetDword(std::string_view path, std::string_view name) const;
    [[nodiscard]] bool KeyExists(std::string_view path) const;
    [[nodiscard]] std::size_t ValueCount(std::string_view path) const;

    platform::BrowserCommand browser;
    std::set<std::string> failingKeys;  // normalized lower-case paths whose opening fails
    std::vector<std::string> writes;    // "path|name", in order

    // Internal, for the key handles.
    Key& CreateKey(const std::string& normalized);
    Key* FindKey(const std::string& normalized);
    const Key* FindKey(const std::string& normalized) const;
    std::vector<std::string> Subkeys(const std::string& normalized) const;

private:
    std::map<std::string, Key> keys_;  // by lower-case normalized path
};

// "A\B\" -> "A\B": no separator at either end, '/' taken as '\'.
std::string NormalizedKeyPath(std::string_view path);

}  // namespace tavolex::test
