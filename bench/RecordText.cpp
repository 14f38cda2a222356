#include "RecordText.h"

#include <array>
#include <string_view>

namespace karune::bench {
namespace {

// CP932: テスト, 商品, 東京, ｱｲｳ, ﾃﾞｰﾀ, 在庫数.
constexpr std::array<std::string_view, 6> kNames = {
    "\x83\x65\x83\x58\x83\x67", "\x8f\xa4\x95\x69",         "\x93\x8c\x8b\x9e", "\xb1\xb2\xb3",
    "\xc3\xde\xb0\xc0",         "\x8d\xdd\x8c\xc9\x90\x94",
};

}  // namespace

std::uint32_t RecordText::next() {
    // xorshift32: plenty for varied test text, and the same on every platform.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

void RecordText::appendDigits(int count, std::string& out) {
    for (int i = 0; i < count; ++i)
        out.push_back(static_cast<char>('0' + next() % 10));
}

void RecordText::appendLine(int fields, std::string& out) {
    for (int f = 0; f < fields; ++f) {
        if (f > 0)
            out.push_back(',');
        const std::uint32_t kind = next() % 16;
        if (kind == 0)
            continue;  // an empty field
        if (kind < 7) {
            appendDigits(1 + static_cast<int>(next() % 6), out);
        } else if (kind < 10) {
            out.append("2026-");
            appendDigits(2, out);
            out.push_back('-');
            appendDigits(2, out);
        } else {
            out.append(kNames[next() % kNames.size()]);
        }
    }
}

}  // namespace karune::bench
