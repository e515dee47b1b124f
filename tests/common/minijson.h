#pragma once
// Just enough JSON for tests that read the program's --state-json output: objects, arrays,
// strings (escapes \" \\ \n \r \t \uXXXX below 0x80 kept as is), numbers, true, false, null.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace veltest {

struct Json {
  enum class Type { Null, Bool, Number, String, Array, Object };
  Type type = Type::Null;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<Json> items;
  std::map<std::string, Json> members;

  bool IsNull() const { return type == Type::Null; }
  // The member at a dotted path ("panel.buy_enabled"), or null when there is none.
  const Json* At(const std::string& path) const;
};

std::optional<Json> ParseJson(const std::string& text);

}  // namespace veltest
