#include "session/RecordFields.h"

namespace karune {

RecordFields::RecordFields(const FieldFlags& flags) {
    for (std::size_t n = 0; n < flags.size(); ++n) {
        if (flags[n] == 1)
            selected_[selectedCount_++] = n;
    }
}

void RecordFields::appendConverted(std::string_view record, std::string& out) const {
    std::array<std::string_view, Settings::kFieldCount> source{};
    std::string_view rest = record;
    for (std::string_view& field : source) {
        const std::size_t comma = rest.find(',');
        if (comma == std::string_view::npos) {
            field = rest;
            break;
        }
        field = rest.substr(0, comma);
        rest.remove_prefix(comma + 1);
    }
    for (std::size_t i = 0; i < selectedCount_; ++i) {
        const std::string_view field = source[selected_[i]];
        if (i > 0) {
            if (field.empty())
                break;
            out += ',';
        }
        out += field;
    }
    out += "\r\n";
}

}  // namespace karune
