#pragma once
// Status codes of whole-file loads, shared by the meeting store and the address book reader.

#include <cstdint>

namespace tavolex {

using LoadStatus = std::int32_t;

inline constexpr LoadStatus kStatusOk = 0;
inline constexpr LoadStatus kStatusOutOfMemory = 4354;
inline constexpr LoadStatus kStatusEndOfFile = 4375;
inline constexpr LoadStatus kStatusReadFailure = 4376;
inline constexpr LoadStatus kStatusShortRead = 4377;
inline constexpr LoadStatus kStatusCannotOpen = 4378;
inline constexpr LoadStatus kStatusBadHeader = 4380;
inline constexpr LoadStatus kStatusBadAppInfo = 4381;
inline constexpr LoadStatus kStatusBadSortInfo = 4382;
inline constexpr LoadStatus kStatusBadRecordHeader = 4383;

// The largest number of records of one type, and the size of the record buffer.
inline constexpr std::int32_t kMaxRecords = 65520;
inline constexpr std::int32_t kRecordBufferSize = 65520;

}  // namespace tavolex
