#pragma once

#include <chrono>
#include <cstddef>
#include <vector>

namespace karune::bench {

using Micros = std::chrono::duration<double, std::micro>;

// 8N1 at 38400 baud: ten bits a byte.
inline constexpr Micros kByteTime{10.0 * 1e6 / 38400.0};
// The program ends a reply after this much silence unless the reply's CR came in a read of its
// own.
inline constexpr Micros kQuietGap{100'000.0};
// "ACK" and its CR, the program's answer to every accepted record.
inline constexpr std::size_t kAckBytes = 4;

// One record as the terminal saw it: `lineBytes` counts the frame and its CR; `crAlone` is true
// when the CR left in a write of its own, so a program that keeps up reads it alone.
struct RecordTiming {
    std::size_t lineBytes = 0;
    bool crAlone = false;
    Micros turnaround{};  // first byte of the frame written .. "ACK" CR read
    Micros reaction{};    // CR written .. "ACK" CR read
};

// The least turnaround the line and the reply rule allow: the frame, its CR and "ACK" CR at the
// line rate, plus the quiet gap when the CR did not arrive on its own.
Micros turnaroundFloor(std::size_t lineBytes, bool crAlone);

// What the program added beyond the reply rule once the record's last byte had reached it.
Micros overhead(const RecordTiming& record);

struct Spread {
    double mean = 0;
    double p50 = 0;
    double p99 = 0;
    double max = 0;
};

// Spread of `values` (nearest-rank percentiles); all zero for no values.
Spread spreadOf(std::vector<double> values);

}  // namespace karune::bench
