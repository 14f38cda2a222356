#pragma once

#include <string>
#include <string_view>

namespace karune {

// The operator's texts for lines over TCP, UTF-8; `name` is the mapping ("tcp:HOST:PORT").
std::string connectFailedText(std::string_view name, std::string_view reason);
std::string connectionLostText(std::string_view name);
std::string listenFailedText(std::string_view name, std::string_view reason);
std::string listenerBrokenText(std::string_view name);

}  // namespace karune
