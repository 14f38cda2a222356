#include "ui/core/FolderListing.h"

#include <algorithm>
#include <filesystem>

#include "config/Utf8Path.h"

namespace karune::ui {

namespace fs = std::filesystem;

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The code point at `at` (UTF-8); `at` moves past it. A stray byte stands for itself.
char32_t nextCodePoint(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at++]);
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t code = extra == 0 ? lead : lead & (0x3Fu >> extra);
    for (int i = 0; i < extra && at < text.size(); ++i) {
        code = (code << 6) | (static_cast<unsigned char>(text[at++]) & 0x3Fu);
    }
    return code;
}

// Half-width katakana U+FF66 to U+FF9D as full-width ones.
constexpr std::u32string_view kFullWidthKana =
    U"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモ"
    U"ヤユヨラリルレロワン";
constexpr std::u32string_view kVoiceable = U"カキクケコサシスセソタチツテトハヒフヘホ";
constexpr std::u32string_view kSemiVoiceable = U"ハヒフヘホ";

// The next character as names compare: hiragana and half-width katakana (with a following voiced
// sound mark) as full-width katakana, so that one reading sorts together whatever its script.
char32_t nextFoldedKana(std::string_view text, std::size_t& at) {
    char32_t code = nextCodePoint(text, at);
    if (code >= U'ぁ' && code <= U'ゖ') {
        return code + (U'ァ' - U'ぁ');
    }
    if (code < 0xFF66 || code > 0xFF9D) {
        return code;
    }
    code = kFullWidthKana[code - 0xFF66];
    std::size_t next = at;
    const char32_t mark = at < text.size() ? nextCodePoint(text, next) : 0;
    if (mark == U'ﾞ' && code == U'ウ') {
        at = next;
        return U'ヴ';
    }
    if ((mark == U'ﾞ' && kVoiceable.find(code) != std::u32string_view::npos) ||
        (mark == U'ﾟ' && kSemiVoiceable.find(code) != std::u32string_view::npos)) {
        at = next;
        return code + (mark == U'ﾞ' ? 1 : 2);
    }
    return code;
}

// Punctuation, then digits, then letters without regard to case, then everything else.
std::pair<int, char32_t> sortKey(std::string_view text, std::size_t& at) {
    const char c = text[at];
    if (static_cast<unsigned char>(c) >= 0x80) {
        return {3, nextFoldedKana(text, at)};
    }
    ++at;
    if (c >= 'A' && c <= 'Z') {
        return {2, static_cast<char32_t>(c - 'A' + 'a')};
    }
    if (c >= 'a' && c <= 'z') {
        return {2, static_cast<char32_t>(c)};
    }
    return {isDigit(c) ? 1 : 0, static_cast<char32_t>(c)};
}

// The run of digits at `at`, without its leading zeros; `at` moves past it.
std::string_view digitRun(std::string_view text, std::size_t& at) {
    std::size_t start = at;
    while (at < text.size() && isDigit(text[at])) {
        ++at;
    }
    while (start + 1 < at && text[start] == '0') {
        ++start;
    }
    return text.substr(start, at - start);
}

// Negative, zero or positive as `a` comes before, with or after `b`.
int compareNames(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::string_view x = digitRun(a, i);
            const std::string_view y = digitRun(b, j);
            if (x.size() != y.size()) {
                return x.size() < y.size() ? -1 : 1;
            }
            if (const int c = x.compare(y); c != 0) {
                return c;
            }
            continue;
        }
        const auto x = sortKey(a, i);
        const auto y = sortKey(b, j);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return (i < a.size()) - (j < b.size());
}

}  // namespace

bool folderNameLess(std::string_view a, std::string_view b) {
    const int c = compareNames(a, b);
    // Names equal but for case, script or leading zeros still need an order of their own:
    // lower case first.
    return c != 0 ? c < 0 : a > b;
}

std::variant<std::vector<std::string>, std::error_code> listSubfolders(const std::string& folder) {
    std::error_code ec;
    const fs::path path = pathFromUtf8(folder);
    if (!fs::is_directory(path, ec)) {
        return ec ? ec : std::make_error_code(std::errc::not_a_directory);
    }
    fs::directory_iterator it(path, ec);
    if (ec) {
        return ec;
    }
    std::vector<std::string> names;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) {
            return ec;
        }
        std::error_code entryError;
        if (!it->is_directory(entryError)) {
            continue;
        }
        std::string name = utf8FromPath(it->path().filename());
        if (!name.starts_with('.')) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end(), folderNameLess);
    return names;
}

}  // namespace karune::ui
