// One handheld database file of any of the seven kinds: the first byte picks the kind, the rest is
// the file. The store loads it alone, builds its maps and is walked.

#include "fuzz/fuzz_support.h"
#include "fuzz/store_walk.h"
#include "meeting_store/meeting_database.h"

#include <array>

using namespace tavolex;

namespace {

constexpr std::array<std::pair<DatabaseType, const char*>, 7> kFiles{{
    {DatabaseType::kMeeting, "meeting.dat"},
    {DatabaseType::kLink, "link.dat"},
    {DatabaseType::kNote, "note.dat"},
    {DatabaseType::kToDo, "todo.dat"},
    {DatabaseType::kAgenda, "agenda.dat"},
    {DatabaseType::kSketch, "sketch.dat"},
    {DatabaseType::kAttendee, "attendee.dat"},
}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    fuzz::QuietTrace();
    const auto& [type, name] = kFiles[data[0] % kFiles.size()];
    const auto folder = fuzz::ScratchFolder() / "database";
    std::filesystem::create_directories(folder);
    for (const auto& file : kFiles) std::filesystem::remove(folder / file.second);
    fuzz::WriteFileBytes(folder / name, fuzz::AsText(data + 1, size - 1));
    MeetingDatabase store(folder);
    (void)store.Load(type);
    store.BuildMaps();
    fuzz::WalkStore(store);
    store.Release();
    return 0;
}
