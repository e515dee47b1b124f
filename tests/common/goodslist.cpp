#include "tests/common/goodslist.h"

#include <cstddef>
#include <cstdint>

#include "client/data/buydata.h"

namespace testutil {

void SetGoodsList(std::vector<CMD_GF_VELMORA_GOODS_ITEM> records) {
  CBuyData& data = GetBuyData();
  data.SetTraceOutput(nullptr);
  for (std::size_t i = 0; i < records.size(); ++i) records[i].slot = static_cast<std::uint32_t>(i + 1);
  data.UpdateData(records.data(), static_cast<std::uint16_t>(records.size() * sizeof(records[0])));
}

}  // namespace testutil
