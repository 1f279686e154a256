// One handheld database file of any of the seven kinds: the first byte picks the kind, the rest is
// the file. The store loads it alone, builds its maps and is walked.

#include "fuzz/fuzz_support.h"

using namespace tavolex;

// The kinds of the seven files in load order, as test::kPalmUserFiles names them.
constexpr DatabaseType kTypes[] = {DatabaseType::kMeeting, DatabaseType::kLink,   DatabaseType::kNote,    DatabaseType::kToDo,
                                   DatabaseType::kAgenda,  DatabaseType::kSketch, DatabaseType::kAttendee};

void fuzz::FuzzOne(std::string_view input) {
    if (input.empty()) return;
    const std::size_t kind = static_cast<std::uint8_t>(input[0]) % std::size(kTypes);
    const auto folder = fuzz::ScratchFolder() / "database";
    fuzz::UnpackUserFolder({}, folder);
    test::WriteFileBytes(folder / test::kPalmUserFiles[kind].first, input.substr(1));
    MeetingDatabase store(folder);
    (void)store.Load(kTypes[kind]);
    store.BuildMaps();
    fuzz::WalkStore(store);
    store.Release();
}
