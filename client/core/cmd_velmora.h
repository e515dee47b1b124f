// Velmora game protocol: codes, wire records, a bounds-checked reader and
// the request builders. Shared by the client and the reference server.
//
// Every record is a fixed-layout little-endian byte image. Fields that
// would be misaligned are preceded by explicit reserved bytes, so the
// natural layout already matches the wire; the static_asserts below pin
// every size and offset.
//
// Reading a message: never cast the received pointer. Use
//   ReadServerRecord<SUB_S_...>(data, size)  -> std::optional<record>   (exact size)
//   ReadServerList<SUB_S_...>(data, size)    -> std::optional<RecordList<record>>
//   ReadSceneGoods(data, size)               -> same as SUB_S_GOODS_LIST
//   ReadClientRequest<SUB_C_...>(data, size) -> std::optional<request>  (server side)
// Lists copy element i out through memcpy, so alignment never matters and
// nothing beyond the message is touched. The like messages (9, 10) give
// min(7, size / 12) entries for any size.
// Text fields: FieldText(record.field) reads up to the first zero byte or
// the end of the field (GBK bytes, not converted); FieldTextView the same
// without a copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/net/framemessages.h"
#include "platform/net/wirereader.h"

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "The wire records are little-endian byte images: a little-endian host is required."
#endif

// ---------------------------------------------------------------------------
// Codes

// Main command of every game message and request.
constexpr std::uint16_t MDM_GF_GAME = 100;
constexpr std::uint16_t MAIN_CMD_GAME = MDM_GF_GAME;
static_assert(MDM_GF_GAME == plat::net::kMainGame, "game records travel under the frame codec's game command");

// Server to client.
constexpr std::uint16_t SUB_S_BUY_RESULT = 1;
constexpr std::uint16_t SUB_S_BUY_NOTIFY = 2;
constexpr std::uint16_t SUB_S_AUCTION_RESULT = 3;
constexpr std::uint16_t SUB_S_RECENTLY_RESULT = 4;
constexpr std::uint16_t SUB_S_LUCKY_USER = 5;
constexpr std::uint16_t SUB_S_AUCTION_START = 6;
constexpr std::uint16_t SUB_S_MY_BUY_RECORD = 7;
constexpr std::uint16_t SUB_S_GOODS_LIST = 8;
constexpr std::uint16_t SUB_S_LIKE_STATE = 9;
constexpr std::uint16_t SUB_S_LIKE_UPDATE = 10;
constexpr std::uint16_t SUB_S_EXCHANGE_GOODS = 11;
constexpr std::uint16_t SUB_S_FIRST = SUB_S_BUY_RESULT;
constexpr std::uint16_t SUB_S_LAST = SUB_S_EXCHANGE_GOODS;

// Client to server (a separate code space from the server's).
constexpr std::uint16_t SUB_C_BUY = 1;
constexpr std::uint16_t SUB_C_BUY_ALL = 2;
constexpr std::uint16_t SUB_C_LIKE = 3;

// Scene statuses whose body is a goods list; every other status is rejected.
constexpr std::uint8_t SCENE_STATUS_FREE = 0;
constexpr std::uint8_t SCENE_STATUS_PLAY = 100;

// CMD_GF_VELMORA_BUY_RSP::result
constexpr std::uint8_t BUY_RESULT_OK = 0;
constexpr std::uint8_t BUY_RESULT_NO_USER = 1;
constexpr std::uint8_t BUY_RESULT_NO_GOODS = 2;
constexpr std::uint8_t BUY_RESULT_NO_AUCTION_GOODS = 3;
constexpr std::uint8_t BUY_RESULT_NOT_CURRENT = 4;
constexpr std::uint8_t BUY_RESULT_TIME_OVER = 5;
constexpr std::uint8_t BUY_RESULT_SHARES_SHORT = 6;
constexpr std::uint8_t BUY_RESULT_COINS_SHORT = 7;
constexpr std::uint8_t BUY_RESULT_BAD_SHARES = 8;

// CMD_GF_VELMORA_AUCTION_RESULT_NTF::kind; other values are rejected.
constexpr std::uint16_t AUCTION_RESULT_WON = 1;
constexpr std::uint16_t AUCTION_RESULT_FAILED = 2;

// CMD_GF_VELMORA_GOODS_ITEM::state
constexpr std::uint32_t GOODS_STATE_CANDIDATE = 0;
constexpr std::uint32_t GOODS_STATE_SELLING = 1;
constexpr std::uint32_t GOODS_STATE_SOLD = 2;
constexpr std::uint32_t GOODS_STATE_FAILED = 3;

// Listed goods at once, and entries of a like message.
constexpr std::size_t MAX_LISTED_GOODS = 7;
constexpr std::size_t LIKE_ENTRY_COUNT = 7;

// Every like request adds exactly one like.
constexpr std::uint32_t LIKE_REQUEST_COUNT = 1;

// Text field widths.
constexpr std::size_t TIME_TEXT_LEN = 20;
constexpr std::size_t NICKNAME_LEN = 32;

// ---------------------------------------------------------------------------
// Records (server to client)

struct CMD_GF_VELMORA_BUY_RSP {
  std::uint8_t result;  // BUY_RESULT_*
};

struct CMD_GF_VELMORA_BUY_NTF {
  std::uint32_t userId;
  std::uint32_t goodsId;
  std::uint32_t shares;
  char buyTime[TIME_TEXT_LEN];
};

struct CMD_GF_VELMORA_AUCTION_RESULT_NTF {
  std::uint16_t kind;  // AUCTION_RESULT_*
  char winnerNickname[NICKNAME_LEN];
  std::uint8_t reserved34[2];
  std::uint32_t goodsNumber;      // the lot that closed
  std::uint32_t nextGoodsNumber;  // 0: a new batch of goods follows
  char drawTime[TIME_TEXT_LEN];
  std::uint32_t winnerShares;
};

struct CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP {
  std::uint32_t goodsNumber;
  char goodsName[56];
  char winnerNickname[NICKNAME_LEN];
  std::uint32_t winnerShares;
  char drawTime[TIME_TEXT_LEN];
};

struct CMD_GF_VELMORA_LUCKY_USER_RSP {
  std::uint32_t unused0;  // carried, not read by the client
  std::uint32_t goodsNumber;
  std::uint32_t winnerShares;
  char drawTime[TIME_TEXT_LEN];
  char goodsName[50];
  char winnerNickname[NICKNAME_LEN];
  std::uint8_t reserved114[2];
};

struct CMD_GF_VELMORA_AUCTION_START_NTF {
  std::uint32_t goodsNumber;
};

struct CMD_GF_VELMORA_MY_BUY_RECORD_RSP {
  std::uint32_t unused0;  // carried, not read by the client
  std::uint32_t unused4;  // carried, not read by the client
  std::uint32_t shares;
  char buyTime[TIME_TEXT_LEN];
  char goodsName[50];
  std::uint8_t reserved82[2];
  std::uint32_t goodsValue;  // yuan
};

struct CMD_GF_VELMORA_GOODS_ITEM {
  std::uint32_t goodsId;
  std::uint32_t goodsNumber;
  std::uint32_t goodsValue;   // yuan
  std::uint32_t secondsLeft;  // sale countdown of this lot
  std::uint32_t unused16;     // carried, not read by the client
  std::uint32_t slot;         // 1..7
  std::uint32_t totalShares;
  std::uint32_t sharePrice;   // coins per share
  std::uint32_t state;        // GOODS_STATE_*
  char goodsName[32];
  char pictureFile[32];
  std::uint32_t likeCount;
  std::uint32_t unused104;    // carried, not read by the client
  std::uint32_t tileIndex;    // 0..6
  std::uint32_t heldShares;   // shares the local player holds
  std::uint32_t soldShares;
  std::uint32_t remainderThreshold;  // coins
  std::uint32_t minPurchase;         // coins
};

struct CMD_GF_VELMORA_LIKE_STATE_ENTRY {
  std::uint32_t goodsId;
  std::uint32_t liked;      // non-zero: the local player liked it
  std::uint32_t likeCount;  // 0 leaves the stored count
};

struct CMD_GF_VELMORA_LIKE_UPDATE_ENTRY {
  std::uint32_t unused0;  // carried, not read by the client
  std::uint32_t goodsId;
  std::uint32_t likeCount;  // 0 also clears the local liked mark
};

// ---------------------------------------------------------------------------
// Records (client to server)

struct CMD_GF_VELMORA_BUY_REQ {
  std::uint32_t goodsId;
  std::uint32_t shares;
};

struct CMD_GF_VELMORA_BUY_ALL_REQ {
  std::uint32_t goodsId;
};

struct CMD_GF_VELMORA_LIKE_REQ {
  std::uint32_t goodsId;
  std::uint32_t likeCount;  // always LIKE_REQUEST_COUNT
};

// ---------------------------------------------------------------------------
// Layout checks against the wire tables

#define VEL_WIRE_FIELD(T, f, off) static_assert(offsetof(T, f) == (off), #T "::" #f " offset")
#define VEL_WIRE_SIZE(T, n)                                                     \
  static_assert(sizeof(T) == (n), #T " size");                                  \
  static_assert(std::is_trivially_copyable_v<T> && std::is_standard_layout_v<T>, \
                #T " must be a plain byte image")

VEL_WIRE_SIZE(CMD_GF_VELMORA_BUY_RSP, 1);
VEL_WIRE_FIELD(CMD_GF_VELMORA_BUY_RSP, result, 0);

VEL_WIRE_SIZE(CMD_GF_VELMORA_BUY_NTF, 32);
VEL_WIRE_FIELD(CMD_GF_VELMORA_BUY_NTF, userId, 0);
VEL_WIRE_FIELD(CMD_GF_VELMORA_BUY_NTF, goodsId, 4);
VEL_WIRE_FIELD(CMD_GF_VELMORA_BUY_NTF, shares, 8);
VEL_WIRE_FIELD(CMD_GF_VELMORA_BUY_NTF, buyTime, 12);

VEL_WIRE_SIZE(CMD_GF_VELMORA_AUCTION_RESULT_NTF, 68);
VEL_WIRE_FIELD(CMD_GF_VELMORA_AUCTION_RESULT_NTF, kind, 0);
VEL_WIRE_FIELD(CMD_GF_VELMORA_AUCTION_RESULT_NTF, winnerNickname, 2);
VEL_WIRE_FIELD(CMD_GF_VELMORA_AUCTION_RESULT_NTF, reserved34, 34);
VEL_WIRE_FIELD(CMD_GF_VELMORA_AUCTION_RESULT_NTF, goodsNumber, 36);
VEL_WIRE_FIELD(CMD_GF_VELMORA_AUCTION_RESULT_NTF, nextGoodsNumber, 40);
VEL_WIRE_FIELD(CMD_GF_VELMORA_AUCTION_RESULT_NTF, drawTime, 44);
VEL_WIRE_FIELD(CMD_GF_VELMORA_AUCTION_RESULT_NTF, winnerShares, 64);

VEL_WIRE_SIZE(CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP, 116);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP, goodsNumber, 0);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP, goodsName, 4);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP, winnerNickname, 60);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP, winnerShares, 92);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP, drawTime, 96);

VEL_WIRE_SIZE(CMD_GF_VELMORA_LUCKY_USER_RSP, 116);
VEL_WIRE_FIELD(CMD_GF_VELMORA_LUCKY_USER_RSP, unused0, 0);
VEL_WIRE_FIELD(CMD_GF_VELMORA_LUCKY_USER_RSP, goodsNumber, 4);
VEL_WIRE_FIELD(CMD_GF_VELMORA_LUCKY_USER_RSP, winnerShares, 8);
VEL_WIRE_FIELD(CMD_GF_VELMORA_LUCKY_USER_RSP, drawTime, 12);
VEL_WIRE_FIELD(CMD_GF_VELMORA_LUCKY_USER_RSP, goodsName, 32);
VEL_WIRE_FIELD(CMD_GF_VELMORA_LUCKY_USER_RSP, winnerNickname, 82);
VEL_WIRE_FIELD(CMD_GF_VELMORA_LUCKY_USER_RSP, reserved114, 114);

VEL_WIRE_SIZE(CMD_GF_VELMORA_AUCTION_START_NTF, 4);
VEL_WIRE_FIELD(CMD_GF_VELMORA_AUCTION_START_NTF, goodsNumber, 0);

VEL_WIRE_SIZE(CMD_GF_VELMORA_MY_BUY_RECORD_RSP, 88);
VEL_WIRE_FIELD(CMD_GF_VELMORA_MY_BUY_RECORD_RSP, unused0, 0);
VEL_WIRE_FIELD(CMD_GF_VELMORA_MY_BUY_RECORD_RSP, unused4, 4);
VEL_WIRE_FIELD(CMD_GF_VELMORA_MY_BUY_RECORD_RSP, shares, 8);
VEL_WIRE_FIELD(CMD_GF_VELMORA_MY_BUY_RECORD_RSP, buyTime, 12);
VEL_WIRE_FIELD(CMD_GF_VELMORA_MY_BUY_RECORD_RSP, goodsName, 32);
VEL_WIRE_FIELD(CMD_GF_VELMORA_MY_BUY_RECORD_RSP, reserved82, 82);
VEL_WIRE_FIELD(CMD_GF_VELMORA_MY_BUY_RECORD_RSP, goodsValue, 84);

VEL_WIRE_SIZE(CMD_GF_VELMORA_GOODS_ITEM, 128);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, goodsId, 0);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, goodsNumber, 4);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, goodsValue, 8);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, secondsLeft, 12);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, unused16, 16);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, slot, 20);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, totalShares, 24);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, sharePrice, 28);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, state, 32);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, goodsName, 36);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, pictureFile, 68);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, likeCount, 100);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, unused104, 104);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, tileIndex, 108);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, heldShares, 112);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, soldShares, 116);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, remainderThreshold, 120);
VEL_WIRE_FIELD(CMD_GF_VELMORA_GOODS_ITEM, minPurchase, 124);

VEL_WIRE_SIZE(CMD_GF_VELMORA_LIKE_STATE_ENTRY, 12);
VEL_WIRE_FIELD(CMD_GF_VELMORA_LIKE_STATE_ENTRY, goodsId, 0);
VEL_WIRE_FIELD(CMD_GF_VELMORA_LIKE_STATE_ENTRY, liked, 4);
VEL_WIRE_FIELD(CMD_GF_VELMORA_LIKE_STATE_ENTRY, likeCount, 8);

VEL_WIRE_SIZE(CMD_GF_VELMORA_LIKE_UPDATE_ENTRY, 12);
VEL_WIRE_FIELD(CMD_GF_VELMORA_LIKE_UPDATE_ENTRY, unused0, 0);
VEL_WIRE_FIELD(CMD_GF_VELMORA_LIKE_UPDATE_ENTRY, goodsId, 4);
VEL_WIRE_FIELD(CMD_GF_VELMORA_LIKE_UPDATE_ENTRY, likeCount, 8);

VEL_WIRE_SIZE(CMD_GF_VELMORA_BUY_REQ, 8);
VEL_WIRE_FIELD(CMD_GF_VELMORA_BUY_REQ, goodsId, 0);
VEL_WIRE_FIELD(CMD_GF_VELMORA_BUY_REQ, shares, 4);

VEL_WIRE_SIZE(CMD_GF_VELMORA_BUY_ALL_REQ, 4);
VEL_WIRE_FIELD(CMD_GF_VELMORA_BUY_ALL_REQ, goodsId, 0);

VEL_WIRE_SIZE(CMD_GF_VELMORA_LIKE_REQ, 8);
VEL_WIRE_FIELD(CMD_GF_VELMORA_LIKE_REQ, goodsId, 0);
VEL_WIRE_FIELD(CMD_GF_VELMORA_LIKE_REQ, likeCount, 4);

#undef VEL_WIRE_FIELD
#undef VEL_WIRE_SIZE

// ---------------------------------------------------------------------------
// Size rules

enum class MessageShape : std::uint8_t {
  Fixed,      // size must equal the record size
  List,       // size must be a multiple of the element size; 0 is an empty list
  LikeArray,  // any size; entries i < min(LIKE_ENTRY_COUNT, size / element)
};

// Record type and size rule of each server sub-command.
template <std::uint16_t Sub>
struct ServerSub;  // undefined for codes outside 1..11

#define VEL_SERVER_MESSAGE(code, T, shape)          \
  template <>                                       \
  struct ServerSub<code> {                      \
    using Record = T;                               \
    static constexpr MessageShape kShape = (shape); \
  }
VEL_SERVER_MESSAGE(SUB_S_BUY_RESULT, CMD_GF_VELMORA_BUY_RSP, MessageShape::Fixed);
VEL_SERVER_MESSAGE(SUB_S_BUY_NOTIFY, CMD_GF_VELMORA_BUY_NTF, MessageShape::Fixed);
VEL_SERVER_MESSAGE(SUB_S_AUCTION_RESULT, CMD_GF_VELMORA_AUCTION_RESULT_NTF, MessageShape::Fixed);
VEL_SERVER_MESSAGE(SUB_S_RECENTLY_RESULT, CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP, MessageShape::List);
VEL_SERVER_MESSAGE(SUB_S_LUCKY_USER, CMD_GF_VELMORA_LUCKY_USER_RSP, MessageShape::List);
VEL_SERVER_MESSAGE(SUB_S_AUCTION_START, CMD_GF_VELMORA_AUCTION_START_NTF, MessageShape::Fixed);
VEL_SERVER_MESSAGE(SUB_S_MY_BUY_RECORD, CMD_GF_VELMORA_MY_BUY_RECORD_RSP, MessageShape::List);
VEL_SERVER_MESSAGE(SUB_S_GOODS_LIST, CMD_GF_VELMORA_GOODS_ITEM, MessageShape::List);
VEL_SERVER_MESSAGE(SUB_S_LIKE_STATE, CMD_GF_VELMORA_LIKE_STATE_ENTRY, MessageShape::LikeArray);
VEL_SERVER_MESSAGE(SUB_S_LIKE_UPDATE, CMD_GF_VELMORA_LIKE_UPDATE_ENTRY, MessageShape::LikeArray);
VEL_SERVER_MESSAGE(SUB_S_EXCHANGE_GOODS, CMD_GF_VELMORA_GOODS_ITEM, MessageShape::List);
#undef VEL_SERVER_MESSAGE

// Record type of each client request.
template <std::uint16_t Sub>
struct ClientSub;  // undefined for codes outside 1..3
template <>
struct ClientSub<SUB_C_BUY> { using Record = CMD_GF_VELMORA_BUY_REQ; };
template <>
struct ClientSub<SUB_C_BUY_ALL> { using Record = CMD_GF_VELMORA_BUY_ALL_REQ; };
template <>
struct ClientSub<SUB_C_LIKE> { using Record = CMD_GF_VELMORA_LIKE_REQ; };

// Shape and element size of a server sub-command at run time; false for an
// unknown code.
bool GetServerMessageShape(std::uint16_t subCmd, MessageShape* shape, std::size_t* elementSize);

// True when a server message of this code and size passes its size rule.
// Unknown codes fail.
bool IsServerMessageSizeValid(std::uint16_t subCmd, std::size_t size);

// Size of a client request record; 0 for an unknown code.
std::size_t ClientRequestSize(std::uint16_t subCmd);

// ---------------------------------------------------------------------------
// List view

// Read-only view over the elements of a received list. Elements are copied
// out with memcpy, never dereferenced in place.
template <class T>
class RecordList {
  static_assert(std::is_trivially_copyable_v<T>, "wire records only");

 public:
  RecordList() = default;
  RecordList(const void* data, std::size_t count)
      : data_(static_cast<const unsigned char*>(data)), count_(data ? count : 0) {}

  std::size_t Count() const { return count_; }
  bool Empty() const { return count_ == 0; }

  // Element i, or false when i is out of range (out is left untouched).
  bool Get(std::size_t i, T* out) const {
    if (i >= count_ || out == nullptr) return false;
    std::memcpy(out, data_ + i * sizeof(T), sizeof(T));
    return true;
  }

  // Element i; a zero-filled record when i is out of range.
  T operator[](std::size_t i) const {
    T value;
    std::memset(&value, 0, sizeof(T));
    Get(i, &value);
    return value;
  }

  // The raw bytes of element i (sizeof(T) of them), null when out of range.
  const void* RawAt(std::size_t i) const { return i < count_ ? data_ + i * sizeof(T) : nullptr; }

 private:
  const unsigned char* data_ = nullptr;
  std::size_t count_ = 0;
};

// ---------------------------------------------------------------------------
// Readers

// A fixed server record (codes 1, 2, 3, 6): only an exact size is accepted.
// The auction result's kind is not checked here (the handler rejects kinds
// other than 1 and 2).
template <std::uint16_t Sub>
std::optional<typename ServerSub<Sub>::Record> ReadServerRecord(const void* data, std::uint16_t size) {
  static_assert(ServerSub<Sub>::kShape == MessageShape::Fixed, "not a fixed record; use ReadServerList");
  return plat::net::ReadExact<typename ServerSub<Sub>::Record>(data, size);
}

// A server list (codes 4, 5, 7, 8, 11) or like array (9, 10).
// Lists: nullopt unless size is a multiple of the element size (0 gives an
// empty list). Like arrays: always a view of min(7, size / 12) entries.
template <std::uint16_t Sub>
std::optional<RecordList<typename ServerSub<Sub>::Record>> ReadServerList(const void* data,
                                                                              std::uint16_t size) {
  using T = typename ServerSub<Sub>::Record;
  static_assert(ServerSub<Sub>::kShape != MessageShape::Fixed, "a fixed record; use ReadServerRecord");
  std::size_t count = size / sizeof(T);
  if constexpr (ServerSub<Sub>::kShape == MessageShape::List) {
    if (size % sizeof(T) != 0) return std::nullopt;
  } else {
    if (count > LIKE_ENTRY_COUNT) count = LIKE_ENTRY_COUNT;
  }
  if (data == nullptr) count = 0;
  return RecordList<T>(data, count);
}

// The scene body for statuses 0 and 100: a goods list.
inline std::optional<RecordList<CMD_GF_VELMORA_GOODS_ITEM>> ReadSceneGoods(const void* data, std::uint16_t size) {
  return ReadServerList<SUB_S_GOODS_LIST>(data, size);
}

// A client request as the server receives it: exact size only.
template <std::uint16_t Sub>
std::optional<typename ClientSub<Sub>::Record> ReadClientRequest(const void* data, std::size_t size) {
  return plat::net::ReadExact<typename ClientSub<Sub>::Record>(data, size);
}

// ---------------------------------------------------------------------------
// Text fields

// The wire reader's: FieldText(record.field) up to the first zero byte or the field's end
// (FieldTextView: the same bytes in place, valid while the record lives); SetFieldText
// zero-pads and never cuts a GBK double-byte character in half.
using plat::net::FieldText;
using plat::net::FieldTextView;
using plat::net::ReadFieldText;
using plat::net::ReadFieldTextView;
using plat::net::SetFieldText;
using plat::net::WriteFieldText;

// ---------------------------------------------------------------------------
// Request builders (send as: code, &record, sizeof record, MAIN_CMD_GAME)

CMD_GF_VELMORA_BUY_REQ MakeBuyRequest(std::uint32_t goodsId, std::uint32_t shares);
CMD_GF_VELMORA_BUY_ALL_REQ MakeBuyAllRequest(std::uint32_t goodsId);
CMD_GF_VELMORA_LIKE_REQ MakeLikeRequest(std::uint32_t goodsId);
