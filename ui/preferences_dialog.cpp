#include "ui/preferences_dialog.h"

#include "session/palm_user_list.h"
#include "settings/application_settings.h"
#include "ui/application.h"
#include "ui/window_services.h"
#include "resources/string_ids.h"

#include <string>

namespace tavolex::ui {

namespace {

// A path field holds what the 512-byte settings buffer can take back.
constexpr int kPathCharacters = 511;

struct DialogState {
    PreferencesOptions* options = nullptr;
    const PreferencesDialogActions* actions = nullptr;
    HWND previousMessageOwner = nullptr;
};

std::wstring FieldText(HWND dialog, int id) {
    HWND field = GetDlgItem(dialog, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
    return text;
}

void SetField(HWND dialog, int id, const std::filesystem::path& path) { SetDlgItemTextW(dialog, id, path.c_str()); }

void SelectViewerRadio(HWND dialog, bool viewerProgram) {
    CheckRadioButton(dialog, kPrefViewerRadioId, kPrefAssociatedRadioId,
                     viewerProgram ? kPrefViewerRadioId : kPrefAssociatedRadioId);
}

void Fill(HWND dialog, const PreferencesOptions& options) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    SetDlgItemTextW(dialog, kPrefExplanationId, LoadText(instance, IDS_PREF_EXPLANATION).c_str());
    SetDlgItemTextW(dialog, kPrefViewerGroupId, LoadText(instance, IDS_PREF_VIEWER_GROUP).c_str());
    SetDlgItemTextW(dialog, kPrefAssociatedRadioId, LoadText(instance, IDS_PREF_ASSOCIATED).c_str());
    SetDlgItemTextW(dialog, kPrefOutputGroupId, LoadText(instance, IDS_PREF_OUTPUT_GROUP).c_str());
    SetDlgItemTextW(dialog, kPrefTemplateGroupId, LoadText(instance, IDS_PREF_TEMPLATE_GROUP).c_str());
    for (int id : {kPrefViewerEditId, kPrefOutputEditId, kPrefTemplateEditId}) {
        SendDlgItemMessageW(dialog, id, EM_SETLIMITTEXT, kPathCharacters, 0);
    }
    SetField(dialog, kPrefViewerEditId, options.browserPath);
    SetField(dialog, kPrefOutputEditId, options.outputPath);
    SetField(dialog, kPrefTemplateEditId, options.templatePath);
    SelectViewerRadio(dialog, options.autoView == kAutoViewWithBrowserPath);
}

PreferencesOptions FromControls(HWND dialog) {
    PreferencesOptions options;
    options.browserPath = FieldText(dialog, kPrefViewerEditId);
    options.outputPath = FieldText(dialog, kPrefOutputEditId);
    options.templatePath = FieldText(dialog, kPrefTemplateEditId);
    options.autoView = IsDlgButtonChecked(dialog, kPrefAssociatedRadioId) == BST_CHECKED ? kAutoViewWithAssociation
                                                                                         : kAutoViewWithBrowserPath;
    return options;
}

void ChooseViewer(HWND dialog, const PreferencesDialogActions& actions) {
    SelectViewerRadio(dialog, true);
    std::filesystem::path program = actions.storedBrowser();
    actions.choosers->chooseProgram(dialog, program);  // a cancel leaves the stored program
    SetField(dialog, kPrefViewerEditId, program);
}

void ChooseFolderInto(HWND dialog, const PreferencesDialogActions& actions, int fieldId) {
    const std::optional<std::filesystem::path> folder = actions.choosers->chooseFolder(dialog, kChooseFolderPrompt);
    if (!folder) return;
    std::wstring text = folder->wstring();
    if (text.empty() || text.back() != L'\\') text.push_back(L'\\');
    SetDlgItemTextW(dialog, fieldId, text.c_str());
}

void ExploreField(HWND dialog, const PreferencesDialogActions& actions, int fieldId) {
    if (actions.choosers->exploreFolder(dialog, std::filesystem::path(FieldText(dialog, fieldId))) ==
        ExploreResult::kNotFound) {
        actions.ui->ShowMessage(kUnableToOpenFolder, "", platform::MessageIcon::kNone);
    }
}

bool OnCommand(HWND dialog, DialogState& state, int id) {
    switch (id) {
        case kPrefDefaultViewerId:
            SelectViewerRadio(dialog, true);
            SetField(dialog, kPrefViewerEditId, state.actions->defaultBrowser());
            return true;
        case kPrefChooseViewerId: ChooseViewer(dialog, *state.actions); return true;
        case kPrefChooseOutputId: ChooseFolderInto(dialog, *state.actions, kPrefOutputEditId); return true;
        case kPrefChooseTemplateId: ChooseFolderInto(dialog, *state.actions, kPrefTemplateEditId); return true;
        case kPrefOpenOutputId: ExploreField(dialog, *state.actions, kPrefOutputEditId); return true;
        case kPrefOpenTemplateId: ExploreField(dialog, *state.actions, kPrefTemplateEditId); return true;
        case IDOK: {
            const PreferencesOptions chosen = FromControls(dialog);
            if (!state.actions->accept(chosen)) return true;
            *state.options = chosen;
            EndDialog(dialog, IDOK);
            return true;
        }
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return true;
        default: return false;
    }
}

INT_PTR CALLBACK PreferencesProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    switch (message) {
        case WM_INITDIALOG:
            state = reinterpret_cast<DialogState*>(lParam);
            SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
            // The dialog's messages are owned by the dialog, so it waits for them.
            state->previousMessageOwner = state->actions->messageOwner->owner;
            state->actions->messageOwner->owner = dialog;
            Fill(dialog, *state->options);
            return TRUE;
        case WM_COMMAND: return state != nullptr && OnCommand(dialog, *state, LOWORD(wParam)) ? TRUE : FALSE;
        case WM_DESTROY:
            if (state != nullptr) state->actions->messageOwner->owner = state->previousMessageOwner;
            return FALSE;
        default: return FALSE;
    }
}

}  // namespace

INT_PTR ShowPreferencesDialog(HWND parent, PreferencesOptions& options, const PreferencesDialogActions& actions) {
    DialogState state{&options, &actions};
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kPreferencesDialogId), parent,
                           PreferencesProcedure, reinterpret_cast<LPARAM>(&state));
}

PreferencesDialogActions CurrentUserPreferencesActions(Application& app) {
    ApplicationSettings& settings = *app.settings;
    const PalmUserList& users = *app.users;
    PreferencesDialogActions actions;
    actions.defaultBrowser = [&settings] { return UseDefaultBrowser(settings); };
    actions.storedBrowser = [&settings] { return LoadPreferences(settings).browserPath; };
    actions.accept = [&settings, &users, &app](const PreferencesOptions& options) {
        if (SavePreferences(settings, users.CurrentCount(), options)) return true;
        app.ui->ShowMessage(Narrow(LoadText(GetModuleHandleW(nullptr), IDS_PREF_PATHS_REFUSED)), "Tavolex",
                            platform::MessageIcon::kInformation);
        return false;
    };
    actions.choosers = &app.choosers;
    actions.ui = app.ui;
    actions.messageOwner = &app.frameUi;
    return actions;
}

}  // namespace tavolex::ui
