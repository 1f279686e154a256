#pragma once
// For the stand-in libraries: files beside the library itself, and a log of calls there.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace tavolex::test {

inline std::filesystem::path Beside(const wchar_t* file) {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&Beside), &self);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(self, path, MAX_PATH);
    return std::filesystem::path(path).parent_path() / file;
}

// One line at the end of the file beside the library.
inline void LogBeside(const wchar_t* file, const std::string& line) {
    std::ofstream(Beside(file), std::ios::app | std::ios::binary) << line << "\n";
}

}  // namespace tavolex::test
