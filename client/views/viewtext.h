#pragma once
// Text helpers shared by the game's views: the font face and printf-style formatting into a
// GBK string.
#include <string>

// The views' font face "宋", in GBK.
const std::string& SongFaceGbk();

// printf-style formatting of any length (GBK formats and arguments stay bytes).
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The same into out, reusing its storage: views format their texts every frame.
void FormatTextInto(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
