#pragma once
// GBK conversion for the server: wire texts are GBK, files and logs UTF-8.
#include <optional>
#include <string>
#include <string_view>

namespace velsrv {

// nullopt when the input is not valid in its encoding or has no GBK form.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);
std::optional<std::string> GbkToUtf8(std::string_view gbk);
// For log lines: invalid bytes become '?'.
std::string GbkToUtf8Lossy(std::string_view gbk);

}  // namespace velsrv
