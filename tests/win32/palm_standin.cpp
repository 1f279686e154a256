// Stand-in for Palm Desktop's libraries in the Windows tests, one file built under either name.
// As UserData.dll it serves the users of UserData.txt beside it (a line each: ID, TAB, name, TAB,
// directory; CP932); as condinst.dll it takes the conduit's registration, InstallConduit returning
// the number in condinst.result beside it, or 0, each call logged with its arguments, a line each, to
// condinst.log beside the library.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::filesystem::path Beside(const wchar_t* file) {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&Beside), &self);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(self, path, MAX_PATH);
    return std::filesystem::path(path).parent_path() / file;
}

void Log(const std::string& line) { std::ofstream(Beside(L"condinst.log"), std::ios::app | std::ios::binary) << line << "\n"; }

// Each user's ID, name and directory.
const std::vector<std::vector<std::string>>& Users() {
    static const auto users = [] {
        std::vector<std::vector<std::string>> list;
        std::ifstream in(Beside(L"UserData.txt"), std::ios::binary);
        for (std::string id, name, folder; std::getline(in, id, '\t') && std::getline(in, name, '\t') && std::getline(in, folder);)
            list.push_back({id, name, folder});
        return list;
    }();
    return users;
}

long CopyText(DWORD id, char* buffer, DWORD* size, std::size_t field) {
    for (const auto& user : Users()) {
        if (user[0] != std::to_string(id) || *size == 0) continue;
        buffer[user[field].copy(buffer, *size - 1)] = '\0';
        return 0;
    }
    return -1;
}

std::string Text(const char* s) { return s == nullptr ? "(null)" : s; }

}  // namespace

extern "C" {

__declspec(dllexport) short WINAPI UmGetUserCount() { return static_cast<short>(Users().size()); }

__declspec(dllexport) long WINAPI UmGetUserID(int index, DWORD* id) {
    if (index < 0 || static_cast<std::size_t>(index) >= Users().size()) return -1;
    *id = std::stoul(Users()[static_cast<std::size_t>(index)][0]);
    return 0;
}

__declspec(dllexport) long WINAPI UmGetUserName(DWORD id, char* buffer, DWORD* size) { return CopyText(id, buffer, size, 1); }

__declspec(dllexport) long WINAPI UmGetUserDirectory(DWORD id, char* buffer, DWORD* size) { return CopyText(id, buffer, size, 2); }

__declspec(dllexport) int WINAPI UninstallConduit(const char* folder, const char* creator) {
    Log("UninstallConduit|" + Text(folder) + "|" + Text(creator));
    return 0;
}

__declspec(dllexport) int WINAPI InstallConduit(const char* a1, const char* a2, const char* a3, const char* a4, const char* a5,
                                                const char* a6, const char* a7, const char* a8, int n, const char* a10) {
    std::string line = "InstallConduit";
    for (const char* a : {a1, a2, a3, a4, a5, a6, a7, a8}) line += "|" + Text(a);
    Log(line + "|" + std::to_string(n) + "|" + Text(a10));
    int result = 0;
    std::ifstream(Beside(L"condinst.result")) >> result;
    return result;
}

__declspec(dllexport) int WINAPI DecodePCIErrorCode(int code) {
    Log("DecodePCIErrorCode|" + std::to_string(code));
    return 0;
}

}  // extern "C"
