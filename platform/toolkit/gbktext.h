#pragma once
// Character steps in GBK byte strings (two-byte characters must never be split).
#include <cstddef>
#include <string_view>

namespace plat {

// Bytes of the character starting at pos: 2 for a lead byte followed by a trail byte, else 1
// (0 at or past the end).
std::size_t GbkCharLength(std::string_view s, std::size_t pos);
// Start of the character that ends at pos (pos itself when 0).
std::size_t GbkPrevCharStart(std::string_view s, std::size_t pos);
// pos moved back to the start of the character it falls into.
std::size_t GbkCharBoundary(std::string_view s, std::size_t pos);

}  // namespace plat
