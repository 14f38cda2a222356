#include "Turnaround.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace karune::bench {

Micros turnaroundFloor(std::size_t lineBytes, bool crAlone) {
    const Micros wire = kByteTime * static_cast<double>(lineBytes + kAckBytes);
    return crAlone ? wire : wire + kQuietGap;
}

Micros overhead(const RecordTiming& record) {
    return record.crAlone ? record.reaction : record.reaction - kQuietGap;
}

Spread spreadOf(std::vector<double> values) {
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    auto rank = [&](double fraction) {
        const auto index = static_cast<std::size_t>(
            std::ceil(fraction * static_cast<double>(values.size())) - 1.0);
        return values[std::min(index, values.size() - 1)];
    };
    Spread s;
    s.mean =
        std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
    s.p50 = rank(0.50);
    s.p99 = rank(0.99);
    s.max = values.back();
    return s;
}

}  // namespace karune::bench
