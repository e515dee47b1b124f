#include "client/core/cmd_velmora.h"

namespace {

struct ShapeEntry {
  MessageShape shape;
  std::size_t elementSize;
};

template <std::uint16_t Sub>
constexpr ShapeEntry EntryOf() {
  return {ServerSub<Sub>::kShape, sizeof(typename ServerSub<Sub>::Record)};
}

// Indexed by sub-command - SUB_S_FIRST.
constexpr ShapeEntry kServerShapes[] = {
    EntryOf<SUB_S_BUY_RESULT>(),     EntryOf<SUB_S_BUY_NOTIFY>(),   EntryOf<SUB_S_AUCTION_RESULT>(),
    EntryOf<SUB_S_RECENTLY_RESULT>(), EntryOf<SUB_S_LUCKY_USER>(),   EntryOf<SUB_S_AUCTION_START>(),
    EntryOf<SUB_S_MY_BUY_RECORD>(),  EntryOf<SUB_S_GOODS_LIST>(),   EntryOf<SUB_S_LIKE_STATE>(),
    EntryOf<SUB_S_LIKE_UPDATE>(),    EntryOf<SUB_S_EXCHANGE_GOODS>(),
};
static_assert(sizeof(kServerShapes) / sizeof(kServerShapes[0]) == SUB_S_LAST - SUB_S_FIRST + 1,
              "one entry per server sub-command");

}  // namespace

bool GetServerMessageShape(std::uint16_t subCmd, MessageShape* shape, std::size_t* elementSize) {
  if (subCmd < SUB_S_FIRST || subCmd > SUB_S_LAST) return false;
  const ShapeEntry& e = kServerShapes[subCmd - SUB_S_FIRST];
  if (shape) *shape = e.shape;
  if (elementSize) *elementSize = e.elementSize;
  return true;
}

bool IsServerMessageSizeValid(std::uint16_t subCmd, std::size_t size) {
  MessageShape shape;
  std::size_t element = 0;
  if (!GetServerMessageShape(subCmd, &shape, &element)) return false;
  switch (shape) {
    case MessageShape::Fixed:
      return size == element;
    case MessageShape::List:
      return size % element == 0;
    case MessageShape::LikeArray:
      return true;
  }
  return false;
}

std::size_t ClientRequestSize(std::uint16_t subCmd) {
  switch (subCmd) {
    case SUB_C_BUY:
      return sizeof(ClientSub<SUB_C_BUY>::Record);
    case SUB_C_BUY_ALL:
      return sizeof(ClientSub<SUB_C_BUY_ALL>::Record);
    case SUB_C_LIKE:
      return sizeof(ClientSub<SUB_C_LIKE>::Record);
    default:
      return 0;
  }
}

CMD_GF_VELMORA_BUY_REQ MakeBuyRequest(std::uint32_t goodsId, std::uint32_t shares) {
  CMD_GF_VELMORA_BUY_REQ req{};
  req.goodsId = goodsId;
  req.shares = shares;
  return req;
}

CMD_GF_VELMORA_BUY_ALL_REQ MakeBuyAllRequest(std::uint32_t goodsId) {
  CMD_GF_VELMORA_BUY_ALL_REQ req{};
  req.goodsId = goodsId;
  return req;
}

CMD_GF_VELMORA_LIKE_REQ MakeLikeRequest(std::uint32_t goodsId) {
  CMD_GF_VELMORA_LIKE_REQ req{};
  req.goodsId = goodsId;
  req.likeCount = LIKE_REQUEST_COUNT;
  return req;
}
