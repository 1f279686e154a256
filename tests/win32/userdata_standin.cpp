// Stand-in for Palm Desktop's user-data library in the Windows tests. It serves the users listed
// in UserData.txt beside it (one a line: ID, TAB, name, TAB, directory; CP932) and records each
// call, with what the caller had put in the ID and size variables, in UserData.log beside it.
#include "standin_log.h"

#include <sstream>
#include <vector>

namespace {

struct User {
    DWORD id = 0;
    std::string name;
    std::string directory;
};

void Log(const std::string& line) { tavolex::test::LogBeside(L"UserData.log", line); }

const std::vector<User>& Users() {
    static const std::vector<User> users = [] {
        std::vector<User> list;
        std::ifstream in(tavolex::test::Beside(L"UserData.txt"), std::ios::binary);
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

}  // extern "C"
