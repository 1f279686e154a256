#pragma once

#include "platform/launch.h"

#include <filesystem>
#include <vector>

namespace tavolex::test {

// Keeps every program start and handler request; answers with the results set beforehand.
class RecordingLauncher final : public platform::Launcher {
public:
    struct Start {
        std::filesystem::path program;
        std::filesystem::path argument;
    };
    struct Open {
        std::filesystem::path target;
        platform::ShellVerb verb;
    };

    bool StartProgram(const std::filesystem::path& program, const std::filesystem::path& argument) override {
        starts.push_back({program, argument});
        return startResult;
    }
    platform::HandlerResult OpenWithHandler(const std::filesystem::path& target, platform::ShellVerb verb) override {
        opens.push_back({target, verb});
        return handlerResult;
    }

    std::vector<Start> starts;
    std::vector<Open> opens;
    bool startResult = true;
    platform::HandlerResult handlerResult = platform::HandlerResult::kStarted;
};

}  // namespace tavolex::test
