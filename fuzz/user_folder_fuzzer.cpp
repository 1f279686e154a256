// A whole Palm user folder packed into one input (the seven files in load order, split by the part
// separator): the store reloads it, links whatever combination of damage it holds, and is walked.

#include "fuzz/fuzz_support.h"

using namespace tavolex;

void fuzz::FuzzOne(std::string_view input) {
    const auto folder = fuzz::ScratchFolder() / "user";
    fuzz::UnpackUserFolder(fuzz::SplitParts(input, 7), folder);
    MeetingDatabase store(folder);
    store.ReloadAll();
    fuzz::WalkStore(store);
}
