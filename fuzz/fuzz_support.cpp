#include "fuzz/fuzz_support.h"

#include "shell/trace.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>
#include <unistd.h>

namespace tavolex::fuzz {

namespace {

std::filesystem::path MakeScratchFolder() {
    std::error_code error;
    std::filesystem::path base = "/dev/shm";
    if (!std::filesystem::is_directory(base, error)) base = std::filesystem::temp_directory_path();
    std::string pattern = (base / "tavolex-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    return pattern;
}

std::filesystem::path& Folder() {
    static std::filesystem::path folder;
    return folder;
}

void RemoveScratchFolder() {
    std::error_code error;
    if (!Folder().empty()) std::filesystem::remove_all(Folder(), error);
}

}  // namespace

const std::filesystem::path& ScratchFolder() {
    if (Folder().empty()) {
        Folder() = MakeScratchFolder();
        std::atexit(RemoveScratchFolder);
    }
    return Folder();
}

std::vector<std::string_view> SplitParts(std::string_view input, std::size_t maxParts) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < maxParts) {
        const std::size_t at = input.find(kPartSeparator);
        if (at == std::string_view::npos) break;
        parts.push_back(input.substr(0, at));
        input.remove_prefix(at + kPartSeparator.size());
    }
    parts.push_back(input);
    return parts;
}

void QuietTrace() { SetTraceTargets({nullptr, nullptr, nullptr}); }

}  // namespace tavolex::fuzz
