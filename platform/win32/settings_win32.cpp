// The settings store on Windows: the registry of the current user, through the wide API so
// that CP932 texts are stored right whatever the system's code page.
#include "platform/platform.h"

#include "platform/win32/unique_handle.h"

#include <string>

namespace tavolex::platform {
namespace {

using win32::UniqueHkey;

std::wstring Wide(std::string_view cp932) {
    const std::u16string wide = Cp932ToUtf16(cp932);
    return std::wstring(wide.begin(), wide.end());
}

std::string Narrow(std::wstring_view wide) { return Utf16ToCp932(std::u16string(wide.begin(), wide.end())); }

// The registry takes '\' between components and no separator at the end.
std::wstring KeyPath(std::string_view path) {
    std::wstring wide = Wide(path);
    while (!wide.empty() && wide.back() == L'\\') wide.pop_back();
    return wide;
}

class RegistryKey final : public SettingsKeyHandle {
public:
    explicit RegistryKey(UniqueHkey key) : key_(std::move(key)) {}

    SettingsStatus ReadString(std::string_view name, std::size_t maxBytes, std::string& value) override {
        const std::wstring wideName = Wide(name);
        DWORD type = 0;
        DWORD size = 0;
        LSTATUS status = RegQueryValueExW(key_.Get(), wideName.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS) return status;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATA;
        std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
        status =
            RegQueryValueExW(key_.Get(), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        if (status != ERROR_SUCCESS) return status;
        // The stored text may or may not carry its terminator; it ends at the first NUL.
        data.resize(size / sizeof(wchar_t));
        data.resize(std::wstring_view(data.c_str()).size());
        std::string text = Narrow(data);
        if (text.size() > maxBytes) return ERROR_MORE_DATA;
        value = std::move(text);
        return ERROR_SUCCESS;
    }

    SettingsStatus ReadDword(std::string_view name, std::uint32_t& value) override {
        DWORD type = 0;
        DWORD data = 0;
        DWORD size = sizeof data;
        const LSTATUS status =
            RegQueryValueExW(key_.Get(), Wide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
        if (status != ERROR_SUCCESS) return status;
        if (type != REG_DWORD || size != sizeof data) return ERROR_INVALID_DATA;
        value = data;
        return ERROR_SUCCESS;
    }

    SettingsStatus WriteString(std::string_view name, std::string_view value) override {
        const std::wstring data = Wide(value);
        const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
        return RegSetValueExW(key_.Get(), Wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                              bytes);
    }

    SettingsStatus WriteDword(std::string_view name, std::uint32_t value) override {
        const DWORD data = value;
        return RegSetValueExW(key_.Get(), Wide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                              sizeof data);
    }

    SettingsStatus ListSubkeys(std::size_t maxCount, std::vector<std::string>& names) override {
        std::vector<std::string> found;
        for (DWORD i = 0; found.size() < maxCount; ++i) {
            wchar_t name[256];
            DWORD length = 256;
            const LSTATUS status = RegEnumKeyExW(key_.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (status == ERROR_NO_MORE_ITEMS) break;
            if (status != ERROR_SUCCESS) return status;
            found.push_back(Narrow(std::wstring_view(name, length)));
        }
        names = std::move(found);
        return ERROR_SUCCESS;
    }

private:
    UniqueHkey key_;
};

class RegistryBackend final : public SettingsBackend {
public:
    SettingsStatus OpenKey(std::string_view path, KeyAccess access, std::unique_ptr<SettingsKeyHandle>& key) override {
        const std::wstring widePath = KeyPath(path);
        UniqueHkey handle;
        LSTATUS status = ERROR_SUCCESS;
        switch (access) {
            case KeyAccess::kCreate:
                status = RegCreateKeyExW(HKEY_CURRENT_USER, widePath.c_str(), 0, const_cast<wchar_t*>(L""), 0,
                                         KEY_ALL_ACCESS, nullptr, handle.Put(), nullptr);
                break;
            case KeyAccess::kReadExisting:
                status = RegOpenKeyExW(HKEY_CURRENT_USER, widePath.c_str(), 0, KEY_READ, handle.Put());
                break;
            case KeyAccess::kWriteExisting:
                status = RegOpenKeyExW(HKEY_CURRENT_USER, widePath.c_str(), 0, KEY_ALL_ACCESS, handle.Put());
                break;
        }
        if (status != ERROR_SUCCESS) return status;
        key = std::make_unique<RegistryKey>(std::move(handle));
        return ERROR_SUCCESS;
    }

    BrowserCommand DefaultBrowser() override {
        UniqueHkey command;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"http\\shell\\open\\command", 0, KEY_READ, command.Put()) !=
            ERROR_SUCCESS) {
            return {{}, true};
        }
        std::string text;
        RegistryKey key(std::move(command));
        if (key.ReadString({}, SIZE_MAX, text) != ERROR_SUCCESS) return {{}, true};
        return {std::move(text), true};
    }
};

}  // namespace

std::unique_ptr<SettingsBackend> OpenSystemSettings(const std::filesystem::path&) {
    return std::make_unique<RegistryBackend>();
}

std::filesystem::path SettingsFilePath(const std::filesystem::path&) { return {}; }

}  // namespace tavolex::platform
