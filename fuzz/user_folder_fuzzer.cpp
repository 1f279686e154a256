// A whole Palm user folder packed into one input (the seven files in load order, split by the part
// separator): the store reloads it, links whatever combination of damage it holds, and is walked.

#include "fuzz/fuzz_support.h"
#include "fuzz/store_walk.h"
#include "fuzz/user_folder.h"
#include "meeting_store/meeting_database.h"

using namespace tavolex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::QuietTrace();
    const auto folder = fuzz::ScratchFolder() / "user";
    fuzz::UnpackUserFolder(fuzz::AsText(data, size), folder);
    MeetingDatabase store(folder);
    store.ReloadAll();
    fuzz::WalkStore(store);
    return 0;
}
