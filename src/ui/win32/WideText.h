#pragma once

#include <string>
#include <string_view>

namespace karune::ui {

// The window layer keeps text as UTF-8 and hands the system UTF-16 (the W functions only).
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace karune::ui
