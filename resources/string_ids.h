// The ids of the desktop program's own texts in its string table, which its resource script and
// its C++ share: make_ui_resources.py reads them to write the table from the names the script
// gives its texts. Plain #defines, as the resource compiler reads nothing else. The texts the core
// reads too keep their ids in string_table.h; a value here never repeats one there or here.
#pragma once

// The program's title and its window classes.
#define IDS_TITLE 103  // Tavolex
#define IDS_FRAME_CLASS 109
#define IDS_MEETING_PANE_CLASS 111
#define IDS_REPORT_PANE_CLASS 112

// The tool bar's labels, and the rebar bands' text.
#define IDS_TOOL_REPORT 104   // レポート
#define IDS_TOOL_EXPORT 105   // エクスポート
#define IDS_TOOL_SUPPORT 228  // サポート
#define IDS_TOOL_VIEWS 229    // 表示
#define IDS_TOOL_MAIL 230     // メール
#define IDS_BAND_TEXT 217     // " "

// The About box.
#define IDS_ABOUT_VERSION 129
#define IDS_ABOUT_THANKS 130
#define IDS_ABOUT_TEXT1 136
#define IDS_ABOUT_TEXT2 137
#define IDS_ABOUT_TEXT3 138
#define IDS_ABOUT_TEXT4 139

// Preferences.
#define IDS_PREF_EXPLANATION 144
#define IDS_PREF_VIEWER_GROUP 145
#define IDS_PREF_OUTPUT_GROUP 146
#define IDS_PREF_TEMPLATE_GROUP 225
#define IDS_PREF_ASSOCIATED 3010
#define IDS_PREF_PATHS_REFUSED 212  // パスを再確認してください

// Create Report: the groups and the parts of a report (the attendees' text is also a tab of
// Report Options).
#define IDS_CREATE_INSTANT_GROUP 149
#define IDS_CREATE_CUSTOM_GROUP 150
#define IDS_CREATE_NAME_GROUP 151
#define IDS_CREATE_TEMPLATE_GROUP 152
#define IDS_CREATE_SECTIONS_GROUP 153
#define IDS_SECTION_AUTHOR 154
#define IDS_SECTION_AGENDA 155
#define IDS_SECTION_TODO 156
#define IDS_SECTION_NOTES 157
#define IDS_SECTION_SKETCHES 158
#define IDS_SECTION_ATTENDEES 159
#define IDS_EXECUTIVE_REPORT 222
#define IDS_AGENDA_REPORT 223

// Report Options: the phone labels of the fields tab (the other fields' labels are the quick
// view's, in string_table.h), the groups and the author tab.
#define IDS_FIELD_PHONE1 166
#define IDS_FIELD_PHONE2 167
#define IDS_FIELD_PHONE3 168
#define IDS_FIELD_PHONE4 169
#define IDS_FIELD_PHONE5 170
#define IDS_OPTIONS_FIELDS_GROUP 182
#define IDS_OPTIONS_BLANK 210
#define IDS_OPTIONS_AUTHOR_TAB 211
#define IDS_OPTIONS_AUTHOR_GROUP 213
#define IDS_OPTIONS_AUTHOR_CAPTION 214

// Set-up.
#define IDS_SYNC_NOW 206

// The exports: progress, the closing message, and a count per ExportCount bit, in bit order.
#define IDS_EXPORT_PROGRESS 3301   // エクスポートしています...
#define IDS_EXPORT_CANCEL 3302     // キャンセル
#define IDS_EXPORT_DONE 3303       // エクスポートが完了しました。
#define IDS_EXPORT_REPLACED 3305   // the replacement characters, printf-style
#define IDS_EXPORT_CANCELLED 3306  // エクスポートを中止しました。
#define IDS_EXPORT_FAILED 3307     // エクスポートできませんでした。
#define IDS_EXPORT_CAPTION 3308    // Tavolex エクスポート
#define IDS_EXPORT_KEPT 3309       // the files kept as the user edited them, printf-style
#define IDS_EXPORT_UNDATED 3310    // meetings left out of a calendar for their date, printf-style
#define IDS_EXPORT_COUNT_MEETINGS 3312
#define IDS_EXPORT_COUNT_AGENDA 3313
#define IDS_EXPORT_COUNT_NOTES 3314
#define IDS_EXPORT_COUNT_TODOS 3315
#define IDS_EXPORT_COUNT_SKETCHES 3316
#define IDS_EXPORT_COUNT_ATTENDEES 3317
#define IDS_EXPORT_COUNT_CONTACTS 3318
// Where the Palm folder has several users: all of them, or the current one (%d users, %s its name).
#define IDS_EXPORT_WHICH_USERS 3319
#define IDS_EXPORT_USERS_LEFT_OUT 3320  // the users that could not be read, printf-style
#define IDS_EXPORT_COUNT_USERS 3321     // the users written, before the counts

// The Palm folder chosen where Palm Desktop lists no user.
#define IDS_NO_PALM_DESKTOP 3401     // the one sentence before the start-up chooser
#define IDS_NO_PALM_USER 3402        // followed by the folder's path
#define IDS_CHOOSE_PALM_FOLDER 3403  // the prompt of the Palm folder chooser

// The to-do list: its caption, its columns in their order, and the done mark.
#define IDS_TODO_CAPTION 3601
#define IDS_TODO_COLUMN_DUE 3602
#define IDS_TODO_COLUMN_PRIORITY 3603
#define IDS_TODO_COLUMN_DONE 3604
#define IDS_TODO_COLUMN_TEXT 3605
#define IDS_TODO_COLUMN_MEETING 3606
#define IDS_TODO_DONE 3607

// The find box.
#define IDS_FIND_CUE 3611    // the box's grey text while it is empty
#define IDS_FIND_COUNT 3612  // after the number of meetings shown
#define IDS_LOADING 3613     // in the count's place while a large store loads

// The data check: its columns in their order, a file's state, the message about damaged files,
// and a remark of each CheckRemarkKind in its order, "%d" its count.
#define IDS_CHECK_COLUMN_FILE 3621
#define IDS_CHECK_COLUMN_STATE 3622
#define IDS_CHECK_COLUMN_HEADER 3623
#define IDS_CHECK_COLUMN_READ 3624
#define IDS_CHECK_COLUMN_LEFT 3625
#define IDS_CHECK_OK 3626
#define IDS_CHECK_MISSING 3627
#define IDS_CHECK_DAMAGED 3628
#define IDS_CHECK_DAMAGED_NOTE 3629  // before the damaged files' names
#define IDS_CHECK_DAMAGED_HINT 3630  // after them: where to see more
#define IDS_CHECK_REMARK_UNREAD 3631
#define IDS_CHECK_REMARK_FULL_TEXT 3632
#define IDS_CHECK_REMARK_NO_MEETING 3633
#define IDS_CHECK_REMARK_UNKNOWN_KIND 3634
#define IDS_CHECK_REMARK_NO_RECORD 3635
