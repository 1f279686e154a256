#include "report/template_scanner.h"

#include "base/fnv1a.h"
#include "base/shift_jis.h"
#include "report/token_table.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace tavolex {
namespace {

// A '}' must lie fewer than this many bytes after the token's first byte.
constexpr std::size_t kTokenReach = 255;

// However its loops are arranged, an expansion examines at most this many template bytes beyond
// the template's own size; a template that would loop for ever ends there.
constexpr std::size_t kScanAllowance = 64u * 1024 * 1024;

// Compiled templates kept per scanner: a built-in report expands a dozen pieces for every meeting.
constexpr std::size_t kCompiledTemplates = 32;
// A larger template is scanned as it is read, without a compiled copy.
constexpr std::size_t kLargestCompiledTemplate = 16u * 1024 * 1024;

constexpr std::uint8_t Byte(char c) { return static_cast<std::uint8_t>(c); }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* SkipSpaces(const char* p) {
    while (*p == ' ') ++p;
    return p;
}

const char* SkipBlanks(const char* p) {
    while (IsBlank(*p)) ++p;
    return p;
}

// The first byte of each table row's name (after its leading spaces), to pass over rows quickly.
constexpr std::array<char, kTokenTable.size()> FirstLetters() {
    std::array<char, kTokenTable.size()> letters{};
    for (std::size_t i = 0; i < kTokenTable.size(); ++i) letters[i] = kTokenTable[i].name[0];
    return letters;
}
constexpr std::array<char, kTokenTable.size()> kFirstLetters = FirstLetters();

// True when none of the eight bytes at p is a brace, the stop byte or outside ASCII, so none of
// them ends a run of literal text or starts a double-byte character.
bool PlainWord(const std::uint8_t* p, std::uint8_t stop) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighs = 0x8080808080808080u;
    std::uint64_t word = 0;
    std::memcpy(&word, p, sizeof word);
    const auto holds = [&](std::uint8_t b) {
        const std::uint64_t x = word ^ (kOnes * b);
        return ((x - kOnes) & ~x & kHighs) != 0;
    };
    return (word & kHighs) == 0 && !holds('{') && !holds(stop);
}

// Copies n bytes; a short text (most pieces between tokens, most token values) in two fixed-size
// copies that may overlap, without a library call.
void CopyBytes(char* to, const char* from, std::size_t n) {
    if (n >= 8 && n <= 16) {
        std::uint64_t head = 0;
        std::uint64_t tail = 0;
        std::memcpy(&head, from, 8);
        std::memcpy(&tail, from + n - 8, 8);
        std::memcpy(to, &head, 8);
        std::memcpy(to + n - 8, &tail, 8);
    } else if (n < 8) {
        for (std::size_t i = 0; i < n; ++i) to[i] = from[i];
    } else {
        std::memcpy(to, from, n);
    }
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Matches one row; on success the parameters hold what the row's "?" captured.
bool MatchRow(const char* name, const char* token, std::array<char, kTokenTextSize>& p1,
              std::array<char, kTokenTextSize>& p2) {
    p1[0] = '\0';
    p2[0] = '\0';
    int captured = 0;
    const char* n = SkipSpaces(name);
    const char* t = SkipSpaces(token);
    for (;;) {
        if (*n == '\0' || *t == '\0') return *n == '\0' && *t == '\0';
        if (Upper(*t) != *n) return false;
        ++n;
        ++t;
        n = SkipBlanks(n);
        t = SkipBlanks(t);
        if (*n != '?') continue;
        ++n;
        std::array<char, kTokenTextSize>& param = captured++ == 0 ? p1 : p2;
        std::size_t k = 0;
        while (*t != '\0' && *t != ',' && *t != ')') {
            if (k + 1 < param.size()) param[k++] = *t;
            ++t;
        }
        param[k] = '\0';
    }
}

}  // namespace

// A token of a compiled template: its text as the scanner reads it, NULs included, and the table's
// answer for it.
struct TemplateScanner::CompiledToken {
    std::string text;
    int id = -1;
    std::string parameter1;
    std::string parameter2;
};

// A template as one expansion in one mode passes through it: runs of its own text and tokens, in
// order. Any place an expansion reaches is the start of a piece: it goes on after a run or a token,
// or goes back to the end of a loop's first token.
struct TemplateScanner::CompiledTemplate {
    struct Piece {
        std::size_t start;
        std::size_t length;
        std::int32_t token;  // index into tokens, or -1 for the template's own text
    };
    ExpansionMode mode;
    std::string text;
    std::vector<Piece> pieces;
    std::vector<CompiledToken> tokens;
};

TemplateScanner::TemplateScanner() = default;
TemplateScanner::~TemplateScanner() = default;

const TemplateScanner::CompiledTemplate* TemplateScanner::Compiled() {
    const std::string_view text(input_.data(), input_.size());
    if (!compiling_ || text.size() > kLargestCompiledTemplate) return nullptr;
    for (const auto& kept : compiled_) {
        if (kept->mode == mode_ && kept->text == text) return kept.get();
    }
    auto compiled = std::make_unique<CompiledTemplate>();
    compiled->mode = mode_;
    compiled->text = std::string(text);
    auto& pieces = compiled->pieces;
    std::unordered_map<std::string, std::int32_t> tokenIndexes;
    for (std::size_t pos = 0; pos < text.size();) {
        if (const std::size_t length = TokenAt(pos)) {
            std::string tokenText(tokenText_.data(), tokenLength_);
            const auto [at, added] =
                tokenIndexes.try_emplace(tokenText, static_cast<std::int32_t>(compiled->tokens.size()));
            if (added) {
                const int id = MatchToken();
                compiled->tokens.push_back({std::move(tokenText), id, parameter1_.data(), parameter2_.data()});
            }
            pieces.push_back({pos, length, at->second});
            pos += length;
            continue;
        }
        // Neighbouring runs (a brace that opens no token, an RTF control word) make one piece.
        const std::size_t run = LiteralRun(pos, text.size());
        if (!pieces.empty() && pieces.back().token < 0) {
            pieces.back().length += run;
        } else {
            pieces.push_back({pos, run, -1});
        }
        pos += run;
    }
    const CompiledTemplate* made = compiled.get();
    if (compiled_.size() < kCompiledTemplates) {
        compiled_.push_back(std::move(compiled));
    } else {
        compiled_[nextEvicted_++ % kCompiledTemplates] = std::move(compiled);
    }
    return made;
}

std::size_t TemplateScanner::ExpandCompiled(const CompiledTemplate& compiled, std::size_t budget) {
    const auto& pieces = compiled.pieces;
    const CompiledToken* lastToken = nullptr;
    std::size_t i = 0;
    while (i < pieces.size() && !outputFull_ && budget > 0) {
        const CompiledTemplate::Piece& piece = pieces[i];
        const std::size_t end = piece.start + piece.length;
        if (piece.token < 0) {
            // Where the allowance ends inside a run, the scan goes on byte by byte, as it stops there.
            if (piece.length > budget) break;
            if (outputOn_) Put(input_.data() + piece.start, piece.length);
            inputPos_ = end;
            budget -= piece.length;
            ++i;
            continue;
        }
        // The handler reads the token's text and answer from the compiled token.
        const CompiledToken& token = compiled.tokens[static_cast<std::size_t>(piece.token)];
        lastToken = &token;
        currentToken_ = &token;
        const std::size_t written = outputPos_;
        const TokenAction action = HandleToken();
        currentToken_ = nullptr;
        NoteTokenOutput(written);
        inputPos_ = end;
        Act(action, piece.start, end);
        budget -= std::min(budget, piece.length);
        if (inputPos_ == end) {
            ++i;
            continue;
        }
        // A loop went back: on from the piece starting there.
        const auto back =
            std::lower_bound(pieces.begin(), pieces.end(), inputPos_,
                             [](const CompiledTemplate::Piece& p, std::size_t pos) { return p.start < pos; });
        if (back == pieces.end() || back->start != inputPos_) break;
        i = static_cast<std::size_t>(back - pieces.begin());
    }
    // The last token's text stays readable after the expansion, as the scanner leaves it.
    if (lastToken != nullptr) {
        std::memcpy(tokenText_.data(), lastToken->text.data(), lastToken->text.size());
        tokenText_[lastToken->text.size()] = '\0';
        tokenLength_ = lastToken->text.size();
    }
    return budget;
}

const char* TemplateScanner::TokenText() const {
    return currentToken_ != nullptr ? currentToken_->text.c_str() : tokenText_.data();
}

namespace {

// Copies a short C string held by a compiled token; most tokens have no parameters.
void CopyParameter(const std::string& from, std::array<char, kTokenTextSize>& to) {
    if (from.empty()) {
        to[0] = '\0';
    } else {
        std::memcpy(to.data(), from.c_str(), from.size() + 1);
    }
}

}  // namespace

std::size_t TemplateScanner::ExpandTemplate(std::span<const char> templ, char* output, std::size_t capacity) {
    input_ = templ;
    inputPos_ = 0;
    output_ = output;
    outputPos_ = 0;
    const CompiledTemplate* compiled = output != nullptr && capacity > 0 ? Compiled() : nullptr;
    tokenText_[0] = '\0';
    tokenLength_ = 0;
    parameter1_[0] = '\0';
    parameter2_[0] = '\0';
    if (output == nullptr || capacity == 0) return 0;
    outputLimit_ = capacity - 1;
    outputFull_ = false;
    tokenSpans_.clear();

    const std::size_t size = input_.size();
    std::size_t budget = size + kScanAllowance;
    if (compiled != nullptr) budget = ExpandCompiled(*compiled, budget);
    // A template too large to compile, or the end of the allowance, is scanned as it is read.
    while (inputPos_ < size && !outputFull_ && budget > 0) {
        const std::size_t start = inputPos_;
        if (const std::size_t length = TokenAt(start)) {
            const std::size_t written = outputPos_;
            const TokenAction action = HandleToken();
            NoteTokenOutput(written);
            inputPos_ = start + length;
            Act(action, start, start + length);
            budget -= std::min(budget, length);
            continue;
        }
        // The template's own text up to the next place a token may start goes out in one copy.
        const std::size_t run = LiteralRun(start, budget);
        if (outputOn_) {
            Put(input_.data() + start, run);
        }
        inputPos_ += run;
        budget -= std::min(budget, run);
    }
    output_[outputPos_] = '\0';
    return outputPos_;
}

std::size_t TemplateScanner::LiteralRun(std::size_t pos, std::size_t budget) const {
    // Whole characters from pos (which is not a token) up to the next byte that may open one: a
    // brace, or in RTF a backslash. A double-byte character's second byte never stops the run.
    // The run stops where the scan allowance would, after the character that reaches it.
    const std::size_t size = input_.size();
    const std::size_t limit = size - pos > budget ? pos + budget : size;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(input_.data());
    const std::uint8_t stop = mode_ == ExpansionMode::Rtf ? '\\' : '{';
    std::size_t q = pos + (IsCp932LeadByte(bytes[pos]) && pos + 1 < size ? 2 : 1);
    while (q < limit) {
        while (q + 8 <= limit && PlainWord(bytes + q, stop)) q += 8;
        if (q >= limit || bytes[q] == '{' || bytes[q] == stop) break;
        q += IsCp932LeadByte(bytes[q]) && q + 1 < size ? 2 : 1;
    }
    return q - pos;
}

std::size_t TemplateScanner::TokenAt(std::size_t pos) {
    const std::size_t size = input_.size();
    std::size_t p = pos;
    if (mode_ == ExpansionMode::Rtf && input_[p] == '\\') ++p;
    if (p >= size || input_[p] != '{') return 0;
    std::size_t k = 0;
    bool lastWasSingle = false;
    for (std::size_t q = p + 1; q < size && q - pos < kTokenReach; ++q) {
        const char c = input_[q];
        if (c == '{') return 0;
        if (c == '}') {
            if (mode_ == ExpansionMode::Rtf && lastWasSingle && tokenText_[k - 1] == '\\') --k;
            tokenText_[k] = '\0';
            tokenLength_ = k;
            return q + 1 - pos;
        }
        tokenText_[k++] = c;
        lastWasSingle = true;
        if (IsCp932LeadByte(Byte(c)) && q + 1 < size) {
            tokenText_[k++] = input_[++q];
            lastWasSingle = false;
        }
    }
    return 0;
}

void TemplateScanner::Act(TokenAction action, std::size_t tokenStart, std::size_t tokenEnd) {
    switch (action) {
        case TokenAction::Consumed: break;
        case TokenAction::LoopStart:
            if (loopDepth_ < kLoopStackDepth) loopStack_[loopDepth_++] = tokenEnd;
            break;
        case TokenAction::LoopExit:
            if (loopDepth_ > 0) --loopDepth_;
            break;
        case TokenAction::LoopRepeat: inputPos_ = loopDepth_ > 0 ? loopStack_[loopDepth_ - 1] : 0; break;
        case TokenAction::OutputOff: outputOn_ = false; break;
        case TokenAction::OutputOn: outputOn_ = true; break;
        case TokenAction::NotRecognised:
            outputOn_ = true;
            Put(input_.data() + tokenStart, tokenEnd - tokenStart);
            break;
    }
}

void TemplateScanner::NoteTokenOutput(std::size_t begin) {
    if (outputPos_ == begin) return;
    if (!tokenSpans_.empty() && tokenSpans_.back().second == begin) {
        tokenSpans_.back().second = outputPos_;
    } else {
        tokenSpans_.emplace_back(begin, outputPos_);
    }
}

int TemplateScanner::LookupToken() {
    if (currentToken_ != nullptr) {
        CopyParameter(currentToken_->parameter1, parameter1_);
        CopyParameter(currentToken_->parameter2, parameter2_);
        return currentToken_->id;
    }
    // A template repeats its tokens (in loops, and page after page): the answer for a token text
    // is kept, since it depends on that text alone.
    // The key is the whole token text, a NUL in it and what follows included: the table reads
    // only up to the NUL, so equal keys always get equal answers.
    const std::string_view text(tokenText_.data(), tokenLength_);
    const std::uint32_t hash = Fnv1a32(text);
    // Up to four neighbouring slots hold a text, so a few texts meeting in one slot still stay.
    constexpr std::size_t kProbes = 4;
    TokenMemo* free = nullptr;
    for (std::size_t probe = 0; probe < kProbes; ++probe) {
        TokenMemo& memo = tokenMemo_[(hash + probe) % tokenMemo_.size()];
        if (!memo.filled) {
            if (free == nullptr) free = &memo;
            continue;
        }
        if (memo.text != text) continue;
        std::memcpy(parameter1_.data(), memo.parameter1.c_str(), memo.parameter1.size() + 1);
        std::memcpy(parameter2_.data(), memo.parameter2.c_str(), memo.parameter2.size() + 1);
        return memo.id;
    }
    const int id = MatchToken();
    TokenMemo& memo = free != nullptr ? *free : tokenMemo_[hash % tokenMemo_.size()];
    memo = {true, std::string(text), id, parameter1_.data(), parameter2_.data()};
    return id;
}

int TemplateScanner::MatchToken() {
    const char first = Upper(*SkipSpaces(tokenText_.data()));
    for (std::size_t i = 0; i < kTokenTable.size(); ++i) {
        if (kFirstLetters[i] != first) continue;
        if (MatchRow(kTokenTable[i].name, tokenText_.data(), parameter1_, parameter2_)) return kTokenTable[i].id;
    }
    parameter1_[0] = '\0';
    parameter2_[0] = '\0';
    return -1;
}

void TemplateScanner::Put(const char* bytes, std::size_t n) {
    // An empty text may have no bytes at all (a null data pointer): nothing to copy.
    if (!outputOn_ || output_ == nullptr || n == 0 || outputFull_) return;
    const std::size_t room = outputLimit_ - outputPos_;
    if (n >= room) {
        // The report is full: keep the whole characters that fit and write nothing after them,
        // not even a single byte that would still fit after a character that did not.
        n = Cp932FitLength(std::string_view(bytes, n), room);
        outputFull_ = true;
    }
    CopyBytes(output_ + outputPos_, bytes, n);
    outputPos_ += n;
}

void TemplateScanner::WriteText(std::string_view text) { Put(text.data(), text.size()); }

void TemplateScanner::WriteLines(std::string_view text, int first, int last) {
    if (!outputOn_) return;
    const bool html = mode_ == ExpansionMode::Html;
    const std::string_view tab = html ? "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;" : " \\tab ";
    const std::string_view lineBreak = html ? "<br>" : " \\line ";
    int line = 1;
    if (line >= first && line <= last) WriteText(" ");  // line 1 always starts with a blank
    std::size_t runStart = 0;
    auto flush = [&](std::size_t end) {
        if (line >= first && end > runStart) WriteText(text.substr(runStart, end - runStart));
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\n' && c != '\t') continue;
        flush(i);
        runStart = i + 1;
        if (c == '\n') ++line;
        if (line > last) return;
        if (line < first) continue;
        WriteText(c == '\n' ? lineBreak : tab);
    }
    flush(text.size());
}

}  // namespace tavolex
