// Stand-in for the conduit installation library in the Windows tests. Every call is recorded with
// its arguments, one line each, in condinst.log beside the library; InstallConduit returns the
// number in condinst.result beside it, or 0.
#include "standin_log.h"

namespace {

using tavolex::test::Beside;

void Log(const std::string& line) { tavolex::test::LogBeside(L"condinst.log", line); }

std::string Text(const char* s) { return s == nullptr ? "(null)" : s; }

}  // namespace

extern "C" {

__declspec(dllexport) int WINAPI UninstallConduit(const char* folder, const char* creator) {
    Log("UninstallConduit|" + Text(folder) + "|" + Text(creator));
    return 0;
}

__declspec(dllexport) int WINAPI InstallConduit(const char* a1, const char* a2, const char* a3, const char* a4,
                                                const char* a5, const char* a6, const char* a7, const char* a8, int n,
                                                const char* a10) {
    Log("InstallConduit|" + Text(a1) + "|" + Text(a2) + "|" + Text(a3) + "|" + Text(a4) + "|" + Text(a5) + "|" +
        Text(a6) + "|" + Text(a7) + "|" + Text(a8) + "|" + std::to_string(n) + "|" + Text(a10));
    int result = 0;
    std::ifstream(Beside(L"condinst.result")) >> result;
    return result;
}

__declspec(dllexport) int WINAPI DecodePCIErrorCode(int code) {
    Log("DecodePCIErrorCode|" + std::to_string(code));
    return 0;
}

}  // extern "C"
