#pragma once
// UTF-8 to GBK (code page 936) with iconv; the configuration file ships in GBK.
#include <string>

// Throws std::runtime_error for text that has no GBK form, so that no
// character is silently replaced in a shipped file.
std::string Utf8ToGbk(const std::string& utf8);
