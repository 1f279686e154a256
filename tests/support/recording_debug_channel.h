#pragma once

#include "platform/platform.h"

#include <string>
#include <vector>

namespace tavolex::test {

// A debug-output channel that keeps every piece it is sent, in order; Text() is what a listener reads.
class RecordingDebugChannel final : public platform::DebugChannel {
public:
    explicit RecordingDebugChannel(bool listening = true) : listening_(listening) {}
    bool Listening() const override { return listening_; }
    void Write(const char* piece) override { pieces.emplace_back(piece); }
    std::string Text() const {
        std::string text;
        for (const std::string& piece : pieces) text += piece;
        return text;
    }

    std::vector<std::string> pieces;

private:
    bool listening_;
};

}  // namespace tavolex::test
