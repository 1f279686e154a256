#pragma once
// An in-memory settings store with the registry's rules (names and key paths without regard to
// letter case, keys created with their parents), for tests of the code above the store.

#include "platform/platform.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace tavolex::test {

class MemorySettingsBackend final : public platform::SettingsBackend {
public:
    using Data = std::variant<std::string, std::uint32_t>;  // a text or a DWORD

    platform::SettingsStatus OpenKey(std::string_view path, platform::KeyAccess access,
                                     std::unique_ptr<platform::SettingsKeyHandle>& key) override;
    platform::BrowserCommand DefaultBrowser() override { return browser; }

    // Test set-up and checks; paths as the program passes them. Setting a value empties writes.
    void SetString(std::string_view path, std::string_view name, std::string_view text) { Set(path, name, std::string(text)); }
    void SetDword(std::string_view path, std::string_view name, std::uint32_t number) { Set(path, name, number); }
    std::optional<std::string> GetString(std::string_view path, std::string_view name) const;
    std::optional<std::uint32_t> GetDword(std::string_view path, std::string_view name) const;
    [[nodiscard]] bool KeyExists(std::string_view path) const;
    [[nodiscard]] std::size_t ValueCount(std::string_view path) const;

    platform::BrowserCommand browser;
    std::set<std::string> failingKeys;  // normalized lower-case paths whose opening fails
    std::vector<std::string> writes;    // "path|name", in order

    // For the key handles; paths normalized.
    const Data* Find(const std::string& path, std::string_view name) const;
    void Write(const std::string& path, std::string_view name, Data data);
    std::vector<std::string> Subkeys(const std::string& path) const;

private:
    struct Key {
        std::string path;                    // as first created
        std::map<std::string, Data> values;  // by lower-case name
    };

    void Set(std::string_view path, std::string_view name, Data data);
    Key& CreateKey(const std::string& path);
    const Key* FindKey(std::string_view path) const;

    std::map<std::string, Key> keys_;  // by lower-case normalized path
};

}  // namespace tavolex::test
