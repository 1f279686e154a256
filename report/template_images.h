#pragma once
// The pictures a template report refers to: copied from the template folder (or from where the
// reference points) into the output folder, with each reference cut to its bare file name.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tavolex {

inline constexpr std::size_t kMaxTemplateImages = 256;

// Handles the src="…" and background="…" references of an expanded report (exact lower-case
// spelling, at most 256 of them) and returns the text to write.
std::string CollectTemplateImages(std::string_view text, const std::filesystem::path& templateFolder,
                                  const std::filesystem::path& outputFolder);

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
