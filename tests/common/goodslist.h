#pragma once
// Puts goods records into the process-wide store the views read.
#include <vector>

#include "client/core/cmd_velmora.h"

namespace testutil {

// Updates the store from the list (quietly); slots are given in list order from 1.
void SetGoodsList(std::vector<CMD_GF_VELMORA_GOODS_ITEM> records);

}  // namespace testutil
