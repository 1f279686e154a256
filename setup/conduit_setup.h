#pragma once
// The HotSync conduit's registration through the conduit installation library, and the values
// that make Palm Desktop list the program among its add-on applications.

#include "platform/platform.h"

#include <cstdint>
#include <string_view>

namespace tavolex {

class SettingsKey;

// The creator identifier, as text and as the 32-bit "Creator" value (first character in the
// most significant byte).
inline constexpr char kCreatorText[] = "Tvlx";
inline constexpr std::uint32_t kCreatorId = 0x54766C78;

// Copies the conduit library into the HotSync folder and registers it. 0 on success; -1 when
// Palm Desktop is missing, the copy or the library load fails, or conduits can't be installed on
// this system; otherwise InstallConduit's error code. Every failure is shown to the user.
std::int32_t RegisterConduit(SettingsKey& appKey, platform::UserInteraction& ui, platform::PalmDesktop& palmDesktop);

// What Palm Desktop's integration says when Palm Desktop is not installed (caption "Error").
inline constexpr char kFailedToOpenPalmDesktop[] =
    "Failed to Open Palm Desktop, please stop the install, set-up the Palm Desktop and try again.";

// Sets "Integrate", "Name" and "Module" in every Palm Desktop component key whose "Creator" is
// ours. installFolder is CP932 and ends in a separator. Does nothing where conduits can't be
// installed. Palm Desktop's key that can't be opened (it is not installed) is told to the user
// unless quietWhenMissing.
void IntegrateWithPalmDesktop(platform::SettingsBackend& settings, platform::UserInteraction& ui,
                              platform::PalmDesktop& palmDesktop, std::string_view installFolder,
                              bool quietWhenMissing = false);

}  // namespace tavolex
