// Stand-in for Palm Desktop's user-data library in the Windows tests. It serves the users listed
// in UserData.txt beside it (one a line: ID, TAB, name, TAB, directory; CP932) and records each
// call, with what the caller had put in the ID and size variables, in UserData.log beside it.
#include <windows.h>

#include <cstdio>
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
    std::wstring folder(path);
    return std::filesystem::path(folder.substr(0, folder.find_last_of(L'\\') + 1) + file);
}

void Log(const std::string& line) {
    std::ofstream(Beside(L"UserData.log"), std::ios::app | std::ios::binary) << line << "\n";
}

const std::vector<User>& Users() {
    static const std::vector<User> users = [] {
        std::vector<User> list;
        std::ifstream in(Beside(L"UserData.txt"), std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            User user;
            std::string id;
            if (std::getline(fields, id, '\t') && std::getline(fields, user.name, '\t') && std::getline(fields, user.directory)) {
                user.id = static_cast<DWORD>(std::stoul(id));
                list.push_back(user);
            }
        }
        return list;
    }();
    return users;
}

const User* Find(DWORD id) {
    for (const User& user : Users()) {
        if (user.id == id) return &user;
    }
    return nullptr;
}

long CopyText(const char* call, DWORD id, char* buffer, DWORD* size, const std::string User::*field) {
    Log(std::string(call) + "(" + std::to_string(id) + ", size=" + std::to_string(*size) + ")");
    const User* user = Find(id);
    if (user == nullptr || *size == 0) return -1;
    const std::string& text = user->*field;
    const std::size_t n = text.size() < *size ? text.size() : *size - 1;
    text.copy(buffer, n);
    buffer[n] = '\0';
    return 0;
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

}  // extern "C"
