#include "export/markdown_vault.h"

#include "export/progress_counter.h"
#include "export/vault_files.h"
#include "export/vault_notes.h"
#include "meeting_store/meeting_database.h"
#include "platform/file_system.h"
#include "platform/platform.h"

#include <system_error>

namespace tavolex {

namespace fs = std::filesystem;

using vault::kAttachmentFolder;
using vault::kIndexName;
using vault::kPeopleFolder;

std::vector<fs::path> VaultFilesToReplace(const MeetingDatabase& store, const AddressBook& book,
                                          const MeetingIndexes& selection, const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec) || fs::is_empty(folder, ec) || IsEarlierVault(folder)) return {};
    const vault::VaultPlan plan = vault::Plan(store, book, selection);
    std::vector<std::string> names = {std::string(kIndexName), std::string(kVaultManifest)};
    for (const vault::MeetingNote& note : plan.notes) names.push_back(note.name);
    for (const std::string& person : plan.personNames) names.push_back(std::string(kPeopleFolder) + "/" + person);
    for (const std::int32_t index : selection) {
        const Meeting* m = store.MeetingAt(index);
        if (m == nullptr) continue;
        for (const MeetingItem& item : store.ItemsOf(m->dwDBID, ChildType::kSketch)) {
            if (const Sketch* s = store.SketchOf(item); s != nullptr && s->image.HasPixels())
                names.push_back(vault::AttachmentName(*s));
        }
    }
    std::vector<fs::path> taken;
    for (const std::string& name : names) {
        const fs::path path = folder / vault::Utf8Path(name);
        if (fs::exists(fs::symlink_status(path, ec))) taken.push_back(path);
    }
    if (taken.empty()) taken.push_back(folder);
    return taken;
}

bool WriteMarkdownVault(const MeetingDatabase& store, const AddressBook& book, const MeetingIndexes& selection,
                        const fs::path& folder, ExportText& text, ExportSummary& summary,
                        const ExportProgress& progress) {
    std::error_code ec;
    for (const fs::path& f : {folder, folder / kPeopleFolder, folder / kAttachmentFolder}) {
        fs::create_directories(f, ec);
        std::error_code probe;
        if (!fs::is_directory(f, probe)) {
            if (!ec) ec = std::make_error_code(std::errc::not_a_directory);
            summary.error = "cannot create the folder " + platform::PathToUtf8(f) + ": " + ec.message();
            return false;
        }
        // A sub-folder replaced by a link would take the vault's writes, and its removals, elsewhere.
        if (f != folder && fs::is_symlink(f, probe)) {
            summary.error =
                "cannot write into the folder " + platform::PathToUtf8(f) + ": it is a link to another folder";
            return false;
        }
    }
    vault::VaultWriter writer(folder, summary);
    const vault::VaultPlan plan = vault::Plan(store, book, selection, &writer);
    vault::NoteComposer composer(store, plan, text, summary, writer);
    bool ok = true;
    ProgressCounter steps(progress, plan.notes.size(), summary);
    for (const vault::MeetingNote& note : plan.notes) {
        ++summary.meetings;
        if (!composer.WriteMeeting(note)) {
            ok = false;
            break;
        }
        if (!steps.Step()) {
            ok = false;
            break;
        }
    }
    for (std::size_t p = 0; ok && p < plan.people.size(); ++p) ok = composer.WritePerson(p, book);
    ok = ok && composer.WriteIndex();
    // The manifest names what was written even when the run stopped, so the next run refreshes it.
    ok = writer.Finish(ok) && ok;
    summary.replacements = text.Replacements();
    return ok;
}

}  // namespace tavolex
