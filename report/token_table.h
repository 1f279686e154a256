#pragma once
// The token names of the template language with their ids, in lookup order: the first row that
// matches a token wins. "?" in a name marks a parameter. COLOUR spellings are synonyms of COLOR.

#include <array>

namespace tavolex {

// The ids and the names as tables, a group of related tokens to a line.
// clang-format off
enum TokenId : int {
    kTokReportDate = 0, kTokReportTime = 1, kTokSetColor1 = 2, kTokSetColor2 = 3, kTokColor1 = 4,
    kTokColor2 = 5, kTokSwapColors = 6, kTokCount = 7, kTokNextItem = 8, kTokStatus = 9, kTokTitle = 10,
    kTokAuthor = 11, kTokDate = 12, kTokTime = 13, kTokStartTime = 14, kTokEndTime = 15, kTokLocation = 16,
    kTokHandheldOrderBegin = 17, kTokHandheldOrderEnd = 18,
    kTokNotesProlog = 19, kTokNotesBegin = 20, kTokNote = 21, kTokNoteFirstLine = 22, kTokNoteBody = 23,
    kTokNotesEnd = 24, kTokNotesEpilog = 25,
    kTokTodosProlog = 26, kTokTodosBegin = 27, kTokDueDate = 28, kTokDueTime = 29, kTokPriority = 30,
    kTokTodo = 31, kTokTodoFirstLine = 32, kTokTodoBody = 33, kTokTodosEnd = 34, kTokTodosEpilog = 35,
    kTokSketchesProlog = 36, kTokSketchesBegin = 37, kTokSketchesEnd = 38, kTokSketchTitle = 39,
    kTokSketchFilename = 40, kTokSketchesEpilog = 41,
    kTokAgendasProlog = 42, kTokAgendasBegin = 43, kTokAgenda = 44, kTokAgendaFirstLine = 45,
    kTokAgendaBody = 46, kTokAgendasEnd = 47, kTokAgendasEpilog = 48,
    kTokAttendeesProlog = 49, kTokAttendeesBegin = 50, kTokFirstName = 51, kTokLastName = 52,
    kTokSalutation = 53, kTokCompany = 54, kTokPhone1Label = 55, kTokPhone1 = 56, kTokPhone2Label = 57,
    kTokPhone2 = 58, kTokPhone3Label = 59, kTokPhone3 = 60, kTokPhone4Label = 61, kTokPhone4 = 62,
    kTokPhone5Label = 63, kTokPhone5 = 64, kTokAddress = 65, kTokCity = 66, kTokState = 67, kTokZipCode = 68,
    kTokCountry = 69, kTokCustom1 = 70, kTokCustom2 = 71, kTokCustom3 = 72, kTokCustom4 = 73,
    kTokAttendeesEnd = 74, kTokAttendeesEpilog = 75,
};

struct TokenRow {
    int id;
    const char* name;
};

inline constexpr std::array<TokenRow, 81> kTokenTable{{
    {kTokAuthor, "AUTHOR"}, {kTokReportDate, "REPORT_DATE"}, {kTokReportTime, "REPORT_TIME"},
    {kTokSetColor1, "SET_COLOR1(?)"}, {kTokSetColor2, "SET_COLOR2(?)"}, {kTokSetColor1, "SET_COLOUR1(?)"},
    {kTokSetColor2, "SET_COLOUR2(?)"}, {kTokColor1, "COLOR1"}, {kTokColor2, "COLOR2"},
    {kTokSwapColors, "SWAP_COLORS"}, {kTokColor1, "COLOUR1"}, {kTokColor2, "COLOUR2"},
    {kTokSwapColors, "SWAP_COLOURS"}, {kTokCount, "COUNT"}, {kTokNextItem, "NEXT_ITEM"},
    {kTokStatus, "STATUS(?,?)"}, {kTokTitle, "TITLE"}, {kTokLocation, "LOCATION"}, {kTokDate, "DATE"},
    {kTokTime, "TIME"}, {kTokStartTime, "START_TIME"}, {kTokEndTime, "END_TIME"},
    {kTokHandheldOrderBegin, "HANDHELD_ORDER_BEGIN"}, {kTokHandheldOrderEnd, "HANDHELD_ORDER_END"},
    {kTokNotesProlog, "NOTES_PROLOG"}, {kTokNotesBegin, "NOTES_BEGIN"}, {kTokNote, "NOTE"},
    {kTokNoteFirstLine, "NOTE_FIRST_LINE"}, {kTokNoteBody, "NOTE_BODY"}, {kTokNotesEnd, "NOTES_END"},
    {kTokNotesEpilog, "NOTES_EPILOG"}, {kTokTodosProlog, "TODOS_PROLOG"}, {kTokTodosBegin, "TODOS_BEGIN"},
    {kTokDueDate, "DUE_DATE"}, {kTokDueTime, "DUE_TIME"}, {kTokPriority, "PRIORITY"}, {kTokTodo, "TODO"},
    {kTokTodoFirstLine, "TODO_FIRST_LINE"}, {kTokTodoBody, "TODO_BODY"}, {kTokTodosEnd, "TODOS_END"},
    {kTokTodosEpilog, "TODOS_EPILOG"}, {kTokSketchesProlog, "SKETCHES_PROLOG"},
    {kTokSketchesBegin, "SKETCHES_BEGIN"}, {kTokSketchTitle, "SKETCH_TITLE"},
    {kTokSketchFilename, "SKETCH_FILENAME"}, {kTokSketchesEnd, "SKETCHES_END"},
    {kTokSketchesEpilog, "SKETCHES_EPILOG"}, {kTokAgendasProlog, "AGENDAS_PROLOG"},
    {kTokAgendasBegin, "AGENDAS_BEGIN"}, {kTokAgenda, "AGENDA"}, {kTokAgendaFirstLine, "AGENDA_FIRST_LINE"},
    {kTokAgendaBody, "AGENDA_BODY"}, {kTokAgendasEnd, "AGENDAS_END"}, {kTokAgendasEpilog, "AGENDAS_EPILOG"},
    {kTokAttendeesProlog, "ATTENDEES_PROLOG"}, {kTokAttendeesBegin, "ATTENDEES_BEGIN"},
    {kTokAttendeesEnd, "ATTENDEES_END"}, {kTokFirstName, "FIRST_NAME"}, {kTokLastName, "LAST_NAME"},
    {kTokSalutation, "SALUTATION"}, {kTokCompany, "COMPANY"}, {kTokPhone1Label, "PHONE1_LABEL"},
    {kTokPhone1, "PHONE1"}, {kTokPhone2Label, "PHONE2_LABEL"}, {kTokPhone2, "PHONE2"},
    {kTokPhone3Label, "PHONE3_LABEL"}, {kTokPhone3, "PHONE3"}, {kTokPhone4Label, "PHONE4_LABEL"},
    {kTokPhone4, "PHONE4"}, {kTokPhone5Label, "PHONE5_LABEL"}, {kTokPhone5, "PHONE5"},
    {kTokAddress, "ADDRESS"}, {kTokCity, "CITY"}, {kTokState, "STATE"}, {kTokZipCode, "ZIPCODE"},
    {kTokCountry, "COUNTRY"}, {kTokCustom1, "CUSTOM1"}, {kTokCustom2, "CUSTOM2"}, {kTokCustom3, "CUSTOM3"},
    {kTokCustom4, "CUSTOM4"}, {kTokAttendeesEpilog, "ATTENDEES_EPILOG"},
}};
// clang-format on

}  // namespace tavolex
