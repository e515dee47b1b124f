// The description configuration loader on arbitrary file contents.
// Beyond not crashing: a load is deterministic, and loading the same text
// again adds nothing because the first entry of an id wins.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "client/data/goodscatalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CGoodsCatalogue first;
  const bool parsed = first.LoadText(text);
  CGoodsCatalogue second;
  if (second.LoadText(text) != parsed || second.Size() != first.Size()) std::abort();

  const std::size_t before = first.Size();
  first.LoadText(text);
  if (first.Size() != before) std::abort();

  // Every stored description reads back whole (ASan checks the bytes).
  for (std::uint32_t id : {0u, 1001u, 1012u, 0xFFFFFFFFu}) {
    const std::string* a = first.Find(id);
    const std::string* b = second.Find(id);
    if ((a == nullptr) != (b == nullptr)) std::abort();
    if (a && *a != *b) std::abort();
  }
  // The id parser on the raw bytes as well: it must stop at the terminator.
  std::string copy(text);
  (void)CGoodsCatalogue::ParseGoodsId(copy.c_str());
  return 0;
}
