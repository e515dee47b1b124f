// CInvalidArgException: raised by the class library on an argument outside
// its valid range (a negative size or index, an index past the end).
#pragma once

#include <stdexcept>
#include <string>

class CInvalidArgException : public std::invalid_argument {
 public:
  explicit CInvalidArgException(const std::string& what) : std::invalid_argument(what) {}
};
