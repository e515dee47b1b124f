// CBuyData: the client's store of listed goods.
//
// One process-wide instance, reached through GetBuyData(). The dialog fills
// it from goods lists and scenes; the views read it and change single
// fields of its items. Pointers handed out stay valid until the next
// accepted UpdateData (the items then go back to the pool zero-filled and
// are reused for the next list), so no caller keeps them across a goods list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <type_traits>
#include <vector>

#include "client/core/cmd_velmora.h"
#include "include/datapool.h"

// One listed goods item: byte for byte the wire record, so a received
// record is copied over it whole.
struct CBSceneItem : public CMD_GF_VELMORA_GOODS_ITEM {};
static_assert(sizeof(CBSceneItem) == sizeof(CMD_GF_VELMORA_GOODS_ITEM) && sizeof(CBSceneItem) == 128,
              "CBSceneItem must be the 128-byte goods record");
static_assert(std::is_trivially_copyable_v<CBSceneItem> && std::is_standard_layout_v<CBSceneItem>,
              "CBSceneItem must stay a plain byte image");

class CBuyData : public CDataPool<CBSceneItem> {
 public:
  CBuyData();
  ~CBuyData() override;

  // Replaces the list from a goods list or scene body. A size that is not a
  // multiple of 128 leaves the list as it was. Writes the trace lines
  // "UpdateData" and "上架物品数量=%d\n" (count of records received).
  void UpdateData(const void* data, std::uint16_t size);

  // Adds one record unless 7 items are listed or its goods id is listed.
  void AddItem(const CMD_GF_VELMORA_GOODS_ITEM& record);

  // Zero-fills every item and gives it back to the pool.
  void ClearItems();

  // Lookups: first match in list order, or null.
  CBSceneItem* GetItemById(std::uint32_t goodsId);
  CBSceneItem* GetItemBySlot(int index);  // zero-based: finds slot index + 1
  CBSceneItem* GetItemByNumber(std::uint32_t goodsNumber);
  CBSceneItem* GetCurrentItem();          // first item in GOODS_STATE_SELLING

  // The list in the order added, for loops over all listed items.
  std::size_t GetItemCount() const { return m_items.size(); }
  CBSceneItem* GetItemAt(std::size_t position);  // null when out of range

  // Where the trace lines go (stdout by default; null silences them).
  void SetTraceOutput(std::FILE* out) { m_trace = out; }

 private:
  template <class Match>
  CBSceneItem* FindFirst(Match match);

  std::vector<CBSceneItem*> m_items;
  std::FILE* m_trace;
};

// The process-wide store; exists from static construction to process exit.
CBuyData& GetBuyData();
