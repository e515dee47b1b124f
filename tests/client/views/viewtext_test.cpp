// The views' formatting gives what snprintf gives, through its own path for the simple formats.
#include <gtest/gtest.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "client/views/viewtext.h"

namespace {

std::string Snprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Snprintf(const char* format, ...) {
  char buffer[256];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

TEST(ViewText, FormatsAsSnprintfDoes) {
  // GBK bytes around the conversions ("价值 %u", "剩余份额：%d份").
  const char gbkValue[] = "\xBC\xDB\xD6\xB5 %u";
  const char gbkLeft[] = "\xCA\xA3\xD3\xE0\xB7\xDD\xB6\xEE\xA3\xBA%d\xB7\xDD";
  for (int v : {0, 7, -1, 10, 99999, INT_MAX, INT_MIN}) {
    EXPECT_EQ(FormatText("%d", v), Snprintf("%d", v)) << v;
    EXPECT_EQ(FormatText(gbkLeft, v), Snprintf(gbkLeft, v)) << v;
    EXPECT_EQ(FormatText("%5d|%-3d|%+d", v, v, v), Snprintf("%5d|%-3d|%+d", v, v, v)) << v;
  }
  for (unsigned v : {0u, 5u, 1000000u, UINT_MAX}) {
    EXPECT_EQ(FormatText(gbkValue, v), Snprintf(gbkValue, v)) << v;
    EXPECT_EQ(FormatText("%u%%%u", v, v + 1), Snprintf("%u%%%u", v, v + 1)) << v;
  }
  EXPECT_EQ(FormatText("%d %s, %s!", 3, "\xBD\xF0", ""), Snprintf("%d %s, %s!", 3, "\xBD\xF0", ""));
  EXPECT_EQ(FormatText("%.2f%%", 3.846), "3.85%");  // not simple: snprintf's own rounding
  const char* volatile none = nullptr;  // hidden from the compiler's own format checks
  EXPECT_EQ(FormatText("%s", none), "(null)");
  EXPECT_EQ(FormatText("%%"), "%");
  // Formats the compiler would refuse as literals: empty, and ending inside a conversion.
  const std::string empty, cut = "100%";
  EXPECT_EQ(FormatText(empty.c_str()), "");
  EXPECT_EQ(FormatText(cut.c_str()), "");
}

TEST(ViewText, FormattingIntoAStringReplacesItsText) {
  std::string out = "a much longer text than any of the results below";
  FormatTextInto(out, "%u", 12u);
  EXPECT_EQ(out, "12");
  FormatTextInto(out, "%s-%d", "x", -4);
  EXPECT_EQ(out, "x--4");
  FormatTextInto(out, nullptr);
  EXPECT_EQ(out, "");
}

}  // namespace
