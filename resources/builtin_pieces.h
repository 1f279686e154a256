#pragma once
// The built-in HTML report pieces: template text in code page 932 with CR LF line ends, from which
// the built-in writer composes the executive, agenda and custom reports. The pieces are part of
// the program's own image (HTML resources on Windows, bytes compiled in elsewhere): they are never
// copied, never NUL-terminated, and stay valid for the whole run.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tavolex {

// Ids of the pieces the report kinds are composed of.
inline constexpr int kPieceAgendas = 219;         // agenda section with discussed/open bullets
inline constexpr int kPieceReportHead = 220;      // head of the executive and custom reports
inline constexpr int kPiecePageEnd = 221;         // end of the executive and custom reports
inline constexpr int kPieceToDos = 223;           // to-do section
inline constexpr int kPieceNotes = 224;           // note section
inline constexpr int kPieceSketches = 225;        // sketch section
inline constexpr int kPieceAttendeesStart = 226;  // attendee section up to the name line
inline constexpr int kPieceFirstName = 227;
inline constexpr int kPieceCompanyLine = 236;
inline constexpr int kPieceAttendeesEnd = 244;
inline constexpr int kPieceLastName = 245;
inline constexpr int kPieceTitleLine = 246;
inline constexpr int kPieceNameLineEnd = 247;
inline constexpr int kPieceAgendaReportBody = 248;  // heading end to page end of the agenda report
inline constexpr int kPieceAgendaReportHead = 249;
inline constexpr int kPieceAuthor = 251;
inline constexpr int kPieceMeetingTable = 252;  // heading end and the meeting table

inline constexpr std::size_t kBuiltInPieceCount = 33;

// Every piece, in the order the generator loads them. There is no piece 250.
inline constexpr std::array<int, kBuiltInPieceCount> kBuiltInPieceOrder = {
    249, 251, 248, 220, 252, 221, 222, 219, 223, 224, 225, 242, 243, 236, 230, 232, 233,
    234, 235, 244, 226, 247, 227, 245, 246, 231, 237, 238, 239, 240, 241, 228, 229};

// The bytes of piece `id`; empty for an id that is not one of kBuiltInPieceOrder.
[[nodiscard]] std::span<const std::uint8_t> BuiltInPiece(int id);

// All pieces, found once when the generator is created and kept by id.
class BuiltInPieces {
public:
    BuiltInPieces();

    // The bytes of piece `id`; empty for an id that is not a piece.
    [[nodiscard]] std::span<const std::uint8_t> Get(int id) const;

private:
    std::array<std::span<const std::uint8_t>, kBuiltInPieceCount> pieces_;  // by loading order
};

}  // namespace tavolex
