#pragma once
// A Palm user folder as one fuzz input: the seven database files in load order, joined by the part
// separator. A part that is missing leaves its file out.

#include <filesystem>
#include <string>
#include <string_view>

namespace tavolex::test {
struct PalmUserDatabases;
}

namespace tavolex::fuzz {

inline constexpr const char* kUserFolderFiles[7] = {"meeting.dat", "link.dat",   "note.dat",    "todo.dat",
                                                    "agenda.dat",  "sketch.dat", "attendee.dat"};

// Writes the parts of input into folder (made if need be; files of missing parts removed).
void UnpackUserFolder(std::string_view input, const std::filesystem::path& folder);
// The packed form of seven database files.
std::string PackUserFolder(const test::PalmUserDatabases& databases);

}  // namespace tavolex::fuzz
