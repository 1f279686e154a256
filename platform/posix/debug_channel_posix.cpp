#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tavolex::platform {
namespace {

// The file named by TAVOLEX_TRACE, opened once for appending; "-" is standard error.
class PosixDebugChannel final : public DebugChannel {
public:
    PosixDebugChannel() {
        const char* target = std::getenv("TAVOLEX_TRACE");
        if (target == nullptr || *target == '\0') return;
        if (std::strcmp(target, "-") == 0) {
            file_ = stderr;
            return;
        }
        file_ = std::fopen(target, "a");
        owned_ = file_ != nullptr;
    }
    ~PosixDebugChannel() override {
        if (owned_) std::fclose(file_);
    }
    PosixDebugChannel(const PosixDebugChannel&) = delete;
    PosixDebugChannel& operator=(const PosixDebugChannel&) = delete;

    bool Listening() const override { return file_ != nullptr; }
    void Write(const char* piece) override {
        if (file_ == nullptr) return;
        std::fputs(piece, file_);
        std::fflush(file_);
    }

private:
    std::FILE* file_ = nullptr;
    bool owned_ = false;
};

}  // namespace

DebugChannel& SystemDebugChannel() {
    static PosixDebugChannel channel;
    return channel;
}

}  // namespace tavolex::platform
