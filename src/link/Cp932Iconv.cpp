// The conversions through glibc's iconv.
#include "link/Cp932.h"

#include <iconv.h>

#include <cerrno>

namespace karune {
namespace {

// glibc calls the code "CP932"; it keeps the control bytes 0x1A, 0x1C and 0x7F as they are.
constexpr const char* kCp932 = "CP932";
constexpr const char* kUtf8 = "UTF-8";

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can. Stops at the first invalid or unconvertible sequence and
    // returns the number of input bytes consumed; `out` holds the converted prefix.
    std::size_t convert(std::string_view in, std::string& out) {
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[1024];
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG)
                break;
        }
        return in.size() - srcLeft;
    }

private:
    iconv_t cd_;
};

std::optional<std::string> convertStrict(const char* to, const char* from, std::string_view in) {
    Converter conv(to, from);
    if (!conv.valid())
        return std::nullopt;
    std::string out;
    if (conv.convert(in, out) != in.size())
        return std::nullopt;
    return out;
}

// Converts `in`, replacing each unconvertible unit (one source character) by `replacement`.
std::string convertLossy(const char* to, const char* from, std::string_view in,
                         std::size_t (*unitLength)(std::string_view, std::size_t),
                         std::string_view replacement) {
    Converter conv(to, from);
    std::string out;
    if (!conv.valid())
        return out;
    std::size_t pos = 0;
    while (pos < in.size()) {
        pos += conv.convert(in.substr(pos), out);
        if (pos < in.size()) {
            out.append(replacement);
            pos += unitLength(in, pos);
        }
    }
    return out;
}

}  // namespace

std::optional<std::string> cp932ToUtf8(std::string_view cp932) {
    return convertStrict(kUtf8, kCp932, cp932);
}

std::optional<std::string> utf8ToCp932(std::string_view utf8) {
    return convertStrict(kCp932, kUtf8, utf8);
}

std::string cp932ToUtf8Lossy(std::string_view cp932) {
    return convertLossy(kUtf8, kCp932, cp932, cp932CharLength, "\xEF\xBF\xBD");
}

std::string utf8ToCp932Lossy(std::string_view utf8) {
    return convertLossy(kCp932, kUtf8, utf8, utf8CharLength, "?");
}

}  // namespace karune
