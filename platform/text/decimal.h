#pragma once

#include <string>

namespace plat {

// Reads a whole word as a decimal integer within [min, max]; false for anything else
// (empty, trailing characters, out of range).
bool ParseDecimal(const std::string& word, long long min, long long max, long long* out);

}  // namespace plat
