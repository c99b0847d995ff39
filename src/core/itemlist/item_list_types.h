// The item list control's vocabulary: its message numbers, item and flag bits, colour defaults
// and the shape of its replaceable callbacks. Shared by the Qt-free core of the control and by
// its widget; holds no behaviour.
#pragma once

#include <cstdint>

namespace zentorak {

// Message parameters and results are pointer-sized, as window messages are.
using MsgWParam = std::uintptr_t;
using MsgLParam = std::intptr_t;
using MsgResult = std::intptr_t;

// The standard window messages and keys the control answers to.
namespace wm {
inline constexpr std::uint32_t kCreate = 0x0001;
inline constexpr std::uint32_t kDestroy = 0x0002;
inline constexpr std::uint32_t kSize = 0x0005;
inline constexpr std::uint32_t kPaint = 0x000F;
inline constexpr std::uint32_t kSetFont = 0x0030;
inline constexpr std::uint32_t kGetFont = 0x0031;
inline constexpr std::uint32_t kKeyDown = 0x0100;
inline constexpr std::uint32_t kKeyUp = 0x0101;
inline constexpr std::uint32_t kMouseMove = 0x0200;
inline constexpr std::uint32_t kLButtonDown = 0x0201;
inline constexpr std::uint32_t kLButtonUp = 0x0202;
inline constexpr std::uint32_t kCaptureChanged = 0x0215;
}  // namespace wm

namespace vk {
inline constexpr int kEnd = 0x23;
inline constexpr int kHome = 0x24;
inline constexpr int kLeft = 0x25;
inline constexpr int kUp = 0x26;
inline constexpr int kRight = 0x27;
inline constexpr int kDown = 0x28;
}  // namespace vk

// A point packed as two signed 16-bit halves (x low, y high), as mouse messages carry it.
inline MsgLParam MakePointParam(int x, int y) {
    return static_cast<MsgLParam>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                                  static_cast<std::uint32_t>(x & 0xFFFF));
}
inline int PointParamX(MsgLParam p) {
    return static_cast<std::int16_t>(p & 0xFFFF);
}
inline int PointParamY(MsgLParam p) {
    return static_cast<std::int16_t>((p >> 16) & 0xFFFF);
}

inline constexpr std::uint32_t ILVM_RESETCONTENT = 0x10001;
inline constexpr std::uint32_t ILVM_ADDITEM = 0x10002;
inline constexpr std::uint32_t ILVM_INSERTITEM = 0x10003;
inline constexpr std::uint32_t ILVM_DELETEITEM = 0x10004;
inline constexpr std::uint32_t ILVM_FINDITEM = 0x10005;
inline constexpr std::uint32_t ILVM_GETITEMFLAGS = 0x10006;
inline constexpr std::uint32_t ILVM_SETITEMFLAGS = 0x10007;
inline constexpr std::uint32_t ILVM_GETCOUNT = 0x10008;
inline constexpr std::uint32_t ILVM_GETITEMRECT = 0x10009;
inline constexpr std::uint32_t ILVM_GETITEMHEIGHT = 0x10011;
inline constexpr std::uint32_t ILVM_SETITEMHEIGHT = 0x10012;
inline constexpr std::uint32_t ILVM_GETITEM = 0x10013;
inline constexpr std::uint32_t ILVM_SETITEM = 0x10014;
inline constexpr std::uint32_t ILVM_FREEITEM = 0x10015;
inline constexpr std::uint32_t ILVM_GETTOPINDEX = 0x10020;
inline constexpr std::uint32_t ILVM_SETTOPINDEX = 0x10021;
inline constexpr std::uint32_t ILVM_GETPRESSED = 0x10022;
inline constexpr std::uint32_t ILVM_SETPRESSED = 0x10023;
inline constexpr std::uint32_t ILVM_SETCOLOR = 0x10030;  // + 2k for colour k
inline constexpr std::uint32_t ILVM_GETCOLOR = 0x10031;  // + 2k for colour k
inline constexpr std::uint32_t ILVM_SETCALLBACK = 0x10060;
inline constexpr std::uint32_t ILVM_GETCALLBACK = 0x10061;
inline constexpr std::uint32_t ILVM_GETDRAGSTATE = 0x10062;
inline constexpr std::uint32_t ILVM_SETFLAGS = 0x10064;
inline constexpr std::uint32_t ILVM_GETFLAGS = 0x10065;
inline constexpr std::uint32_t ILVM_CANCELPRESS = 0x10066;

// Message results besides 0 and the answers asked for.
inline constexpr MsgResult kItemListRefused = -1;   // an index or slot number out of range
inline constexpr MsgResult kItemListNotFound = -1;  // ILVM_FINDITEM: no item has the text
// Index out of range, a missing record, or a text copy that could not be allocated.
inline constexpr MsgResult kItemListBadItem = -100;
// The store's array could not grow: the store is left as it was, and the caller learns it by the
// allocation-failure code rather than a silently dropped row.
inline constexpr MsgResult kItemListNoMemory = -101;
// No coast: no memory, or no thread, for it.
inline constexpr MsgResult kItemListNoCoastBlock = -101;
inline constexpr MsgResult kItemListNoCoastThread = -102;

// Posted to the parent when a coast starts and when it has ended and the list has snapped.
inline constexpr int ILVN_COASTBEGIN = 0x500;
inline constexpr int ILVN_COASTEND = 0x501;

inline constexpr std::uint32_t ILVIF_OWNHEIGHT = 2;  // item flag: the row uses its own height
inline constexpr std::uint32_t ILVF_WRAP = 2;        // control flag: indices wrap around
inline constexpr std::uint32_t ILVF_SHADOW = 4;      // control flag: text drawn with a shadow

// The item record exchanged through the messages. Texts handed out by the control are new
// blocks from DuplicateItemText that the receiver frees with FreeItemText (or ILVM_FREEITEM).
struct InertListItem {
    std::uint32_t flags = 0;
    std::int32_t height = 0;
    char16_t* text = nullptr;
};

// Text drawing flags of every row, taken from the low byte of the control's style.
inline constexpr std::uint32_t DT_CENTER = 0x1;
inline constexpr std::uint32_t DT_RIGHT = 0x2;
inline constexpr std::uint32_t DT_VCENTER = 0x4;
inline constexpr std::uint32_t DT_BOTTOM = 0x8;
inline constexpr std::uint32_t DT_WORDBREAK = 0x10;
inline constexpr std::uint32_t DT_SINGLELINE = 0x20;
inline constexpr std::uint32_t DT_NOPREFIX = 0x800;
inline constexpr std::uint32_t DT_END_ELLIPSIS = 0x8000;
inline constexpr std::uint32_t DT_WORD_ELLIPSIS = 0x40000;

// Of each pair of style bits the first wins.
inline std::uint32_t TextFormatFromStyle(std::uint32_t style) {
    std::uint32_t format = DT_NOPREFIX;
    format |= (style & 0x01) ? DT_CENTER : (style & 0x02) ? DT_RIGHT : 0;
    format |= (style & 0x04) ? DT_VCENTER : (style & 0x08) ? DT_BOTTOM : 0;
    format |= (style & 0x10) ? DT_WORDBREAK : (style & 0x20) ? DT_SINGLELINE : 0;
    format |= (style & 0x40) ? DT_END_ELLIPSIS : (style & 0x80) ? DT_WORD_ELLIPSIS : 0;
    return format;
}

// Colours are 0x00BBGGRR.
using ColorRef = std::uint32_t;
inline constexpr int kItemListColorCount = 11;
inline constexpr ColorRef kItemListDefaultColors[kItemListColorCount] = {
    0xE0E0E0,  // 0 empty rows
    0xFFFFFF,  // 1 text
    0xC06040,  // 2 spare
    0x000000,  // 3 text shadow
    0xC06040,  // 4 row background
    0xF0F0F0,  // 5 separator
    0x000000,  // 6 pressed text
    0xDCDCDC,  // 7 spare
    0x808080,  // 8 pressed text shadow
    0xDCDCDC,  // 9 pressed background
    0x000000,  // 10 pressed separator
};

// Every slot has this one shape. Store slots get the InertItemStore as target and their index and
// record in a and b; drawing slots get the control as target, the message number in a, the paint
// wParam in b and the InertDrawContext in c.
using InertListCallback = MsgResult (*)(void* target, MsgLParam a, MsgLParam b, MsgLParam c);
inline constexpr int kItemListSlotCount = 20;

enum ItemListSlot {
    kSlotSpare = 0,
    kSlotInitStore = 1,
    kSlotDestroyStore = 2,
    kSlotClearStore = 3,
    kSlotNone = 4,
    kSlotFind = 5,
    kSlotAppend = 6,
    kSlotInsert = 7,
    kSlotDelete = 8,
    kSlotCount = 9,
    kSlotReplace = 10,
    kSlotRead = 11,
    kSlotRelease = 12,
    kSlotSetFlags = 13,
    kSlotGetFlags = 14,
    kSlotSetHeight = 15,
    kSlotGetOwnHeight = 16,
    kSlotGetText = 17,
    kSlotDrawRow = 18,
    kSlotDrawEmptyRow = 19,
};

}  // namespace zentorak
