// The settings reader must take any file content without crashing, and whatever it accepts must
// be written back by the writer as a line that reads back to the same record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const auto settings = karune::parseSettingsText(content);
    if (!settings)
        return 0;
    const karune::EncodedSettings line = karune::encodeSettingsLine(*settings);
    if (!line.ok())
        return 0;  // e.g. a text that held a quote: refused, not written wrongly
    const auto again = karune::parseSettingsText(line.bytes);
    if (!again || !(*again == *settings))
        std::abort();
    return 0;
}
