// Palm Desktop on POSIX: no HotSync Manager and no user-data library. The Palm users are found in
// the folder the person names, by the portable rule of the session.
#include "platform/platform.h"

namespace tavolex::platform {
namespace {

namespace fs = std::filesystem;

class PosixPalmDesktop final : public PalmDesktop {
public:
    std::unique_ptr<PalmUserLibrary> LoadUserLibrary(const fs::path&, const fs::path&) override { return nullptr; }
    bool InstallsConduits() const override { return false; }
    std::unique_ptr<ConduitInstaller> LoadConduitInstaller(const fs::path&) override { return nullptr; }
};

}  // namespace

PalmDesktop& SystemPalmDesktop() {
    static PosixPalmDesktop desktop;
    return desktop;
}

}  // namespace tavolex::platform
