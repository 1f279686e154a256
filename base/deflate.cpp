#include "base/deflate.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace tavolex {
namespace {

constexpr std::size_t kWindow = 32768;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 258;
constexpr int kChain = 24;  // candidates tried per position: most of the gain at a fraction of the time
constexpr int kHashBits = 15;

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                                         33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                                         1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Bits written least significant first, as DEFLATE packs them.
class BitWriter {
public:
    void Put(std::uint32_t bits, int count) {
        buffer_ |= static_cast<std::uint64_t>(bits) << filled_;
        filled_ += count;
        while (filled_ >= 8) {
            out_ += static_cast<char>(buffer_ & 0xFF);
            buffer_ >>= 8;
            filled_ -= 8;
        }
    }
    // A Huffman code goes most significant bit first.
    void PutCode(std::uint32_t code, int length) {
        std::uint32_t reversed = 0;
        for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1U) << (length - 1 - i);
        Put(reversed, length);
    }
    std::string Finish() {
        if (filled_ > 0) out_ += static_cast<char>(buffer_ & 0xFF);
        return std::move(out_);
    }

private:
    std::string out_;
    std::uint64_t buffer_ = 0;
    int filled_ = 0;
};

// The fixed literal/length code of a symbol (0 to 287).
void PutSymbol(BitWriter& w, unsigned symbol) {
    if (symbol < 144) {
        w.PutCode(0x30 + symbol, 8);
    } else if (symbol < 256) {
        w.PutCode(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        w.PutCode(symbol - 256, 7);
    } else {
        w.PutCode(0xC0 + symbol - 280, 8);
    }
}

void PutMatch(BitWriter& w, std::size_t length, std::size_t distance) {
    std::size_t l = kLengthBase.size() - 1;
    while (kLengthBase[l] > length) --l;
    PutSymbol(w, static_cast<unsigned>(257 + l));
    w.Put(static_cast<std::uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
    std::size_t d = kDistanceBase.size() - 1;
    while (kDistanceBase[d] > distance) --d;
    w.PutCode(static_cast<std::uint32_t>(d), 5);
    w.Put(static_cast<std::uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

std::uint32_t HashAt(std::string_view s, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<std::uint32_t>(static_cast<unsigned char>(s[i + k])); };
    return ((b(0) << 16 | b(1) << 8 | b(2)) * 2654435761U) >> (32 - kHashBits);
}

}  // namespace

std::string DeflateRaw(std::string_view data) {
    BitWriter w;
    w.Put(1, 1);  // the final block
    w.Put(1, 2);  // of the fixed codes
    std::vector<std::int64_t> head(std::size_t{1} << kHashBits, -1);
    std::vector<std::int64_t> previous(kWindow, -1);
    const auto insert = [&](std::size_t i) {
        if (i + kMinMatch > data.size()) return;
        const std::uint32_t h = HashAt(data, i);
        previous[i % kWindow] = head[h];
        head[h] = static_cast<std::int64_t>(i);
    };
    for (std::size_t i = 0; i < data.size();) {
        std::size_t bestLength = 0, bestDistance = 0;
        if (i + kMinMatch <= data.size()) {
            const std::size_t limit = std::min(kMaxMatch, data.size() - i);
            std::int64_t candidate = head[HashAt(data, i)];
            for (int tries = 0; tries < kChain && candidate >= 0; ++tries) {
                const auto c = static_cast<std::size_t>(candidate);
                if (i - c > kWindow - 1) break;
                std::size_t length = 0;
                while (length < limit && data[c + length] == data[i + length]) ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = i - c;
                    if (length == limit) break;
                }
                const std::int64_t next = previous[c % kWindow];
                if (next >= candidate) break;  // the slot was taken by a later position
                candidate = next;
            }
        }
        if (bestLength >= kMinMatch) {
            PutMatch(w, bestLength, bestDistance);
            for (std::size_t k = 0; k < bestLength; ++k) insert(i + k);
            i += bestLength;
        } else {
            PutSymbol(w, static_cast<unsigned char>(data[i]));
            insert(i);
            ++i;
        }
    }
    PutSymbol(w, 256);  // the end of the block
    return w.Finish();
}

std::string Base64(std::string_view bytes) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const auto at = [&](std::size_t k) {
            return i + k < bytes.size() ? static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + k])) : 0U;
        };
        const std::uint32_t n = at(0) << 16 | at(1) << 8 | at(2);
        out += kDigits[(n >> 18) & 63];
        out += kDigits[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? kDigits[(n >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kDigits[n & 63] : '=';
    }
    return out;
}

}  // namespace tavolex
