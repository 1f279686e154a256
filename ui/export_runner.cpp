#include "ui/export_runner.h"

#include "address_book/address_book.h"
#include "export/archive_writer.h"
#include "export/exporters.h"
#include "meeting_store/meeting_database.h"
#include "platform/platform.h"
#include "report/report_options.h"
#include "report_files/report_name.h"
#include "resources/string_ids.h"
#include "ui/window_services.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cwchar>
#include <ctime>
#include <memory>
#include <vector>

namespace tavolex::ui {
namespace {

constexpr wchar_t kProgressClass[] = L"TavolexExportProgress";
constexpr int kBarId = 100;
constexpr int kTextId = 101;
constexpr int kRange = 1000;
// A count text per ExportCount bit, in bit order.
static_assert(IDS_EXPORT_COUNT_CONTACTS == IDS_EXPORT_COUNT_MEETINGS + kExportCountKinds - 1);

// What the progress window's procedure shares with the export: the Cancel button's answer. The
// window owns it: taken over at WM_NCCREATE, freed at WM_NCDESTROY.
struct ProgressState {
    bool cancelled = false;
};

// The state of a progress window; null once the window is gone.
ProgressState* StateOf(HWND window) {
    return window != nullptr ? reinterpret_cast<ProgressState*>(GetWindowLongPtrW(window, GWLP_USERDATA)) : nullptr;
}

LRESULT CALLBACK ProgressProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ProgressState* state = StateOf(window);
    switch (message) {
        case WM_NCCREATE: {
            auto* given =
                static_cast<std::unique_ptr<ProgressState>*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(given->release()));
            break;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL && state != nullptr) state->cancelled = true;
            return 0;
        case WM_CLOSE:
            if (state != nullptr) state->cancelled = true;
            return 0;
        case WM_NCDESTROY: {
            const std::unique_ptr<ProgressState> owned(state);
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            break;
        }
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterProgressClass(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instance, kProgressClass, &wc)) return true;
    wc.lpfnWndProc = ProgressProcedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kProgressClass;
    return RegisterClassExW(&wc) != 0;
}

// A small captioned window over the owner: the text, the bar and Cancel.
HWND CreateProgressWindow(HINSTANCE instance, HWND owner) {
    if (!RegisterProgressClass(instance)) return nullptr;
    constexpr int kWidth = 380;
    constexpr int kHeight = 150;
    RECT area{};
    if (owner == nullptr || !GetWindowRect(owner, &area)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int x = area.left + (area.right - area.left - kWidth) / 2;
    const int y = area.top + (area.bottom - area.top - kHeight) / 2;
    auto state = std::make_unique<ProgressState>();
    HWND window =
        CreateWindowExW(WS_EX_DLGMODALFRAME, kProgressClass, LoadText(instance, IDS_EXPORT_CAPTION).c_str(),
                        WS_POPUP | WS_CAPTION | WS_SYSMENU, x, y, kWidth, kHeight, owner, nullptr, instance, &state);
    if (window == nullptr) return nullptr;
    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HWND text =
        CreateWindowExW(0, L"STATIC", LoadText(instance, IDS_EXPORT_PROGRESS).c_str(), WS_CHILD | WS_VISIBLE, 16, 12,
                        340, 20, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), instance, nullptr);
    HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 16, 38, 340, 20, window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBarId)), instance, nullptr);
    HWND cancel = CreateWindowExW(0, L"BUTTON", LoadText(instance, IDS_EXPORT_CANCEL).c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 266, 72, 90, 26, window,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), instance, nullptr);
    for (HWND child : {text, cancel}) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageW(bar, PBM_SETRANGE32, 0, kRange);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return window;
}

void SetProgress(HWND window, std::int64_t done, std::int64_t total) {
    const auto position = total > 0 ? static_cast<WPARAM>(done * kRange / total) : 0;
    SendDlgItemMessageW(window, kBarId, PBM_SETPOS, position, 0);
}

// Whether a message to the frame would change or release the store an export reads: the reload
// request another program posts, a command (a change of user, a refresh, a chosen folder) and a
// close.
bool ChangesStore(const MSG& message, HWND owner) {
    if (owner == nullptr || message.hwnd != owner) return false;
    switch (message.message) {
        case WM_USER:
        case WM_COMMAND:
        case WM_SYSCOMMAND:
        case WM_CLOSE: return true;
        default: return false;
    }
}

// Lets the windows repaint and the Cancel button be pressed: false when it was, or the window is
// gone. A WM_QUIT is put back for the program's own loop and ends the export. A message that would
// change the store is held until the export ends (ReleaseHeld).
bool Pump(HWND window, HWND owner, std::vector<MSG>& held) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (ChangesStore(message, owner)) {
            held.push_back(message);
            continue;
        }
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    const ProgressState* state = StateOf(window);
    return state != nullptr && !state->cancelled;
}

// Posts the held messages again, in their order, for the program's own loop to carry out.
void ReleaseHeld(const std::vector<MSG>& held) {
    for (const MSG& message : held) PostMessageW(message.hwnd, message.message, message.wParam, message.lParam);
}

std::wstring FormatText(HINSTANCE instance, int id, std::initializer_list<long long> values) {
    const std::wstring format = LoadText(instance, id);
    std::wstring out;
    std::size_t next = 0;
    auto value = values.begin();
    for (std::size_t at = format.find(L"%d"); at != std::wstring::npos; at = format.find(L"%d", next)) {
        out += format.substr(next, at - next);
        out += value != values.end() ? std::to_wstring(*value++) : L"";
        next = at + 2;
    }
    return out + format.substr(next);
}

std::string Cp932(const std::wstring& text) { return platform::Utf16ToCp932(std::u16string(text.begin(), text.end())); }

// The exporter of a submenu command; null for another command.
const Exporter* ExporterOf(int command) {
    const std::span<const Exporter> exporters = Exporters();
    const int row = command - kCmdExportFirst;
    if (row < 0 || row >= static_cast<int>(exporters.size())) return nullptr;
    return &exporters[static_cast<std::size_t>(row)];
}

// "会議 3 件、議題 5 件…": only the counts the format reports.
std::wstring CountsText(HINSTANCE instance, const Exporter& exporter, const ExportSummary& summary) {
    std::wstring text;
    for (const ExportCountValue& c : ReportedCounts(exporter, summary)) {
        int bit = 0;
        while ((1u << bit) != static_cast<unsigned>(c.count)) ++bit;
        if (!text.empty()) text += L"、";
        text += FormatText(instance, IDS_EXPORT_COUNT_MEETINGS + bit, {c.value});
    }
    return text;
}

// The closing message; `users`: the users an export of every user wrote (0 for one user's).
void Conclude(const ExportRun& run, const Exporter& exporter, const ExportSummary& summary, std::size_t users,
              std::size_t leftOut) {
    const std::string caption = Cp932(LoadText(run.instance, IDS_EXPORT_CAPTION));
    if (summary.cancelled) {
        run.ui->ShowMessage(Cp932(LoadText(run.instance, IDS_EXPORT_CANCELLED)), caption,
                            platform::MessageIcon::kInformation);
        return;
    }
    if (!summary.error.empty()) {
        run.ui->ShowMessage(
            Cp932(LoadText(run.instance, IDS_EXPORT_FAILED)) + "\n" + platform::Utf8ToCp932(summary.error), caption,
            platform::MessageIcon::kWarning);
        return;
    }
    std::wstring text = LoadText(run.instance, IDS_EXPORT_DONE) + L"\n";
    if (users > 0) text += FormatText(run.instance, IDS_EXPORT_COUNT_USERS, {static_cast<long long>(users)}) + L"、";
    text += CountsText(run.instance, exporter, summary);
    if (summary.replacements > 0) text += L"\n" + FormatText(run.instance, IDS_EXPORT_REPLACED, {summary.replacements});
    if (summary.undated > 0) text += L"\n" + FormatText(run.instance, IDS_EXPORT_UNDATED, {summary.undated});
    if (!summary.kept.empty()) {
        text += L"\n" + FormatText(run.instance, IDS_EXPORT_KEPT, {static_cast<long long>(summary.kept.size())});
    }
    if (leftOut > 0) {
        text += L"\n" + FormatText(run.instance, IDS_EXPORT_USERS_LEFT_OUT, {static_cast<long long>(leftOut)});
    }
    run.ui->ShowMessage(Cp932(text), caption, platform::MessageIcon::kInformation);
}

std::optional<std::filesystem::path> ChooseTarget(const ExportRun& run, const Exporter& exporter) {
    if (exporter.kind == ExportWrites::kFolder) {
        return run.choosers->chooseFolder ? run.choosers->chooseFolder(run.owner, kChooseFolderPrompt)
                                          : ChooseFolder(run.owner, kChooseFolderPrompt);
    }
    const std::wstring filterText = Utf8ToWide(exporter.fileFilter);
    const std::wstring extension = Utf8ToWide(exporter.extension);
    return run.choosers->chooseSaveFile ? run.choosers->chooseSaveFile(run.owner, filterText, extension.c_str())
                                        : ChooseExportFile(run.owner, filterText, extension.c_str());
}

void Export(const ExportRun& run, const Exporter& exporter, const std::filesystem::path& target,
            const ExportProgress& progress, ExportSummary& summary) {
    ExportRequest request{.store = run.store,
                          .book = run.book,
                          .userFolder = run.userFolder,
                          .reports = run.reports,
                          .meetings = AllMeetings(*run.store),
                          .target = target,
                          .now = std::time(nullptr),
                          .progress = progress};
    if (exporter.kind == ExportWrites::kFolder) request.archive.reportOptions = run.reportOptions();
    ExportText text;
    const std::string document = exporter.job(request, text, summary);
    if (exporter.kind == ExportWrites::kDocument && summary.Ok()) WriteExportFile(target, document, summary);
}

// Whether to export every user of the Palm folder: asked where it has two or more, "no" (the
// current user alone) the default; none when the export is cancelled.
std::optional<bool> AskEveryUser(const ExportRun& run) {
    if (run.users.size() < 2 || !run.openUser) return false;
    std::wstring text = FormatText(run.instance, IDS_EXPORT_WHICH_USERS, {static_cast<long long>(run.users.size())});
    if (const std::size_t at = text.find(L"%s"); at != std::wstring::npos) {
        text.replace(at, 2, Utf8ToWide(run.currentUser));
    }
    switch (run.ui->AskYesNoCancel(Cp932(text), Cp932(LoadText(run.instance, IDS_EXPORT_CAPTION)),
                                   platform::kConfirmation)) {
        case platform::Answer::kYes: return true;
        case platform::Answer::kNo: return false;
        case platform::Answer::kCancel: break;
    }
    return std::nullopt;
}

// The export of every user (ExportEveryUser), its progress running over the users in turn. False
// when it stopped at a question answered no, which needs no closing message.
bool ExportEveryUserOf(const ExportRun& run, const Exporter& exporter, const std::filesystem::path& target,
                       const ExportProgress& progress, ExportSummary& summary, std::size_t& written,
                       std::size_t& leftOut) {
    EveryUserExport every{.exporter = &exporter, .users = run.users, .target = target};
    const auto count = static_cast<std::int64_t>(run.users.size());
    std::int64_t next = 0;
    every.open = [&](const std::string& user, UserExportPart& part) {
        const PartOpened opened = run.openUser(user, part);
        part.request.progress = [&progress, k = next++, count](std::int64_t done, std::int64_t total) {
            return progress(k * kRange + (total > 0 ? done * kRange / total : 0), count * kRange);
        };
        return opened;
    };
    every.mayReplace = [&run](const std::filesystem::path& first) { return ConfirmOverwrite(first, *run.ui); };
    EveryUserSummary result;
    const std::string document = ExportEveryUser(every, result);
    summary = std::move(result.summary);
    written = result.written.size();
    leftOut = result.leftOut.size();
    if (result.stopped) return false;
    if (result.written.empty() && summary.Ok()) summary.error = "no user of the Palm folder could be read";
    if (exporter.kind == ExportWrites::kDocument && summary.Ok()) WriteExportFile(target, document, summary);
    return true;
}

}  // namespace

std::optional<std::filesystem::path> ChooseExportFile(HWND owner, const std::wstring& filter,
                                                      const wchar_t* defaultExtension) {
    std::wstring pairs = filter;
    for (wchar_t& c : pairs) c = c == L'|' ? L'\0' : c;
    pairs.push_back(L'\0');
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW save{};
    save.lStructSize = sizeof save;
    save.hwndOwner = owner;
    save.lpstrFilter = pairs.c_str();
    save.lpstrFile = file;
    save.nMaxFile = MAX_PATH;
    save.lpstrDefExt = defaultExtension;
    save.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameW(&save)) return std::nullopt;
    return std::filesystem::path(file);
}

HWND ShowExportProgressWindow(HINSTANCE instance, HWND owner, std::int64_t done, std::int64_t total) {
    HWND window = CreateProgressWindow(instance, owner);
    if (window != nullptr) SetProgress(window, done, total);
    return window;
}

void AddExportMenuItems(HMENU frameMenu) {
    HMENU file = GetSubMenu(frameMenu, 0);
    HMENU exports = nullptr;
    for (int i = 0; file != nullptr && exports == nullptr && i < GetMenuItemCount(file); ++i)
        exports = GetSubMenu(file, i);
    if (exports == nullptr) return;
    while (GetMenuItemCount(exports) > 0) DeleteMenu(exports, 0, MF_BYPOSITION);
    const std::span<const Exporter> exporters = Exporters();
    for (std::size_t row = 0; row < exporters.size(); ++row) {
        AppendMenuW(exports, MF_STRING, static_cast<UINT_PTR>(kCmdExportFirst + static_cast<int>(row)),
                    Utf8ToWide(exporters[row].menuText).c_str());
    }
}

bool RunExportCommand(const ExportRun& run, int command) {
    const Exporter* exporter = ExporterOf(command);
    if (exporter == nullptr) return false;
    const std::optional<bool> everyUser = AskEveryUser(run);
    if (!everyUser) return true;
    const std::optional<std::filesystem::path> target = ChooseTarget(run, *exporter);
    if (!target) return true;
    // The save-file chooser asks about a file it would replace; a folder is asked about here,
    // unless it holds an earlier export of the format (for every user, as each user's is written).
    if (exporter->replaces != nullptr && !*everyUser) {
        const std::vector<std::filesystem::path> taken = exporter->replaces(
            {.store = run.store, .book = run.book, .meetings = AllMeetings(*run.store), .target = *target});
        if (!taken.empty() && !ConfirmOverwrite(taken.front(), *run.ui)) return true;
    }
    HWND window = CreateProgressWindow(run.instance, run.owner);
    if (run.owner != nullptr) EnableWindow(run.owner, FALSE);
    ExportSummary summary;
    std::vector<MSG> held;
    const ExportProgress progress = [window, &run, &held](std::int64_t done, std::int64_t total) {
        if (window == nullptr) return true;
        SetProgress(window, done, total);
        return Pump(window, run.owner, held);
    };
    std::size_t written = 0;
    std::size_t leftOut = 0;
    bool concluded = true;
    if (*everyUser) {
        concluded = ExportEveryUserOf(run, *exporter, *target, progress, summary, written, leftOut);
    } else {
        Export(run, *exporter, *target, progress, summary);
    }
    if (run.owner != nullptr) EnableWindow(run.owner, TRUE);
    if (window != nullptr) DestroyWindow(window);
    if (!concluded) {
        ReleaseHeld(held);
        return true;
    }
    Conclude(run, *exporter, summary, written, leftOut);
    if (!exporter->opens.empty() && summary.Ok() && run.openInViewer) run.openInViewer(*target / exporter->opens);
    ReleaseHeld(held);
    return true;
}

}  // namespace tavolex::ui
