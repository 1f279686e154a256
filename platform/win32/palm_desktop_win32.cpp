// Palm Desktop on Windows: its user-data library UserData.dll (from the HotSync folder) and the
// conduit installation library condinst.dll, both loaded at run time.
#include "platform/platform.h"

#include "platform/win32/unique_handle.h"

#include <string>

namespace tavolex::platform {
namespace {

namespace fs = std::filesystem;
using win32::UniqueModule;

constexpr DWORD kNameBufferSize = 8192;
constexpr DWORD kDirectoryBufferSize = 260;

using UmGetUserCountFn = short(WINAPI*)();
using UmGetUserIdFn = long(WINAPI*)(int index, DWORD* userId);
using UmGetUserTextFn = long(WINAPI*)(DWORD userId, char* buffer, DWORD* size);

using UninstallConduitFn = int(WINAPI*)(const char*, const char*);
using InstallConduitFn = int(WINAPI*)(const char*, const char*, const char*, const char*, const char*, const char*,
                                      const char*, const char*, int, const char*);
using DecodePciErrorCodeFn = int(WINAPI*)(int);

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A library's own dependencies are looked for beside it.
UniqueModule LoadFrom(const fs::path& file) {
    return UniqueModule(LoadLibraryExW(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

// CP932 texts in the system's ANSI code page, which the Palm libraries take.
std::string ToAnsi(std::string_view cp932) {
    if (GetACP() == 932) return std::string(cp932);
    const std::u16string wide16 = Cp932ToUtf16(cp932);
    const std::wstring wide(wide16.begin(), wide16.end());
    if (wide.empty()) return {};
    const int n =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string FromAnsi(const char* text) {
    if (GetACP() == 932) return text;
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 1) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
    wide.resize(static_cast<std::size_t>(n - 1));
    return Utf16ToCp932(std::u16string(wide.begin(), wide.end()));
}

class UserDataLibrary final : public PalmUserLibrary {
public:
    static std::unique_ptr<UserDataLibrary> Load(const fs::path& file) {
        UniqueModule module = LoadFrom(file);
        if (!module) return nullptr;
        auto library = std::unique_ptr<UserDataLibrary>(new UserDataLibrary);
        library->count_ = Lookup<UmGetUserCountFn>(module.Get(), "UmGetUserCount");
        library->id_ = Lookup<UmGetUserIdFn>(module.Get(), "UmGetUserID");
        library->name_ = Lookup<UmGetUserTextFn>(module.Get(), "UmGetUserName");
        library->directory_ = Lookup<UmGetUserTextFn>(module.Get(), "UmGetUserDirectory");
        if (!library->count_ || !library->id_ || !library->name_ || !library->directory_) return nullptr;
        library->module_ = std::move(module);
        return library;
    }

    std::int16_t UserCount() override { return count_(); }

    std::uint32_t UserId(std::int32_t index) override {
        DWORD id = 0;
        id_(index, &id);
        return id;
    }

    std::string UserName(std::uint32_t userId) override { return Text(name_, userId, kNameBufferSize); }
    std::string UserDirectory(std::uint32_t userId) override { return Text(directory_, userId, kDirectoryBufferSize); }

private:
    UserDataLibrary() = default;

    // The library fills a buffer of the given size; the last byte stays a terminator whatever
    // it writes.
    static std::string Text(UmGetUserTextFn call, DWORD userId, DWORD bufferSize) {
        if (call == nullptr) return {};
        std::string buffer(bufferSize + 1, '\0');
        DWORD size = bufferSize;
        call(userId, buffer.data(), &size);
        buffer[bufferSize - 1] = '\0';
        return FromAnsi(buffer.c_str());
    }

    UniqueModule module_;
    UmGetUserCountFn count_ = nullptr;
    UmGetUserIdFn id_ = nullptr;
    UmGetUserTextFn name_ = nullptr;
    UmGetUserTextFn directory_ = nullptr;
};

class CondInstLibrary final : public ConduitInstaller {
public:
    static std::unique_ptr<CondInstLibrary> Load(const fs::path& file) {
        UniqueModule module = LoadFrom(file);
        if (!module) return nullptr;
        auto library = std::unique_ptr<CondInstLibrary>(new CondInstLibrary);
        library->uninstall_ = Lookup<UninstallConduitFn>(module.Get(), "UninstallConduit");
        library->install_ = Lookup<InstallConduitFn>(module.Get(), "InstallConduit");
        library->decode_ = Lookup<DecodePciErrorCodeFn>(module.Get(), "DecodePCIErrorCode");
        if (!library->uninstall_ || !library->install_ || !library->decode_) return nullptr;
        library->module_ = std::move(module);
        return library;
    }

    std::int32_t UninstallConduit(std::string_view hotSyncFolder, std::string_view creator) override {
        return uninstall_(ToAnsi(hotSyncFolder).c_str(), ToAnsi(creator).c_str());
    }

    std::int32_t InstallConduit(const ConduitInstallArgs& a) override {
        return install_(ToAnsi(a.installFolder).c_str(), ToAnsi(a.creator).c_str(), ToAnsi(a.hotSyncFolder).c_str(),
                        ToAnsi(a.conduitFile).c_str(), ToAnsi(a.conduitName).c_str(), ToAnsi(a.dataFile).c_str(),
                        ToAnsi(a.directory).c_str(), ToAnsi(a.remoteName).c_str(), a.priority,
                        ToAnsi(a.company).c_str());
    }

    std::int32_t DecodePCIErrorCode(std::int32_t code) override { return decode_(code); }

private:
    CondInstLibrary() = default;

    UniqueModule module_;
    UninstallConduitFn uninstall_ = nullptr;
    InstallConduitFn install_ = nullptr;
    DecodePciErrorCodeFn decode_ = nullptr;
};

class Win32PalmDesktop final : public PalmDesktop {
public:
    std::unique_ptr<PalmUserLibrary> LoadUserLibrary(const fs::path& hotSyncFolder, const fs::path&) override {
        // Without a HotSync folder there is no Palm Desktop; a bare name would search elsewhere.
        if (hotSyncFolder.empty()) return nullptr;
        return UserDataLibrary::Load(hotSyncFolder / L"UserData.dll");
    }
    bool InstallsConduits() const override { return true; }
    std::unique_ptr<ConduitInstaller> LoadConduitInstaller(const fs::path& library) override {
        return CondInstLibrary::Load(library);
    }
};

}  // namespace

PalmDesktop& SystemPalmDesktop() {
    static Win32PalmDesktop desktop;
    return desktop;
}

}  // namespace tavolex::platform
