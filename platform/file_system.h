#pragma once
// Files by std::filesystem::path on both platforms (wide names on Windows), the replacement of a
// file by a finished copy, and the conversion of Shift-JIS path texts to paths.
//
// Every file written under a temporary name and then renamed into place is created here, by
// CreateNewFile: a name that exists is never opened, so a file or symbolic link someone placed at
// the temporary name is neither followed nor written over.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace tavolex::platform {

// The separator the platform writes between a path's folders.
#ifdef _WIN32
inline constexpr char kFolderSeparator = '\\';
#else
inline constexpr char kFolderSeparator = '/';
#endif

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// The entry of parent called name without regard to ASCII letter case: parent/name when that
// exists or nothing matches. Files copied from Windows keep whatever case they were written in.
std::filesystem::path FindEntryAnyCase(const std::filesystem::path& parent, std::string_view name);

// fopen with a path; null when the file can't be opened.
UniqueFile OpenFile(const std::filesystem::path& path, const char* mode);

// Gives a file open for writing a 64 KiB buffer of the calling thread's own, so a file of up to that
// size goes out in one write, not one per 4 KiB. A thread writes one such file at a time: it closes
// the file before it gives the buffer to the next.
void UseThreadWriteBuffer(std::FILE* file);

// Writes the file's buffered data and asks the system to put it on the disk. False on failure.
bool FlushToDisk(std::FILE* file);

// Moves `from` over `to` in one step, replacing `to` when it exists. False on failure, with both
// files as they were.
bool MoveFileOver(const std::filesystem::path& from, const std::filesystem::path& to);

// Creates path as a new, empty file open for writing ("wb"), only when nothing has that name: an
// existing file, and a symbolic link whether or not it leads anywhere, make it fail. The file's
// permissions are a new file's (POSIX: 0666 less the umask). Null on failure, with error saying why.
UniqueFile CreateNewFile(const std::filesystem::path& path, std::error_code& error);

// A new temporary file beside target, made by CreateNewFile: "<name>.partial", or when that name is
// taken, "<name>.<process id>.<n>.partial". temp receives the name. Null on failure.
UniqueFile CreateTemporaryFor(const std::filesystem::path& target, std::filesystem::path& temp, std::error_code& error);

// Puts a finished temporary file, closed and already on the disk, in target's place: renamed over
// target (never over a folder or a device: NotReplaceable), and on POSIX the folder synced so the
// new name outlives a crash. On failure the temporary
// is removed, target is as it was, and the result says why.
std::error_code PutInPlace(const std::filesystem::path& temp, const std::filesystem::path& target);

// Flushes the temporary file to the disk, closes it and puts it in place (PutInPlace). On failure
// the temporary is removed, target is as it was, and the result says why.
std::error_code CommitTemporaryFile(UniqueFile file, const std::filesystem::path& temp,
                                    const std::filesystem::path& target);

// Why target can't be replaced by a file: it is a folder, or something else that is neither a file
// nor a link (a device, a pipe). Nothing when it is one of those or absent.
std::error_code NotReplaceable(const std::filesystem::path& target);

// Puts a finished temporary file, closed, in target's place without the flushes PutInPlace does:
// for folders of many files written at once (an archive, a vault, a dump's pictures), where a run
// that fails part-way is simply run again. A link at target, or a file with other hard links, is
// replaced, never written through. On failure the temporary is removed and target is as it was.
std::error_code MoveInPlace(const std::filesystem::path& temp, const std::filesystem::path& target);

// Writes bytes as target's new content through a new temporary file moved in place (MoveInPlace),
// never through the name target already has. On failure target is as it was, and the result says why.
std::error_code ReplaceFileContent(const std::filesystem::path& target, std::string_view bytes);

// The user's documents folder. Windows: the Documents known folder. POSIX: $XDG_DOCUMENTS_DIR, else
// the folder user-dirs.dirs of the configuration folder names for it, else ~/Documents. Empty when
// none can be told.
std::filesystem::path DocumentsFolder();

// A path from a CP932 path text; '\' and '/' both separate (a double-byte character whose second
// byte is 0x5C is a character, not a separator).
std::filesystem::path PathFromCp932(std::string_view text);
// The file a CP932 path text that starts at a drive's root names ("C:\pics\bg.jpg", "c:/a.gif"):
// on Windows that file; on POSIX, where no drive names a folder, nothing. Nothing either for a
// text that does not start with an ASCII letter, a colon and a separator.
std::optional<std::filesystem::path> PathOnDrive(std::string_view text);
// A path from a CP932 text in the platform's own form, as a stored folder holds it: Windows as
// PathFromCp932; POSIX the text converted alone, its separators already '/' and a '\' a character
// of a name.
std::filesystem::path PathFromNativeCp932(std::string_view text);
// The CP932 text of a path.
std::string PathToCp932(const std::filesystem::path& path);
// The text of a path as the trace writes it: CP932 on Windows, the file system's own bytes elsewhere.
std::string PathTraceText(const std::filesystem::path& path);

// A path text without the '\\' and '/' that end it; a text of separators alone keeps its first (a
// root stays a root). Bytes, not characters: for names read back from settings and the user list.
std::string WithoutTrailingSeparators(std::string_view text);
// The path without its last separator when it ends in one ("a/b/" is "a/b").
std::filesystem::path WithoutTrailingSeparator(const std::filesystem::path& path);
// The UTF-8 text of a path, for messages: every character kept.
std::string PathToUtf8(const std::filesystem::path& path);

}  // namespace tavolex::platform
