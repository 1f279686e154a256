#pragma once
// Texts of the shell that are not looked up elsewhere: the vendor's addresses, the version, and
// the string-table texts the settings steps show. CP932.

namespace tavolex {

// The vendor's pages: help when none is installed, support, and where to get Palm Desktop.
inline constexpr char kVendorHelpAddress[] = "https://www.brenmark.example/tavolex/help/";
inline constexpr char kVendorSupportAddress[] = "https://www.brenmark.example/support/";
inline constexpr char kPalmDesktopDownloadAddress[] = "https://www.brenmark.example/palm-desktop/";

// String 129.
inline constexpr char kProgramVersion[] = "2.7.1";
// String 130, "ご使用ありがとうございます".
inline constexpr char kFirstRunCaption[] =
    "\x82\xb2\x8e\x67\x97\x70\x82\xa0\x82\xe8\x82\xaa\x82\xc6\x82\xa4\x82\xb2\x82\xb4\x82\xa2\x82\xdc\x82\xb7";
// String 206, "まだハンドヘルドを同期（Hotsync）させてない場合は、今すぐ同期させ、インストールを完了してください。".
inline constexpr char kFirstRunText[] =
    "\x82\xdc\x82\xbe\x83\x6e\x83\x93\x83\x68\x83\x77\x83\x8b\x83\x68\x82\xf0\x93\xaf\x8a\xfa\x81\x69"
    "Hotsync"
    "\x81\x6a\x82\xb3\x82\xb9\x82\xc4\x82\xc8\x82\xa2\x8f\xea\x8d\x87\x82\xcd\x81\x41\x8d\xa1\x82\xb7\x82\xae"
    "\x93\xaf\x8a\xfa\x82\xb3\x82\xb9\x81\x41\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5b\x83\x8b\x82\xf0\x8a\xae"
    "\x97\xb9\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42";
// String 218, "クイックビュー".
inline constexpr char kQuickViewTitle[] = "\x83\x4e\x83\x43\x83\x62\x83\x4e\x83\x72\x83\x85\x81\x5b";

}  // namespace tavolex
