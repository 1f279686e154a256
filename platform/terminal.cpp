#include "platform/platform.h"

#include <cstdio>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tavolex::platform {

bool IsTerminal(StandardStream stream) {
#ifdef _WIN32
    std::FILE* const files[] = {stdin, stdout, stderr};
    return _isatty(_fileno(files[static_cast<int>(stream)])) != 0;
#else
    constexpr int kDescriptors[] = {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO};
    return ::isatty(kDescriptors[static_cast<int>(stream)]) != 0;
#endif
}

}  // namespace tavolex::platform
