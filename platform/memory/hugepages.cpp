#include "platform/memory/hugepages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace plat {

namespace {

constexpr const char kTunable[] = "glibc.malloc.hugetlb";
constexpr const char kThpMode[] = "/sys/kernel/mm/transparent_hugepage/enabled";

}  // namespace

std::string HugePageHeapTunables(const char* thpMode, const char* tunables) {
  // The kernel marks the mode in force with brackets: "always [madvise] never".
  if (thpMode == nullptr ||
      (std::strstr(thpMode, "[always]") == nullptr && std::strstr(thpMode, "[madvise]") == nullptr))
    return "";
  const std::string setting = std::string(kTunable) + "=1";
  if (tunables == nullptr || *tunables == '\0') return setting;
  if (std::strstr(tunables, kTunable) != nullptr) return "";  // the user decided
  return std::string(tunables) + ":" + setting;
}

void StartAgainWithHugePageHeap(char** argv) {
  if (argv == nullptr || argv[0] == nullptr) return;
  char mode[128] = {};
  const char* thp = nullptr;
  if (std::FILE* f = std::fopen(kThpMode, "r")) {
    if (std::fgets(mode, sizeof mode, f) != nullptr) thp = mode;
    std::fclose(f);
  }
  const std::string tunables = HugePageHeapTunables(thp, std::getenv("GLIBC_TUNABLES"));
  if (tunables.empty()) return;
  if (setenv("GLIBC_TUNABLES", tunables.c_str(), 1) != 0) return;
  execv("/proc/self/exe", argv);
  // Not started again (no /proc): the environment keeps the setting for nobody; go on.
}

}  // namespace plat
