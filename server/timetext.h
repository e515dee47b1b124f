#pragma once
// Date-and-time texts shown by the client ("2024-05-01 12:30:05", 19 bytes).
#include <string>

namespace velsrv {

std::string NowTimeText();

}  // namespace velsrv
