#pragma once
// The command line on Windows: its arguments as UTF-8 (from the wide command line, whatever the
// code page), and standard output and error through the console's wide-character output when they
// are a console, so Japanese shows whatever the console's code page; into a pipe or a file they
// stay the UTF-8 bytes they are on Linux.

#include <windows.h>

#include <streambuf>
#include <string>
#include <vector>

namespace tavolex::cli {

// The program's arguments, the program's name first, in UTF-8.
[[nodiscard]] std::vector<std::string> Utf8Arguments();

// Whether the handle is a console (not a pipe or a file).
[[nodiscard]] bool IsConsole(HANDLE handle);

// A stream buffer that writes UTF-8 text to a console as wide characters: whole lines (or 4 KiB)
// at a time, a character cut between two writes kept until its last byte comes.
class ConsoleBuffer final : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}
    ~ConsoleBuffer() override { Write(); }
    ConsoleBuffer(const ConsoleBuffer&) = delete;
    ConsoleBuffer& operator=(const ConsoleBuffer&) = delete;

protected:
    int overflow(int c) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;
    int sync() override;

private:
    void Write();

    HANDLE console_;
    std::string pending_;
};

}  // namespace tavolex::cli
