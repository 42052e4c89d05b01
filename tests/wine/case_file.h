// The files of the differential tests: a cases file read through its parser, and a whole
// report or list read at once. Shared by the native runners and the mingw drivers.
#pragma once

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vantrel::tests {

inline bool readWholeFile(const char* path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Parses `path` with `parse` (istream, cases, error); a file that cannot be opened or read
// is said on stderr.
template <class Case, class Parse>
bool loadCases(const char* path, std::vector<Case>& cases, Parse parse) {
    std::ifstream in(path, std::ios::binary);
    std::string error;
    if (in && parse(in, cases, error)) return true;
    std::fprintf(stderr, "%s: %s\n", path, in ? error.c_str() : "cannot open");
    return false;
}

}  // namespace vantrel::tests
