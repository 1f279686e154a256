// config: the saved settings a command-line user needs, listed, printed, set and unset. They are
// the values the desktop program reads, so both programs share them.

#include "cli/cli_messages.h"
#include "cli/command_registry.h"
#include "session/user_place.h"
#include "platform/file_system.h"
#include "settings/settings_key.h"
#include "settings/settings_text.h"

#include <cstdlib>
#include <iostream>

namespace tavolex::cli {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

enum class Scope { kPalm, kApplication, kUser };
enum class Kind { kFolder, kFile, kText };

struct Setting {
    const char* key;
    Scope scope;
    const char* valueName;
    Kind kind;
    bool mustExist;
};

constexpr Setting kSettings[] = {
    {"palm-folder", Scope::kPalm, "Path", Kind::kFolder, true},
    {"user", Scope::kApplication, "LastUsername", Kind::kText, false},
    {"output", Scope::kUser, "OutputPath", Kind::kFolder, false},
    {"templates", Scope::kUser, "TemplatePath", Kind::kFolder, true},
    {"viewer", Scope::kUser, "BrowserPath", Kind::kFile, false},
    {"author", Scope::kUser, "cAuthor", Kind::kText, false},
};

struct ConfigArguments {
    std::string key;
    std::string value;
    std::string unset;
    CLI::App* app = nullptr;
};

const Setting* FindSetting(const std::string& key) {
    for (const Setting& s : kSettings) {
        if (key == s.key) return &s;
    }
    return nullptr;
}

std::string KeyList() {
    std::string out;
    for (const Setting& s : kSettings) out += (out.empty() ? "" : ", ") + std::string(s.key);
    return out;
}

// Whether the Palm users can be found without a word: a Palm folder is named, chosen or saved, and
// is there.
bool FindUsersQuietly(CliSession& session) { return session.FindUsers(true); }

// The current user's key, opened on the settings' user key; false when there is no user (the
// message said why, unless quiet: a listing only leaves the user's settings out).
bool OpenUserKey(CliSession& session, bool quiet) {
    if (quiet ? !FindUsersQuietly(session) || session.CurrentUser() == nullptr
              : !session.FindUsers() || session.CurrentUser() == nullptr) {
        if (!quiet && session.CurrentUser() == nullptr && !session.PalmFolder().empty())
            session.LoadUser();  // says why
        return false;
    }
    session.Settings().userKey.OpenUserKey(session.CurrentUser()->directory + kFolderSeparator);
    return true;
}

std::string Read(CliSession& session, const Setting& s) {
    std::string text;
    if (s.scope == Scope::kPalm) {
        return platform::WithoutTrailingSeparators(PathText(session.SavedPalmFolder()));
    }
    SettingsKey& key = s.scope == Scope::kApplication ? session.Settings().appKey : session.Settings().userKey;
    text = key.ReadString(s.valueName, kPathBufferSize);
    if (s.kind == Kind::kFolder) text = platform::WithoutTrailingSeparators(text);
    return platform::Cp932ToUtf8(text);
}

platform::SettingsStatus Write(CliSession& session, const Setting& s, const std::string& cp932) {
    if (s.scope == Scope::kPalm) {
        std::unique_ptr<platform::SettingsKeyHandle> key;
        const platform::SettingsStatus status =
            session.Backend().OpenKey(kPalmCoreKeyPath, platform::KeyAccess::kCreate, key);
        return status != platform::kSettingsOk ? status : key->WriteString(s.valueName, cp932);
    }
    SettingsKey& key = s.scope == Scope::kApplication ? session.Settings().appKey : session.Settings().userKey;
    return key.WriteString(s.valueName, cp932);
}

int Print(CliSession& session, const std::vector<const Setting*>& settings, bool withUser) {
    json records = json::array();
    for (const Setting* s : settings) {
        const bool known = s->scope != Scope::kUser || withUser;
        const std::string value = known ? Read(session, *s) : std::string();
        if (session.Format() == OutputFormat::kText) {
            WriteTsvLine(std::cout, {s->key, value});
        } else {
            records.push_back({{"key", s->key}, {"value", value.empty() ? json(nullptr) : json(value)}});
        }
    }
    if (session.Json()) WriteJson(std::cout, json{{"settings", records}});
    if (session.Csv()) WriteCsv(std::cout, {{"key", kCsvValue}, {"value"}}, records);
    return 0;
}

int Config(CliSession& session, const ConfigArguments& a) {
    const bool unset = a.app->count("--unset") > 0;
    if (unset && a.app->count("KEY") > 0) return UsageError("config", "--unset takes the key alone");
    const std::string keyName = unset ? a.unset : a.key;
    if (keyName.empty()) {
        std::vector<const Setting*> all;
        for (const Setting& s : kSettings) all.push_back(&s);
        return Print(session, all, OpenUserKey(session, true));
    }
    const Setting* setting = FindSetting(keyName);
    if (setting == nullptr)
        return UsageError("config", "unknown setting \"" + keyName + "\"; the settings are " + KeyList());
    if (setting->scope == Scope::kUser && !OpenUserKey(session, false)) return 1;
    if (!unset && a.app->count("VALUE") == 0) return Print(session, {setting}, true);

    std::string stored;  // CP932, as the desktop program keeps it
    if (!unset) {
        if (a.value.empty()) return UsageError("config", "the value can't be empty; --unset " + keyName + " clears it");
        if (setting->kind == Kind::kText) {
            stored = platform::Utf8ToCp932(a.value);
        } else {
            std::error_code ec;
            const fs::path path =
                fs::absolute(fs::path(std::u8string(a.value.begin(), a.value.end())), ec).lexically_normal();
            if (setting->mustExist && !fs::is_directory(path, ec)) {
                Fail(session.Ui(), "The folder " + platform::PathToCp932(path) + " can't be read.", FolderReason(path));
                return 1;
            }
            stored = setting->kind == Kind::kFolder && setting->scope == Scope::kUser ? FolderText(path)
                                                                                      : SettingsTextFromPath(path);
            if (setting->scope == Scope::kPalm) stored = platform::WithoutTrailingSeparators(stored);
        }
        if (std::string(setting->key) == "user") {
            // The user is checked against the Palm folder when there is one to check against.
            if (FindUsersQuietly(session)) {
                bool known = false;
                for (const CliUser& u : session.Users()) known = known || u.name == stored;
                if (!known) {
                    Fail(session.Ui(),
                         "No Palm user named \"" + stored + "\" was found in " +
                             platform::PathToCp932(session.PalmFolder()) + ".",
                         "The users are listed by: tavolex users");
                    return 1;
                }
            }
        }
    }
    platform::SettingsStatus status = Write(session, *setting, stored);
    // The user chosen here is also the last user among a folder's users, which the desktop program
    // keeps apart from Palm Desktop's.
    if (status == platform::kSettingsOk && std::string(setting->key) == "user")
        status = session.Settings().appKey.WriteString(kFolderUserValue, stored);
    if (status != platform::kSettingsOk || session.Backend().InMemory()) {
        const std::string reason = WriteFailureReason(session.SettingsLocation());
        Fail(session.Ui(), "The setting " + keyName + " could not be saved.",
             reason.empty() ? PathText(session.SettingsLocation()) + ": the settings store can't be written" : reason);
        return 1;
    }
    return Print(session, {setting}, true);
}

}  // namespace

void AddConfigCommands(CommandRegistry& registry) {
    auto a = std::make_shared<ConfigArguments>();
    CLI::App* config = registry.Add("config", "list, print, set or unset the saved settings",
                                    "tavolex config palm-folder ~/PalmDesktop", Needs::kSettings, true,
                                    [a](CliSession& s) { return Config(s, *a); });
    a->app = config;
    config->add_option("KEY", a->key, "palm-folder, user, output, templates, viewer (the browser) or author");
    config->add_option("VALUE", a->value, "the new value; paths are stored absolute");
    config->add_option("--unset", a->unset, "clear the setting KEY")->type_name("KEY");
}

}  // namespace tavolex::cli
