#include "views/preferences_settings.h"

#include "settings/application_settings.h"
#include "settings/settings_key.h"
#include "settings/settings_text.h"

namespace tavolex {

namespace {

SettingsKey& CurrentUserKey(ApplicationSettings& settings) {
    settings.userKey.OpenUserKey(settings.userDirectory);
    return settings.userKey;
}

bool Storable(const std::filesystem::path& path) {
    const std::string text = SettingsTextFromPath(path);
    return !text.empty() && text.size() < kPathBufferSize;
}

}  // namespace

PreferencesOptions LoadPreferences(ApplicationSettings& settings) {
    SettingsKey& key = CurrentUserKey(settings);
    PreferencesOptions options;
    options.outputPath = PathFromSettingsText(key.ReadString("OutputPath", kPathBufferSize));
    options.browserPath = PathFromSettingsText(key.ReadString("BrowserPath", kPathBufferSize));
    options.templatePath = PathFromSettingsText(key.ReadString("TemplatePath", kPathBufferSize));
    options.autoView = key.ReadDword("AutoView");
    return options;
}

bool PreferencePathsAcceptable(const PreferencesOptions& options) {
    return Storable(options.browserPath) && Storable(options.outputPath) && Storable(options.templatePath);
}

bool SavePreferences(ApplicationSettings& settings, int currentUsers, const PreferencesOptions& options) {
    CurrentUserKey(settings).WriteDword(
        "AutoView", options.autoView == kAutoViewWithBrowserPath ? kAutoViewWithBrowserPath : kAutoViewWithAssociation);
    if (!PreferencePathsAcceptable(options)) return false;

    settings.outputFolder = options.outputPath;
    settings.browserPath = options.browserPath;
    settings.templateFolder = options.templatePath;
    for (int i = 0; i < currentUsers; ++i) {
        SettingsKey& key = CurrentUserKey(settings);
        key.WriteString("OutputPath", SettingsTextFromPath(options.outputPath));
        key.WriteString("BrowserPath", SettingsTextFromPath(options.browserPath));
        key.WriteString("TemplatePath", SettingsTextFromPath(options.templatePath));
    }
    return true;
}

std::filesystem::path UseDefaultBrowser(ApplicationSettings& settings) {
    settings.browserPath = PathFromSettingsText(settings.userKey.ReadDefaultBrowser());
    return settings.browserPath;
}

}  // namespace tavolex
