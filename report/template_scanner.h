#pragma once
// The template language's syntax: finds "{ TOKEN }" in a template, asks HandleToken what each token
// does, and carries out the answer. It never decides what a token writes; the report generator does.
// Texts are Shift-JIS bytes: a double-byte character is one character, so its second byte is never
// taken for a brace or an RTF backslash.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavolex {

enum class TokenAction : int {
    Consumed = 0,
    LoopStart = 1,
    LoopExit = 2,
    LoopRepeat = 3,
    OutputOff = 4,
    OutputOn = 5,
    NotRecognised = -1,
};

enum class ExpansionMode : int {
    Rtf = 1,
    Html = 2,
};

inline constexpr std::size_t kTokenTextSize = 256;
inline constexpr int kLoopStackDepth = 10;
// The largest report, in bytes; the output buffers of the generator have this size.
inline constexpr std::size_t kReportCapacity = 819200;

// Spans [begin, end) of a text, in order and not overlapping.
using InsertedSpans = std::vector<std::pair<std::size_t, std::size_t>>;

class TemplateScanner {
public:
    TemplateScanner();
    virtual ~TemplateScanner();
    TemplateScanner(const TemplateScanner&) = delete;
    TemplateScanner& operator=(const TemplateScanner&) = delete;

    // Expands the template into output and ends it with a NUL. The text stops one byte short of the
    // capacity so the NUL always fits. Returns the number of bytes written before the NUL.
    std::size_t ExpandTemplate(std::span<const char> templ, char* output, std::size_t capacity);

    // What the token in TokenText() does. The base class consumes every token.
    virtual TokenAction HandleToken() { return TokenAction::Consumed; }

    // The id of the first table row matching TokenText(), or -1; fills the two parameters.
    int LookupToken();

    // Appends text while the output switch is on. At the capacity the text is cut after its last
    // whole character and the output is full: nothing more is written and scanning ends.
    void WriteText(std::string_view text);
    // Writes lines first..last of a multi-line value (line 1 starts with a blank), with TAB and LF
    // written as the mode's markup.
    void WriteLines(std::string_view text, int first, int last);

    [[nodiscard]] const char* TokenText() const;
    [[nodiscard]] const char* Parameter1() const { return parameter1_.data(); }
    [[nodiscard]] const char* Parameter2() const { return parameter2_.data(); }

    // Whether an expansion keeps the template compiled for the next expansion of the same text (on at
    // first). Off, every expansion reads its template as it goes: for a template expanded only once.
    void SetCompiling(bool on) { compiling_ = on; }

    [[nodiscard]] ExpansionMode Mode() const { return mode_; }
    void SetMode(ExpansionMode mode) { mode_ = mode; }
    [[nodiscard]] bool OutputOn() const { return outputOn_; }
    void SetOutputOn(bool on) { outputOn_ = on; }
    // Empties the loop-position stack; each report starts with it empty.
    void ResetLoops() { loopDepth_ = 0; }
    [[nodiscard]] int LoopDepth() const { return loopDepth_; }
    // Whether the last expansion filled its output (the report was cut short).
    [[nodiscard]] bool OutputFull() const { return outputFull_; }
    // The output of the last expansion that tokens wrote, as [begin, end) offsets in order: what
    // the template's own bytes did not put there (the meeting's texts among it).
    [[nodiscard]] const InsertedSpans& TokenSpans() const { return tokenSpans_; }

private:
    struct CompiledTemplate;
    struct CompiledToken;

    // The template read once for the current mode: kept for the next expansion of the same text,
    // since a report folder expands one template for meeting after meeting. Null for a template too
    // large to keep.
    const CompiledTemplate* Compiled();
    // Expands from inputPos_ with the compiled template while the scan allowance covers its pieces;
    // returns the allowance left.
    std::size_t ExpandCompiled(const CompiledTemplate& compiled, std::size_t budget);
    // Length of the token starting at input position pos (RTF backslash, braces included), or 0.
    std::size_t TokenAt(std::size_t pos);
    // Length of the template's own text from input position pos: at least one character.
    [[nodiscard]] std::size_t LiteralRun(std::size_t pos, std::size_t budget) const;
    void Act(TokenAction action, std::size_t tokenStart, std::size_t tokenEnd);
    // Records what a token handler wrote since begin as token output.
    void NoteTokenOutput(std::size_t begin);
    void Put(const char* bytes, std::size_t n);
    // LookupToken without its memo: the table's answer for TokenText().
    int MatchToken();

    // A token text and what the table answered for it.
    struct TokenMemo {
        bool filled = false;
        std::string text;
        int id = -1;
        std::string parameter1;
        std::string parameter2;
    };

    std::span<const char> input_;
    std::size_t inputPos_ = 0;
    char* output_ = nullptr;
    std::size_t outputPos_ = 0;
    std::size_t outputLimit_ = 0;
    bool outputFull_ = false;  // a write reached the capacity; scanning ends and nothing more is written
    InsertedSpans tokenSpans_;

    std::array<char, kTokenTextSize> tokenText_{};
    std::size_t tokenLength_ = 0;  // bytes of tokenText_ before its closing NUL
    std::array<TokenMemo, 64> tokenMemo_{};
    std::vector<std::unique_ptr<CompiledTemplate>> compiled_;
    std::size_t nextEvicted_ = 0;
    bool compiling_ = true;
    const CompiledToken* currentToken_ = nullptr;  // the compiled token being handled, if any
    std::array<char, kTokenTextSize> parameter1_{};
    std::array<char, kTokenTextSize> parameter2_{};
    bool outputOn_ = true;
    ExpansionMode mode_ = ExpansionMode::Html;
    std::array<std::size_t, kLoopStackDepth> loopStack_{};
    int loopDepth_ = 0;
};

}  // namespace tavolex
