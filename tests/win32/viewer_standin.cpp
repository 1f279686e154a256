// A recording report viewer for the Windows tests: writes its own file's path and then each
// argument it was given (one a line, UTF-8) to the file named by TAVOLEX_VIEWER_LOG, whole, by a
// move at the end.
#include <windows.h>

#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <string>

static std::string Utf8(const wchar_t* text) {
    const std::u8string utf8 = std::filesystem::path(text).u8string();
    return std::string(utf8.begin(), utf8.end());
}

int main() {
    wchar_t log[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(L"TAVOLEX_VIEWER_LOG", log, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring part = std::wstring(log) + L".part";
    {
        std::ofstream out(part.c_str(), std::ios::binary | std::ios::trunc);
        out << Utf8(self) << "\n" << argc - 1 << "\n";
        for (int i = 1; i < argc; ++i) out << Utf8(argv[i]) << "\n";
    }
    LocalFree(argv);
    MoveFileExW(part.c_str(), log, MOVEFILE_REPLACE_EXISTING);
    return 0;
}
