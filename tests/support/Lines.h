#pragma once

#include <string>
#include <vector>

namespace karune::test {

using Lines = std::vector<std::string>;

// A list of texts written as a call, so that a table row holding one stays on a few lines.
template <typename... Text>
Lines lines(const Text&... texts) {
    return {std::string(texts)...};
}

template <typename T>
std::vector<T> operator+(std::vector<T> a, const std::vector<T>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace karune::test
