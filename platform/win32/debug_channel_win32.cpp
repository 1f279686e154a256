#include "platform/platform.h"

#include <windows.h>

#include <atomic>

namespace tavolex::platform {
namespace {

constexpr ULONGLONG kLookAgainMs = 500;

// Whether a system-wide listener (DebugView and its kind) is running: it announces itself with the
// event "DBWIN_BUFFER_READY", in the session's namespace or the global one, which is where
// OutputDebugStringA itself looks.
bool SystemListenerRunning() {
    for (const wchar_t* name : {L"DBWIN_BUFFER_READY", L"Global\\DBWIN_BUFFER_READY"}) {
        if (HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, name)) {
            CloseHandle(event);
            return true;
        }
    }
    return false;
}

// OutputDebugStringA reaches an attached debugger and the system-wide listeners alike. Without
// either a line goes nowhere at the cost of a round of system calls (under Wine a round trip to
// its server per call, which made loading a full store take minutes), so the channel listens only
// while one is there. The listeners are looked up again at most twice a second, so one started
// while the program runs receives the trace from then on.
class Win32DebugChannel final : public DebugChannel {
public:
    bool Listening() const override {
        if (IsDebuggerPresent()) return true;
        const ULONGLONG now = GetTickCount64();
        const ULONGLONG last = lookedAt_.load(std::memory_order_relaxed);
        if (last == 0 || now - last >= kLookAgainMs) {
            listener_.store(SystemListenerRunning(), std::memory_order_relaxed);
            lookedAt_.store(now == 0 ? 1 : now, std::memory_order_relaxed);
        }
        return listener_.load(std::memory_order_relaxed);
    }
    void Write(const char* piece) override { OutputDebugStringA(piece); }

private:
    mutable std::atomic<ULONGLONG> lookedAt_{0};
    mutable std::atomic<bool> listener_{false};
};

}  // namespace

DebugChannel& SystemDebugChannel() {
    static Win32DebugChannel channel;
    return channel;
}

}  // namespace tavolex::platform
