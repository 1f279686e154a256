#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tavolex::platform::posix {

// Starts the program (a full path) with the arguments, with no shell, its standard streams on
// /dev/null and in a session of its own, and does not wait for it. False when it can't be
// started. Programs started earlier that have ended are reaped on the way.
bool SpawnDetached(const std::filesystem::path& program, const std::vector<std::string>& arguments);

}  // namespace tavolex::platform::posix
