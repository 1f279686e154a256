#include "platform/platform.h"

#include <windows.h>

namespace tavolex::platform {
namespace {

// OutputDebugStringA reaches an attached debugger and system-wide listeners alike, and no call
// tells whether one of the latter is running, so the channel always counts as listening.
class Win32DebugChannel final : public DebugChannel {
public:
    bool Listening() const override { return true; }
    void Write(const char* piece) override { OutputDebugStringA(piece); }
};

}  // namespace

DebugChannel& SystemDebugChannel() {
    static Win32DebugChannel channel;
    return channel;
}

}  // namespace tavolex::platform
