#include "config/SettingsFile.h"

#include <charconv>
#include <cstddef>
#include <vector>

#include "link/Cp932.h"

namespace karune {

namespace {

constexpr std::size_t kItemCount = 30;
constexpr std::size_t kFixFnameItem = 1;
constexpr std::size_t kFolderItem = 2;
constexpr std::size_t kTimeAdjustItem = 29;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

struct TextItem {
    const char* name;
    const std::string* value;
};

std::string checkWritableText(const TextItem& item) {
    if (item.value->find_first_of("\"\r\n") != std::string::npos)
        return std::string(item.name) +
               " holds a double quote or a line break, which the settings file cannot hold";
    if (!utf8ToCp932(*item.value))
        return std::string(item.name) +
               " holds a character that the settings file's code page (CP932) cannot hold";
    return {};
}

void appendNumber(std::string& line, std::int16_t value) {
    line += std::to_string(value);
    line += ',';
}

void appendText(std::string& line, std::string_view cp932) {
    line += '"';
    line += cp932;
    line += '"';
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
    const TextItem texts[] = {{"FixFname", &settings.FixFname},
                              {"Folder", &settings.Folder},
                              {"TimeAdjust", &settings.TimeAdjust}};
    for (const auto& text : texts) {
        if (auto error = checkWritableText(text); !error.empty())
            return {{}, std::move(error)};
    }

    std::string line;
    appendNumber(line, settings.AddDate);
    appendText(line, *utf8ToCp932(settings.FixFname));
    line += ',';
    appendText(line, *utf8ToCp932(settings.Folder));
    line += ',';
    for (std::int16_t value : {settings.Port, settings.CrcType, settings.OverWrite,
                               settings.StartUpSize, settings.AutoStart, settings.Protocol})
        appendNumber(line, value);
    for (std::int16_t flag : settings.Field)
        appendNumber(line, flag);
    appendText(line, *utf8ToCp932(settings.TimeAdjust));
    line += "\r\n";
    return {std::move(line), {}};
}

std::optional<Settings> parseSettingsText(std::string_view content) {
    const auto items = ItemScanner(content).scan(kItemCount);
    if (!items || items->size() < kItemCount)
        return std::nullopt;

    std::vector<std::int16_t> numbers;
    for (std::size_t i = 0; i < kItemCount; ++i) {
        if (i == kFixFnameItem || i == kFolderItem || i == kTimeAdjustItem)
            continue;
        const auto number = toNumber((*items)[i]);
        if (!number)
            return std::nullopt;
        numbers.push_back(*number);
    }
    auto fixFname = cp932ToUtf8((*items)[kFixFnameItem]);
    auto folder = cp932ToUtf8((*items)[kFolderItem]);
    auto timeAdjust = cp932ToUtf8((*items)[kTimeAdjustItem]);
    if (!fixFname || !folder || !timeAdjust)
        return std::nullopt;

    Settings s;
    auto next = numbers.begin();
    s.AddDate = *next++;
    s.FixFname = std::move(*fixFname);
    s.Folder = std::move(*folder);
    for (std::int16_t* field :
         {&s.Port, &s.CrcType, &s.OverWrite, &s.StartUpSize, &s.AutoStart, &s.Protocol})
        *field = *next++;
    for (auto& flag : s.Field)
        flag = *next++;
    s.TimeAdjust = std::move(*timeAdjust);
    return s;
}

}  // namespace karune
