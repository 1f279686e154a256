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

// The text of entry id; "" for an id the table does not hold. Never null; the text lives for the
// whole run.
[[nodiscard]] const char* StringTableText(int id);

}  // namespace tavolex
