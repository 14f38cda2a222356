// The CP932 helpers must survive any bytes, and a strict decode must encode back to the same
// bytes for every text that is not in the duplicated NEC/IBM rows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "link/Cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t count = karune::cp932CharCount(bytes);
    if (count > size || (size > 0 && count == 0))
        std::abort();
    (void)karune::findOnCharBoundary(bytes, "RING");
    const std::string lossy = karune::cp932ToUtf8Lossy(bytes);
    (void)karune::utf8ToCp932Lossy(lossy);
    if (auto utf8 = karune::cp932ToUtf8(bytes)) {
        // Every decoded text is encodable again (possibly to another code of the same character).
        if (!karune::utf8ToCp932(*utf8))
            std::abort();
    }
    return 0;
}
