#pragma once
// Text conversion between GBK (code page 936), UTF-16 and UTF-8.
//
// Callers may rely on:
//  - no function throws for bad input, none reads past its input;
//  - GBK -> UTF-16/UTF-8: every byte that does not start a valid GBK character becomes one
//    U+FFFD, a lead byte cut off at the end becomes one U+FFFD, decoding resumes right after it
//    (the tail is never lost);
//  - -> GBK: a character GBK cannot hold (or a lone surrogate) becomes one '?';
//  - UTF-8 input: each byte of an invalid sequence becomes one U+FFFD (or '?' towards GBK);
//  - UTF-16 output is host order char16_t; surrogate pairs are kept as two code units.
// Pure ASCII text takes a copy-only path.
#include <string>
#include <string_view>

namespace plat {

std::u16string GbkToUtf16(std::string_view gbk);
// The same into out, reusing its storage (and a per-thread scratch buffer): no allocation once
// both have held a text as long.
void GbkToUtf16Into(std::string_view gbk, std::u16string& out);
std::string Utf16ToGbk(std::u16string_view s);
std::string Utf8ToGbk(std::string_view utf8);
std::string GbkToUtf8(std::string_view gbk);
std::string Utf16ToUtf8(std::u16string_view s);
std::u16string Utf8ToUtf16(std::string_view s);

constexpr char16_t kReplacementChar = 0xFFFD;

}  // namespace plat
