// A recording report viewer for the Windows tests: writes its own file's path and then each
// argument it was given (one a line, UTF-8) to the file named by TAVOLEX_VIEWER_LOG, whole, by a
// move at the end.
#include <windows.h>

#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <string>

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    argv[0] = self;
    const std::filesystem::path log = _wgetenv(L"TAVOLEX_VIEWER_LOG"), part = log.wstring() + L".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        for (int i = 0; i < argc; ++i) out << reinterpret_cast<const char*>(std::filesystem::path(argv[i]).u8string().c_str()) << "\n";
    }
    return MoveFileExW(part.c_str(), log.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
