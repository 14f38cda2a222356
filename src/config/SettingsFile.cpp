#include "config/SettingsFile.h"

#include <charconv>
#include <cstddef>
#include <vector>

#include "config/SettingsCheck.h"
#include "config/SettingsTable.h"
#include "link/Cp932.h"

namespace karune {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Splits the content into items by the file's grammar, stopping after `wanted` items.
class ItemScanner {
public:
    explicit ItemScanner(std::string_view content) : text_(content) {}

    // nullopt when an item is malformed; fewer than `wanted` items when the content ends first.
    std::optional<std::vector<std::string>> scan(std::size_t wanted) {
        std::vector<std::string> items;
        bool lineStart = true;
        while (items.size() < wanted) {
            skipBlanks();
            if (atEnd()) {
                if (!lineStart)
                    items.emplace_back();  // a comma right before the end
                break;
            }
            if (isLineEnd(peek())) {
                if (!lineStart)
                    items.emplace_back();  // a comma right before the line end
                skipLineEnd();
                lineStart = true;
                continue;
            }
            auto item = peek() == '"' ? quotedItem() : unquotedItem();
            if (!item)
                return std::nullopt;
            items.push_back(std::move(*item));
            if (atEnd())
                break;
            if (peek() == ',') {
                ++pos_;
                lineStart = false;
            } else {
                skipLineEnd();
                lineStart = true;
            }
        }
        return items;
    }

private:
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return text_[pos_]; }
    bool atSeparator() const { return atEnd() || peek() == ',' || isLineEnd(peek()); }

    void skipBlanks() {
        while (!atEnd() && isBlank(peek()))
            ++pos_;
    }

    void skipLineEnd() {
        if (peek() == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n')
            ++pos_;
        ++pos_;
    }

    std::optional<std::string> quotedItem() {
        const std::size_t begin = pos_ + 1;
        std::size_t end = begin;
        while (end < text_.size() && text_[end] != '"' && !isLineEnd(text_[end]))
            ++end;
        if (end >= text_.size() || text_[end] != '"')
            return std::nullopt;
        pos_ = end + 1;
        skipBlanks();
        if (!atSeparator())
            return std::nullopt;
        return std::string(text_.substr(begin, end - begin));
    }

    std::optional<std::string> unquotedItem() {
        const std::size_t begin = pos_;
        while (!atSeparator())
            ++pos_;
        std::size_t end = pos_;
        while (end > begin && isBlank(text_[end - 1]))
            --end;
        return std::string(text_.substr(begin, end - begin));
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

std::optional<std::int16_t> toNumber(const std::string& item) {
    std::int16_t value = 0;
    const char* first = item.data();
    const char* last = first + item.size();
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last)
        return std::nullopt;
    return value;
}

}  // namespace

EncodedSettings encodeSettingsLine(const Settings& settings) {
    if (std::string error = settingsTextRefusal(settings); !error.empty())
        return {{}, std::move(error)};

    std::string line;
    for (const SettingsItem& item : settingsTable()) {
        if (!line.empty())
            line += ',';
        if (item.isText())
            line += '"' + *utf8ToCp932(settings.*item.text) + '"';
        else
            line += std::to_string(numberOf(settings, item));
    }
    line += "\r\n";
    return {std::move(line), {}};
}

std::optional<Settings> parseSettingsText(std::string_view content) {
    const auto items = ItemScanner(content).scan(kSettingsItemCount);
    if (!items || items->size() < kSettingsItemCount)
        return std::nullopt;

    Settings s;
    for (std::size_t i = 0; i < kSettingsItemCount; ++i) {
        const SettingsItem& item = settingsTable()[i];
        if (item.isText()) {
            auto text = cp932ToUtf8((*items)[i]);
            if (!text)
                return std::nullopt;
            s.*item.text = std::move(*text);
        } else {
            const auto number = toNumber((*items)[i]);
            if (!number)
                return std::nullopt;
            numberOf(s, item) = *number;
        }
    }
    return s;
}

}  // namespace karune
