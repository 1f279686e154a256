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
};

}  // namespace

const char* StringTableText(int id) {
    for (const StringTableEntry& entry : kStringTable) {
        if (entry.id == id) return entry.text;
    }
    return "";
}

}  // namespace tavolex
