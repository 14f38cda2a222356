#pragma once

#include <string>
#include <string_view>
#include <system_error>
#include <variant>
#include <vector>

namespace karune::ui {

// The names (UTF-8) of the visible sub-folders of `folder`, in folderNameLess order, or the error
// that kept the folder from being read (missing, not a folder, no permission). Dot folders are the
// platform's hidden ones and are left out.
std::variant<std::vector<std::string>, std::error_code> listSubfolders(const std::string& folder);

// The order a folder list shows names in: punctuation, then digits, then letters ignoring case,
// then everything else by code point; runs of digits by their number ("2" before "10"); hiragana
// and half-width katakana as the full-width katakana of the same reading.
bool folderNameLess(std::string_view a, std::string_view b);

}  // namespace karune::ui
