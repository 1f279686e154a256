#pragma once
// One person of Palm Desktop's address book, as the reports and panes print an attendee. Texts
// are code page 932, NUL-terminated, cut to their field at a character boundary.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tavolex {

inline constexpr int kAddressPhoneCount = 5;
inline constexpr int kAddressCustomCount = 4;

struct AddressPhone {
    char szPhoneLabel[64] = {};  // the label text of the phone's label index; "" when it has none
    char szPhone[64] = {};
};

struct Address {
    std::int32_t dwRecordID = 0;
    char szLastName[256] = {};
    char szFirstName[256] = {};
    char szTitle[256] = {};
    char szCompany[256] = {};
    AddressPhone phones[kAddressPhoneCount] = {};  // phone 1 first
    char szAddress[256] = {};
    char szCity[256] = {};
    char szState[256] = {};
    char szZip[64] = {};
    char szCountry[256] = {};
    char szNote[4096] = {};
    char szCustom[kAddressCustomCount][256] = {};
    std::int32_t dwCategoryID = 0;  // the id of its category in the book's category list

    [[nodiscard]] std::int32_t RecordId() const { return dwRecordID; }
    [[nodiscard]] std::string_view LastName() const { return szLastName; }
    [[nodiscard]] std::string_view FirstName() const { return szFirstName; }
    [[nodiscard]] std::string_view Title() const { return szTitle; }
    [[nodiscard]] std::string_view Company() const { return szCompany; }
    // number 1 ... 5; any other number gives "".
    [[nodiscard]] std::string_view PhoneLabel(int number) const {
        return number >= 1 && number <= kAddressPhoneCount ? phones[number - 1].szPhoneLabel : "";
    }
    [[nodiscard]] std::string_view Phone(int number) const {
        return number >= 1 && number <= kAddressPhoneCount ? phones[number - 1].szPhone : "";
    }
    // The address line (szAddress).
    [[nodiscard]] std::string_view Street() const { return szAddress; }
    [[nodiscard]] std::string_view City() const { return szCity; }
    [[nodiscard]] std::string_view State() const { return szState; }
    [[nodiscard]] std::string_view Zip() const { return szZip; }
    [[nodiscard]] std::string_view Country() const { return szCountry; }
    [[nodiscard]] std::string_view Note() const { return szNote; }
    // number 1 ... 4; any other number gives "".
    [[nodiscard]] std::string_view Custom(int number) const {
        return number >= 1 && number <= kAddressCustomCount ? szCustom[number - 1] : "";
    }
};

}  // namespace tavolex
