#pragma once
// Pieces the Windows test programs share: the folder of the running test program, a file's lines,
// and the registry redirected into a key of the test's own.
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace tavolex::test {

inline constexpr wchar_t kAppKey[] = L"Software\\Brenmark\\Tavolex";
inline constexpr wchar_t kCore[] = L"Software\\U.S. Robotics\\Pilot Desktop\\Core";

// The folder of the running test program, where the build puts the stand-in libraries.
inline std::filesystem::path ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// HKEY_CURRENT_USER, and HKEY_CLASSES_ROOT below it, redirected for one test into a fresh key
// under `root` (a key path below the real HKEY_CURRENT_USER), which Restore deletes again, so
// nothing outside it is touched. Values are read and written through the registry API itself.
class RedirectedRegistry {
public:
    RedirectedRegistry() = default;
    RedirectedRegistry(const RedirectedRegistry&) = delete;
    RedirectedRegistry& operator=(const RedirectedRegistry&) = delete;
    ~RedirectedRegistry() { Restore(); }

    // From SetUp, inside ASSERT_NO_FATAL_FAILURE.
    void Redirect(const wchar_t* root) {
        static int counter = 0;
        root_ = root;
        keyPath_ = root_ + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &user_, nullptr), 0);
        ASSERT_EQ(RegCreateKeyExW(user_, L"Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &classes_, nullptr), 0);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, user_), 0);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, classes_), 0);
    }

    // Ends the redirection and deletes the test's key; the shared parents go only when empty.
    void Restore() {
        if (user_ == nullptr) return;
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(classes_);
        RegCloseKey(user_);
        classes_ = user_ = nullptr;
        EXPECT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, keyPath_.c_str()), 0);
        RegDeleteKeyW(HKEY_CURRENT_USER, root_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, root_.substr(0, root_.rfind(L'\\')).c_str());
    }

    std::wstring Text(const std::wstring& key, const wchar_t* name) const {
        wchar_t data[1024] = {};
        DWORD size = sizeof data;
        if (RegGetValueW(user_, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) != 0) return L"<missing>";
        return data;
    }
    // 0xDEAD when the value is missing or not a number.
    DWORD Number(const std::wstring& key, const wchar_t* name) const {
        DWORD data = 0xDEAD;
        DWORD size = sizeof data;
        RegGetValueW(user_, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &data, &size);
        return data;
    }
    DWORD ValueCount(const std::wstring& key) const {
        HKEY k = nullptr;
        DWORD count = 0;
        if (RegOpenKeyExW(user_, key.c_str(), 0, KEY_READ, &k) != 0) return 0;
        RegQueryInfoKeyW(k, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(k);
        return count;
    }
    void SetText(const std::wstring& key, const wchar_t* name, const std::wstring& text) {
        ASSERT_EQ(RegSetKeyValueW(user_, key.c_str(), name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2)), 0);
    }
    void SetNumber(const std::wstring& key, const wchar_t* name, DWORD number) {
        ASSERT_EQ(RegSetKeyValueW(user_, key.c_str(), name, REG_DWORD, &number, sizeof number), 0);
    }

private:
    std::wstring root_;
    std::wstring keyPath_;
    HKEY user_ = nullptr;
    HKEY classes_ = nullptr;
};

}  // namespace tavolex::test
