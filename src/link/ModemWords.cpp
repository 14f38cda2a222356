#include "link/ModemWords.h"

#include "link/Cp932.h"

namespace karune {

bool containsWord(std::string_view cp932, std::string_view word) {
    return findOnCharBoundary(cp932, word) != std::string_view::npos;
}

bool containsModemResultWord(std::string_view cp932) {
    for (std::string_view word : kModemResultWords) {
        if (containsWord(cp932, word))
            return true;
    }
    return false;
}

}  // namespace karune
