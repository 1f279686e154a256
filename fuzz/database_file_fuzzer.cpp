// One handheld database file of any of the seven kinds: the first byte picks the kind, the rest is
// the file. The store loads it alone, builds its maps and is walked.

#include "fuzz/fuzz_support.h"

using namespace tavolex;

// The kinds of the seven files in load order, as test::kPalmUserFiles names them.
constexpr DatabaseType kTypes[] = {DatabaseType::kMeeting, DatabaseType::kLink,   DatabaseType::kNote,
                                   DatabaseType::kToDo,    DatabaseType::kAgenda, DatabaseType::kSketch,
                                   DatabaseType::kAttendee};

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    fuzz::QuietTrace();
    const std::size_t kind = data[0] % std::size(kTypes);
    const auto folder = fuzz::ScratchFolder() / "database";
    fuzz::UnpackUserFolder({}, folder);
    fuzz::WriteFileBytes(folder / test::kPalmUserFiles[kind].first, fuzz::AsText(data + 1, size - 1));
    MeetingDatabase store(folder);
    (void)store.Load(kTypes[kind]);
    store.BuildMaps();
    fuzz::WalkStore(store);
    store.Release();
    return 0;
}
