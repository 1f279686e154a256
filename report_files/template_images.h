#pragma once
// The pictures a template report refers to: copied from the template's folder tree into the
// output folder, with each reference cut to its bare file name. Only the template's own bytes
// name pictures: what a token wrote (a meeting's texts) never makes a file be copied.

#include "report/template_scanner.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tavolex {

inline constexpr std::size_t kMaxTemplateImages = 256;

// Handles the src="…" and background="…" references of an expanded report (exact lower-case
// spelling, at most 256 of them) and returns the text to write. A reference some of whose bytes
// (marker, value or closing quote) lie in tokenSpans is not the template's and stays as it is;
// so does one that leaves the template folder's tree (see StaysInFolderTree), which is traced.
// A reference at a drive's root ("C:\pics\bg.jpg") is the template author's own file: copied
// where the system has drives (platform::PathOnDrive), left as it is and traced elsewhere.
std::string CollectTemplateImages(std::string_view text, const InsertedSpans& tokenSpans,
                                  const std::filesystem::path& templateFolder,
                                  const std::filesystem::path& outputFolder);

// Whether a picture reference (CP932, "%20" decoded) names a file inside the folder tree it is
// read from: it names no drive ("C:"), starts with at most one separator (the folder's top, as
// in "/images/logo.gif"; "\\server" is no folder of the tree), and no ".." takes it above the
// folder once "." and ".." are worked out. Its last component must be a file name (not empty,
// "." or "..").
[[nodiscard]] bool StaysInFolderTree(std::string_view reference);

// The file a picture reference (CP932) names in the folder tree it is read from: folder +
// reference, a leading '/' or '\' standing for the folder's top. Nothing when the reference
// leaves the tree (see StaysInFolderTree).
std::optional<std::filesystem::path> InFolderTree(const std::filesystem::path& folder, std::string_view reference);

// folder + name, as the folder's text followed by the name's: a name is never taken for a root
// or a drive ("/images/a.gif" lies below the folder). The caller checks the name with
// IsBareFileName where it must stay inside the folder.
std::filesystem::path InFolder(const std::filesystem::path& folder, std::string_view cp932Name);

// A picture reference with every "%20" made a space (the only escape references are decoded of).
std::string DecodeSpaces(std::string_view reference);

// The position just after the last '\' or '/' of a CP932 text, walking double-byte characters
// whole; 0 when there is none.
std::size_t AfterLastSeparator(std::string_view text);

}  // namespace tavolex
