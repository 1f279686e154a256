#include "resources/string_table.h"

namespace tavolex {
namespace {

struct StringTableEntry {
    int id;
    const char* text;
};

// Texts are code page 932 bytes written as escapes (resources/cp932_literal.py makes them from
// UTF-8); the UTF-8 text is in the comment.
constexpr StringTableEntry kStringTable[] = {
    {kIdsPhoneWork, "\x89\xef\x8e\xd0\x93\x64\x98\x62"},    // 会社電話
    {kIdsPhoneHome, "\x8e\xa9\x91\xee\x93\x64\x98\x62"},    // 自宅電話
    {kIdsPhoneFax, "Fax\x94\xd4\x8d\x86"},                  // Fax番号
    {kIdsPhoneOther, "\x82\xbb\x82\xcc\x91\xbc"},           // その他
    {kIdsPhoneEmail, "E-mail"},                             // E-mail
    {kIdsPhoneMain, "\x83\x81\x83\x43\x83\x93"},            // メイン
    {kIdsPhonePager, "\x83\x7c\x83\x50\x83\x78\x83\x8b"},   // ポケベル
    {kIdsPhoneMobile, "\x83\x82\x83\x6f\x83\x43\x83\x8b"},  // モバイル
    {kIdsExportLocation,
     "\x83\x47\x83\x4e\x83\x58\x83\x7c\x81\x5b\x83\x67\x82\xb7\x82\xe9\x8f\xea\x8f\x8a"},  // エクスポートする場所
    {kIdsConfirmDelete, "\x82\xe6\x82\xeb\x82\xb5\x82\xa2\x82\xc5\x82\xb7\x82\xa9"},       // よろしいですか
    // は既に存在します。\n既存のファイルと置き換えますか?
    {kIdsConfirmReplace,
     "\x82\xcd\x8a\xf9\x82\xc9\x91\xb6\x8d\xdd\x82\xb5\x82\xdc\x82\xb7\x81\x42\x0a\x8a\xf9\x91\xb6\x82\xcc\x83\x74"
     "\x83\x40\x83\x43\x83\x8b\x82\xc6\x92\x75\x82\xab\x8a\xb7\x82\xa6\x82\xdc\x82\xb7\x82\xa9?"},
    //  が見つかりません。メールを送信を試みています・・・
    {kIdsAttachmentNotFound,
     " \x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42\x83\x81\x81\x5b\x83\x8b\x82\xf0"
     "\x91\x97\x90\x4d\x82\xf0\x8e\x8e\x82\xdd\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81\x45\x81\x45\x81\x45"},
    {kIdsLabelLastName, "\x90\xa9"},                                              // 姓
    {kIdsLabelFirstName, "\x96\xbc"},                                             // 名
    {kIdsLabelTitle, "\x8c\xa8\x8f\x91\x82\xab"},                                 // 肩書き
    {kIdsLabelCompany, "\x89\xef\x8e\xd0\x96\xbc"},                               // 会社名
    {kIdsLabelAddress, "\x8f\x5a\x8f\x8a"},                                       // 住所
    {kIdsLabelCity, "\x8e\x73\x92\xac\x91\xba"},                                  // 市町村
    {kIdsLabelState, "\x93\x73\x93\xb9\x95\x7b\x8c\xa7"},                         // 都道府県
    {kIdsLabelZipCode, "\x97\x58\x95\xd6\x94\xd4\x8d\x86"},                       // 郵便番号
    {kIdsLabelCountry, "\x8d\x91"},                                               // 国
    {kIdsLabelAddrNote, "\x83\x81\x83\x82"},                                      // メモ
    {kIdsLabelCustom1, "\x83\x4a\x83\x58\x83\x5e\x83\x80 1"},                     // カスタム 1
    {kIdsLabelCustom1 + 1, "\x83\x4a\x83\x58\x83\x5e\x83\x80 2"},                 // カスタム 2
    {kIdsLabelCustom1 + 2, "\x83\x4a\x83\x58\x83\x5e\x83\x80 3"},                 // カスタム 3
    {kIdsLabelCustom4, "\x83\x4a\x83\x58\x83\x5e\x83\x80 4"},                     // カスタム 4
    {kIdsDueDate, "\x8d\xc5\x8f\x49\x8a\xfa\x8c\xc0"},                            // 最終期限
    {kIdsCompleted, "\x8f\x49\x97\xb9"},                                          // 終了
    {kIdsPriority, "\x97\x44\x90\xe6\x93\x78"},                                   // 優先度
    {kIdsDiscussed, "(\x93\xa2\x98\x5f\x8d\xcf)"},                                // (討論済)
    {kIdsNotDiscussed, "(\x96\xa2\x93\xa2\x98\x5f)"},                             // (未討論)
    {kIdsCompletedYes, "O"},                                                      // O
    {kIdsCompletedNo, "X"},                                                       // X
    {kIdsAbsent, "\x8c\x87\x90\xc8"},                                             // 欠席
    {kIdsQuickView, "\x83\x4e\x83\x43\x83\x62\x83\x4e\x83\x72\x83\x85\x81\x5b"},  // クイックビュー
    {kIdsSketchEnd, " "},                                                         // (one space)
    // その他の情報は使えません。\r\nアドレス帳より削除されています｡
    {kIdsNotInAddressBook,
     "\x82\xbb\x82\xcc\x91\xbc\x82\xcc\x8f\xee\x95\xf1\x82\xcd\x8e\x67\x82\xa6\x82\xdc\x82\xb9\x82\xf1"
     "\x81\x42\x0d\x0a\x83\x41\x83\x68\x83\x8c\x83\x58\x92\xa0\x82\xe6\x82\xe8\x8d\xed\x8f\x9c\x82\xb3"
     "\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7\xa1"},
    {kIdsColumnMeetingTitle, "\x83\x7e\x81\x5b\x83\x65\x83\x42\x83\x93\x83\x4f\x96\xbc"},  // ミーティング名
    {kIdsColumnMeetingLocation,
     "\x83\x7e\x81\x5b\x83\x65\x83\x42\x83\x93\x83\x4f\x8f\xea\x8f\x8a"},          // ミーティング場所
    {kIdsColumnMeetingDate, "\x93\xfa\x8e\x9e"},                                   // 日時
    {kIdsColumnMeetingCategory, "\x83\x4a\x83\x65\x83\x53\x83\x8a\x81\x5b"},       // カテゴリー
    {kIdsColumnItem, "Item"},                                                      // Item
    {kIdsColumnReportName, "\x83\x8c\x83\x7c\x81\x5b\x83\x67\x96\xbc"},            // レポート名
    {kIdsColumnReportDate, "\x8d\xec\x90\xac\x93\xfa"},                            // 作成日
    {kIdsColumnReportSize, "\x83\x54\x83\x43\x83\x59(\x83\x6f\x83\x43\x83\x67)"},  // サイズ(バイト)
};

}  // namespace

const char* StringTableText(int id) {
    for (const StringTableEntry& entry : kStringTable) {
        if (entry.id == id) return entry.text;
    }
    return "";
}

}  // namespace tavolex
