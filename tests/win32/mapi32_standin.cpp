// Stand-in for Simple MAPI's MAPI32.DLL in the Windows tests. It records each call, with every field
// of the message it is given, one line each, at the end of the file named by TAVOLEX_MAPI_LOG.
// Wine prefers its own built-in mapi32, so the tests load this one with WINEDLLOVERRIDES=mapi32=n.
#include <windows.h>

#include <mapi.h>

#include <fstream>
#include <string>

namespace {

void Log(const std::string& line) {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(L"TAVOLEX_MAPI_LOG", path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) std::ofstream(path, std::ios::app | std::ios::binary) << line << "\n";
}

std::string Text(const char* text) { return text == nullptr ? "null" : "\"" + std::string(text) + "\""; }
std::string Pointer(const void* p) { return p == nullptr ? "null" : "set"; }
std::string Number(unsigned long long n) { return std::to_string(n); }

}  // namespace

extern "C" {

// Lets a test make sure that this library, not Wine's, was loaded.
int WINAPI TavolexMapiStandIn() { return 1; }

ULONG WINAPI MAPILogon(ULONG_PTR uiParam, LPSTR profile, LPSTR password, FLAGS flags, ULONG reserved, LPLHANDLE session) {
    Log("MAPILogon ui=" + Number(uiParam) + " profile=" + Text(profile) + " password=" + Text(password) + " flags=" + Number(flags) +
        " reserved=" + Number(reserved) + " session=" + Pointer(session));
    if (session != nullptr) *session = 0x5151;
    return SUCCESS_SUCCESS;
}

ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage message, FLAGS flags, ULONG reserved) {
    Log("MAPISendMail session=" + Number(session) + " ui=" + Number(uiParam) + " flags=" + Number(flags) + " reserved=" + Number(reserved));
    if (message == nullptr) return MAPI_E_FAILURE;
    Log("message reserved=" + Number(message->ulReserved) + " subject=" + Text(message->lpszSubject) +
        " note=" + Text(message->lpszNoteText) + " type=" + Text(message->lpszMessageType) + " date=" + Text(message->lpszDateReceived) +
        " conversation=" + Text(message->lpszConversationID) + " flags=" + Number(message->flFlags) +
        " originator=" + Pointer(message->lpOriginator) + " recipients=" + Number(message->nRecipCount) +
        " recips=" + Pointer(message->lpRecips) + " files=" + Number(message->nFileCount));
    for (ULONG i = 0; i < message->nFileCount && message->lpFiles != nullptr; ++i) {
        const MapiFileDesc& file = message->lpFiles[i];
        Log("file " + Number(i) + " reserved=" + Number(file.ulReserved) + " flags=" + Number(file.flFlags) +
            " position=" + Number(file.nPosition) + " path=" + Text(file.lpszPathName) + " name=" + Text(file.lpszFileName) +
            " type=" + Pointer(file.lpFileType));
    }
    return SUCCESS_SUCCESS;
}

}  // extern "C"
