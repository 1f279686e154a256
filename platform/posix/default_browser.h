#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tavolex::platform::posix {

// The full path of the desktop's default web browser program ("xdg-settings get
// default-web-browser", then the Exec line of that .desktop file), else of xdg-open, else
// empty. CP932.
std::string FindDefaultBrowserProgram();

// The program of a .desktop file's Exec line: its first field, unquoted.
std::string ExecProgram(std::string_view execLine);

// name when it holds a '/', else the first executable file of that name on PATH; empty when none.
std::filesystem::path FindProgram(std::string_view name);

}  // namespace tavolex::platform::posix
