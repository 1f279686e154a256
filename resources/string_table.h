#pragma once
// The program's string table: user-interface texts by id, as code page 932 bytes, readable by the
// core and by both front ends without any platform resource loading.

namespace tavolex {

// Phone labels of the address book, one per label index 0 ... 7.
inline constexpr int kIdsPhoneWork = 121;
inline constexpr int kIdsPhoneHome = 122;
inline constexpr int kIdsPhoneFax = 123;
inline constexpr int kIdsPhoneOther = 124;
inline constexpr int kIdsPhoneEmail = 125;
inline constexpr int kIdsPhoneMain = 126;
inline constexpr int kIdsPhonePager = 127;
inline constexpr int kIdsPhoneMobile = 128;
inline constexpr int kPhoneLabelCount = 8;

// Report files.
inline constexpr int kIdsExportLocation = 147;      // label above the export destination
inline constexpr int kIdsConfirmDelete = 148;       // after the report's path and two line feeds
inline constexpr int kIdsConfirmReplace = 207;      // after the path of a report that exists
inline constexpr int kIdsAttachmentNotFound = 231;  // after the name of a picture that is missing

// Labels of the address-book fields the quick view shows for an attendee.
inline constexpr int kIdsLabelLastName = 162;
inline constexpr int kIdsLabelFirstName = 163;
inline constexpr int kIdsLabelTitle = 164;
inline constexpr int kIdsLabelCompany = 165;
inline constexpr int kIdsLabelAddress = 172;
inline constexpr int kIdsLabelCity = 173;
inline constexpr int kIdsLabelState = 174;
inline constexpr int kIdsLabelZipCode = 175;
inline constexpr int kIdsLabelCountry = 176;
inline constexpr int kIdsLabelAddrNote = 177;
inline constexpr int kIdsLabelCustom1 = 178;  // custom 2 ... 4 follow: 179 ... 181
inline constexpr int kIdsLabelCustom4 = 181;

// The quick view's texts.
inline constexpr int kIdsDueDate = 197;
inline constexpr int kIdsCompleted = 198;
inline constexpr int kIdsPriority = 200;
inline constexpr int kIdsDiscussed = 201;
inline constexpr int kIdsNotDiscussed = 202;
inline constexpr int kIdsCompletedYes = 208;
inline constexpr int kIdsCompletedNo = 209;
inline constexpr int kIdsAbsent = 216;
inline constexpr int kIdsQuickView = 218;
inline constexpr int kIdsSketchEnd = 220;
inline constexpr int kIdsNotInAddressBook = 224;

// Column titles of the meeting list, the item list and the report list.
inline constexpr int kIdsColumnMeetingTitle = 3101;
inline constexpr int kIdsColumnMeetingLocation = 3102;
inline constexpr int kIdsColumnMeetingDate = 3103;
inline constexpr int kIdsColumnMeetingCategory = 3104;
inline constexpr int kIdsColumnItem = 3105;
inline constexpr int kIdsColumnReportName = 3106;
inline constexpr int kIdsColumnReportDate = 3107;
inline constexpr int kIdsColumnReportSize = 3108;

// The text of entry id; "" for an id the table does not hold. Never null; the text lives for the
// whole run.
[[nodiscard]] const char* StringTableText(int id);

}  // namespace tavolex
