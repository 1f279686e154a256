#include "session/palm_user_list.h"

#include "settings/application_settings.h"
#include "settings/settings_key.h"
#include "settings/settings_text.h"
#include "base/trace.h"
#include "session/user_place.h"

#include <algorithm>

namespace tavolex {

PalmUserList::PalmUserList(std::unique_ptr<platform::PalmUserLibrary> library, bool fromFolder)
    : library_(std::move(library)), fromFolder_(fromFolder) {}

int PalmUserList::UserCount() {
    if (!library_) return 0;
    const int count = library_->UserCount();
    if (count <= 0) return 0;
    return count > kMaxEntries ? kMaxEntries : count;
}

int PalmUserList::CountAndClearCurrent() {
    const int count = UserCount();
    ClearCurrentMarks();
    return count;
}

std::uint32_t PalmUserList::UserId(int index) { return library_ ? library_->UserId(index) : 0; }

const std::string& PalmUserList::UserName(int, std::uint32_t userId) {
    nameBuffer_ = library_ ? library_->UserName(userId) : std::string();
    return nameBuffer_;
}

const std::string& PalmUserList::UserDirectory(std::uint32_t userId) {
    directoryBuffer_ = library_ ? library_->UserDirectory(userId) : std::string();
    AppendSeparator(directoryBuffer_);
    return directoryBuffer_;
}

PalmUserEntry* PalmUserList::Entry(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return nullptr;
    return entries_[static_cast<std::size_t>(index)].get();
}

void PalmUserList::ClearCurrentMarks() {
    for (const auto& entry : entries_) entry->current = 0;
}

void PalmUserList::FreeEntries() { entries_.clear(); }

std::string PalmUserList::LastUserName(SettingsKey& appKey) {
    // A folder's users keep their own last user, apart from Palm Desktop's.
    if (fromFolder_) {
        std::string last = appKey.ReadString(kFolderUserValue, kShortPathBufferSize);
        const int count = UserCount();
        for (int i = 0; i < count && !last.empty(); ++i)
            if (UserName(i, UserId(i)) == last) return last;
    }
    return appKey.ReadString("LastUsername", kShortPathBufferSize);
}

int PalmUserList::FillEntries(SettingsKey& appKey) {
    entries_.clear();
    const int count = UserCount();
    if (count <= 0) return -1;
    for (int i = 0; i < count; ++i) {
        auto entry = std::make_unique<PalmUserEntry>();
        entry->index = i;
        entry->userId = UserId(i);
        entry->name = UserName(i, entry->userId);
        entry->directory = UserDirectory(entry->userId);
        Trace("pPalmUser[%i] = " TAVOLEX_TRACE_PTR, i, TraceAddress(entry.get()));
        entries_.push_back(std::move(entry));
    }
    const std::string last = LastUserName(appKey);
    int selection = 0;
    for (int i = 0; i < count; ++i) {
        PalmUserEntry& entry = *entries_[static_cast<std::size_t>(i)];
        if (last == entry.name) {
            entry.current = 1;
            selection = i;
        }
        // Entry 0 is marked while nothing later has matched, and keeps its mark after.
        if (selection == 0) entries_[0]->current = 1;
    }
    return selection;
}

int PalmUserList::SelectUserByName(std::string_view name, ApplicationSettings& settings,
                                   const ViewApplier& applyViews) {
    const int count = UserCount();
    int found = -1;
    for (int i = 0; i < count; ++i) {
        if (UserName(i, UserId(i)) == name) {
            found = i;
            break;
        }
        if (PalmUserEntry* entry = Entry(i)) entry->current = 0;
    }
    if (found < 0) return -1;

    // A list whose box was never filled still selects from the library's own values.
    PalmUserEntry fromLibrary;
    PalmUserEntry* entry = Entry(found);
    if (entry == nullptr) {
        fromLibrary.index = found;
        fromLibrary.userId = UserId(found);
        fromLibrary.name = UserName(found, fromLibrary.userId);
        fromLibrary.directory = UserDirectory(fromLibrary.userId);
        entry = &fromLibrary;
    }
    entry->current = 1;
    RememberCurrentUser(settings.appKey, *entry);
    settings.userDirectory = entry->directory;
    settings.authorName = entry->name;

    SettingsKey& userKey = settings.userKey;
    userKey.OpenUserKey(settings.userDirectory);
    settings.outputFolder = PathFromSettingsText(userKey.ReadString("OutputPath", kSelectionPathBufferSize));
    settings.databaseFolder = PathFromSettingsText(userKey.ReadString("DatabasePath", kSelectionPathBufferSize));
    settings.browserPath = PathFromSettingsText(userKey.ReadString("BrowserPath", kSelectionPathBufferSize));
    settings.meetingView = userKey.ReadDword("MeetingView");
    settings.reportView = userKey.ReadDword("ReportView");
    if (applyViews) applyViews(settings.meetingView, settings.reportView);
    return found;
}

void PalmUserList::RememberCurrentUser(SettingsKey& appKey, const PalmUserEntry& entry) const {
    if (fromFolder_) {
        appKey.WriteString(kFolderUserValue, entry.name);
        return;
    }
    appKey.WriteDword("LastUser", entry.userId);
    appKey.WriteString("LastUsername", entry.name);
    appKey.WriteString("UserPath", entry.directory);
}

}  // namespace tavolex
