// The conversions through the system's code page 932, as the receivers this program replaces
// used them.
#include "link/Cp932.h"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace karune {
namespace {

constexpr UINT kCp932 = 932;

std::optional<std::wstring> toWide(UINT codePage, std::string_view in) {
    if (in.empty())
        return std::wstring();
    const int inLength = static_cast<int>(in.size());
    const int length =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), inLength, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), inLength, out.data(), length);
    return out;
}

// Nothing when a character has no form in the code page (CP_UTF8 refuses lone surrogates).
std::optional<std::string> fromWide(UINT codePage, std::wstring_view in) {
    if (in.empty())
        return std::string();
    const int inLength = static_cast<int>(in.size());
    const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const int length = WideCharToMultiByte(codePage, flags, in.data(), inLength, nullptr, 0,
                                           nullptr, usedDefaultOut);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, in.data(), inLength, out.data(), length, nullptr, nullptr);
    return out;
}

std::optional<std::string> convert(UINT from, UINT to, std::string_view in) {
    const std::optional<std::wstring> wide = toWide(from, in);
    if (!wide)
        return std::nullopt;
    return fromWide(to, *wide);
}

// Converts `in` whole when it can; otherwise unit by unit, each unconvertible unit (one source
// character) replaced by `replacement`.
std::string convertLossy(UINT from, UINT to, std::string_view in,
                         std::size_t (*unitLength)(std::string_view, std::size_t),
                         std::string_view replacement) {
    if (std::optional<std::string> whole = convert(from, to, in))
        return *whole;
    std::string out;
    for (std::size_t pos = 0; pos < in.size();) {
        const std::size_t length = unitLength(in, pos);
        if (const auto unit = convert(from, to, in.substr(pos, length)))
            out += *unit;
        else
            out += replacement;
        pos += length;
    }
    return out;
}

}  // namespace

std::optional<std::string> cp932ToUtf8(std::string_view cp932) {
    return convert(kCp932, CP_UTF8, cp932);
}

std::optional<std::string> utf8ToCp932(std::string_view utf8) {
    return convert(CP_UTF8, kCp932, utf8);
}

std::string cp932ToUtf8Lossy(std::string_view cp932) {
    return convertLossy(kCp932, CP_UTF8, cp932, cp932CharLength, "\xEF\xBF\xBD");
}

std::string utf8ToCp932Lossy(std::string_view utf8) {
    return convertLossy(CP_UTF8, kCp932, utf8, utf8CharLength, "?");
}

}  // namespace karune
