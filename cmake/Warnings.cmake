# Every target of the project links karune_warnings; CI turns warnings into errors.
option(KARUNE_WERROR "Treat compiler warnings as errors" OFF)

add_library(karune_warnings INTERFACE)
target_compile_options(karune_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough
    $<$<BOOL:${KARUNE_WERROR}>:-Werror>)
# GCC 12 reports std::string assignments as overlapping copies at -O2 (a known false positive).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(karune_warnings INTERFACE -Wno-restrict)
endif()
