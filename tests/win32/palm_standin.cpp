// Stand-in for Palm Desktop's libraries in the Windows tests, one file copied under either name.
// As UserData.dll it serves the users listed in UserData.txt beside it (one a line: ID, TAB, name,
// TAB, directory; CP932). As condinst.dll it takes the conduit's registration; InstallConduit
// returns the number in condinst.result beside it, or 0. Every call is recorded with its arguments,
// one line each, in UserData.log or condinst.log beside the library.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct User {
    DWORD id = 0;
    std::string name;
    std::string directory;
};

std::filesystem::path Beside(const wchar_t* file) {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&Beside), &self);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(self, path, MAX_PATH);
    return std::filesystem::path(path).parent_path() / file;
}

void Log(const std::string& line, const wchar_t* file = L"UserData.log") {
    std::ofstream(Beside(file), std::ios::app | std::ios::binary) << line << "\n";
}

std::string Text(const char* s) { return s == nullptr ? "(null)" : s; }

const std::vector<User>& Users() {
    static const std::vector<User> users = [] {
        std::vector<User> list;
        std::ifstream in(Beside(L"UserData.txt"), std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            std::istringstream fields(line);
            User user;
            std::string id;
            if (!std::getline(fields, id, '\t') || !std::getline(fields, user.name, '\t')) continue;
            if (!std::getline(fields, user.directory)) continue;
            user.id = static_cast<DWORD>(std::stoul(id));
            list.push_back(user);
        }
        return list;
    }();
    return users;
}

long CopyText(const char* call, DWORD id, char* buffer, DWORD* size, const std::string User::*field) {
    Log(std::string(call) + "(" + std::to_string(id) + ", size=" + std::to_string(*size) + ")");
    for (const User& user : Users()) {
        if (user.id != id || *size == 0) continue;
        const std::string& text = user.*field;
        const std::size_t n = text.size() < *size ? text.size() : *size - 1;
        text.copy(buffer, n);
        buffer[n] = '\0';
        return 0;
    }
    return -1;
}

}  // namespace

extern "C" {

__declspec(dllexport) short WINAPI UmGetUserCount() {
    Log("UmGetUserCount()");
    return static_cast<short>(Users().size());
}

__declspec(dllexport) long WINAPI UmGetUserID(int index, DWORD* id) {
    Log("UmGetUserID(" + std::to_string(index) + ", id=" + std::to_string(*id) + ")");
    if (index < 0 || static_cast<std::size_t>(index) >= Users().size()) return -1;
    *id = Users()[static_cast<std::size_t>(index)].id;
    return 0;
}

__declspec(dllexport) long WINAPI UmGetUserName(DWORD id, char* buffer, DWORD* size) {
    return CopyText("UmGetUserName", id, buffer, size, &User::name);
}

__declspec(dllexport) long WINAPI UmGetUserDirectory(DWORD id, char* buffer, DWORD* size) {
    return CopyText("UmGetUserDirectory", id, buffer, size, &User::directory);
}

__declspec(dllexport) int WINAPI UninstallConduit(const char* folder, const char* creator) {
    Log("UninstallConduit|" + Text(folder) + "|" + Text(creator), L"condinst.log");
    return 0;
}

__declspec(dllexport) int WINAPI InstallConduit(const char* a1, const char* a2, const char* a3, const char* a4, const char* a5,
                                                const char* a6, const char* a7, const char* a8, int n, const char* a10) {
    Log("InstallConduit|" + Text(a1) + "|" + Text(a2) + "|" + Text(a3) + "|" + Text(a4) + "|" + Text(a5) + "|" + Text(a6) + "|" + Text(a7) +
            "|" + Text(a8) + "|" + std::to_string(n) + "|" + Text(a10),
        L"condinst.log");
    int result = 0;
    std::ifstream(Beside(L"condinst.result")) >> result;
    return result;
}

__declspec(dllexport) int WINAPI DecodePCIErrorCode(int code) {
    Log("DecodePCIErrorCode|" + std::to_string(code), L"condinst.log");
    return 0;
}

}  // extern "C"
