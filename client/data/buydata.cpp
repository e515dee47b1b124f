#include "client/data/buydata.h"

#include <cstring>

namespace {

constexpr std::size_t kRecordSize = sizeof(CMD_GF_VELMORA_GOODS_ITEM);

// Forces the store into existence during static construction, so it is
// there before the dialog whatever the order of the translation units.
struct ForceConstruction {
  ForceConstruction() { GetBuyData(); }
} const g_forceConstruction;

}  // namespace

CBuyData::CBuyData() : m_trace(stdout) {
  // The list never holds more than the listed maximum: reserve it once so
  // replacing the list never allocates.
  m_items.reserve(MAX_LISTED_GOODS);
}

CBuyData::~CBuyData() { ClearItems(); }

void CBuyData::UpdateData(const void* data, std::uint16_t size) {
  if (m_trace) std::fputs("UpdateData", m_trace);
  if (size % kRecordSize != 0) return;
  if (data == nullptr && size != 0) return;

  ClearItems();
  const std::size_t count = size / kRecordSize;
  if (m_trace) std::fprintf(m_trace, "上架物品数量=%d\n", static_cast<int>(count));

  const RecordList<CMD_GF_VELMORA_GOODS_ITEM> records(data, count);
  for (std::size_t i = 0; i < records.Count(); ++i) {
    AddItem(records[i]);
  }
}

void CBuyData::AddItem(const CMD_GF_VELMORA_GOODS_ITEM& record) {
  if (m_items.size() >= MAX_LISTED_GOODS) return;
  if (GetItemById(record.goodsId) != nullptr) return;
  CBSceneItem* item = AllocItem();
  std::memcpy(item, &record, kRecordSize);
  m_items.push_back(item);
}

void CBuyData::ClearItems() {
  for (CBSceneItem* item : m_items) {
    if (item == nullptr) continue;
    std::memset(item, 0, kRecordSize);
    FreeItem(item);
  }
  m_items.clear();
}

template <class Match>
CBSceneItem* CBuyData::FindFirst(Match match) {
  for (CBSceneItem* item : m_items) {
    if (item != nullptr && match(*item)) return item;
  }
  return nullptr;
}

CBSceneItem* CBuyData::GetItemById(std::uint32_t goodsId) {
  return FindFirst([goodsId](const CBSceneItem& item) { return item.goodsId == goodsId; });
}

CBSceneItem* CBuyData::GetItemBySlot(int index) {
  // A negative index names no slot (it would otherwise match slot 0 or a
  // wrapped value).
  if (index < 0) return nullptr;
  const std::uint32_t slot = static_cast<std::uint32_t>(index) + 1;
  return FindFirst([slot](const CBSceneItem& item) { return item.slot == slot; });
}

CBSceneItem* CBuyData::GetItemByNumber(std::uint32_t goodsNumber) {
  return FindFirst([goodsNumber](const CBSceneItem& item) { return item.goodsNumber == goodsNumber; });
}

CBSceneItem* CBuyData::GetCurrentItem() {
  return FindFirst([](const CBSceneItem& item) { return item.state == GOODS_STATE_SELLING; });
}

CBSceneItem* CBuyData::GetItemAt(std::size_t position) {
  return position < m_items.size() ? m_items[position] : nullptr;
}

CBuyData& GetBuyData() {
  static CBuyData instance;
  return instance;
}
