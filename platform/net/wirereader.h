#pragma once
// The one reader of wire records: a record is taken only at its exact size and copied out
// (never cast in place, so alignment and the buffer's end never matter); a text field is read up
// to its first zero byte or its end, never further. Used by the client's game records, the
// transport's frame-level records and the server's login.
#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace plat::net {

// The record T when `size` is exactly sizeof(T); nothing otherwise.
template <class T>
std::optional<T> ReadExact(const void* data, std::size_t size) {
  static_assert(std::is_trivially_copyable_v<T>, "wire records are byte images");
  if (data == nullptr || size != sizeof(T)) return std::nullopt;
  T value;
  std::memcpy(&value, data, sizeof(T));
  return value;
}

// The record T from the first sizeof(T) bytes, for a record that opens with a known header
// (a login's version comes before fields that differ between versions).
template <class T>
std::optional<T> ReadPrefix(const void* data, std::size_t size) {
  return size < sizeof(T) ? std::nullopt : ReadExact<T>(data, sizeof(T));
}

// Bytes of a text field up to its first zero byte or its end (GBK bytes, not converted).
std::string ReadFieldText(const char* field, std::size_t fieldSize);

template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  return ReadFieldText(field, N);
}

// The same bytes seen in place, for texts used at once (valid while the record lives).
std::string_view ReadFieldTextView(const char* field, std::size_t fieldSize);

template <std::size_t N>
std::string_view FieldTextView(const char (&field)[N]) {
  return ReadFieldTextView(field, N);
}

// Writes text into a field, zero-padded. Keeps at most fieldSize - 1 bytes so the field stays
// terminated, and never cuts a GBK double-byte character in half.
void WriteFieldText(char* field, std::size_t fieldSize, std::string_view text);

template <std::size_t N>
void SetFieldText(char (&field)[N], std::string_view text) {
  WriteFieldText(field, N, text);
}

}  // namespace plat::net
