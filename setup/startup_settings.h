#pragma once
// The settings steps of start-up, in their order: the installation is recorded, the current Palm
// user read, the first-run steps the installer asks for run (conduit registration), and the user's
// folders read with their defaults.

#include "settings/application_settings.h"

namespace tavolex {

// The settings steps of start-up. False when the application key could not be created (the
// user was told; every setting stays empty and the placement is the default).
bool LoadStartupSettings(ApplicationSettings& settings, const ShellEnvironment& env);

}  // namespace tavolex
