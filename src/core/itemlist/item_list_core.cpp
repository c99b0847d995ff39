#include "core/itemlist/item_list_core.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <system_error>

#include "core/itemlist/item_list_motion.h"

namespace zentorak {

ItemListCore::ItemListCore(ItemListHost& host, int defaultHeight, int screenWidth, int screenHeight)
    : host_(host),
      dragThresholdX_(std::max(screenWidth, screenHeight) / 50),
      dragThresholdY_(dragThresholdX_),
      defaultHeight_(defaultHeight) {
    std::copy(std::begin(kItemListDefaultColors), std::end(kItemListDefaultColors), colors_);
    std::copy(std::begin(kDefaultStoreSlots), std::end(kDefaultStoreSlots), slots_);
}

ItemListCore::~ItemListCore() {
    StopCoastThread();
}

void ItemListCore::StopCoastThread() {
    stopCoasting_ = 1;
    if (coastThread_.joinable()) {
        coastThread_.join();
    }
}

MsgResult ItemListCore::InitStore() {
    return CallSlot(kSlotInitStore);
}

MsgResult ItemListCore::DestroyStore() {
    StopCoastThread();
    return CallSlot(kSlotDestroyStore);
}

MsgResult ItemListCore::CallSlot(int slot, MsgLParam a, MsgLParam b, MsgLParam c) {
    // A slot replaced by null does nothing rather than crash.
    InertListCallback f = slots_[slot];
    return f != nullptr ? f(&store_, a, b, c) : 0;
}

RowLayout ItemListCore::Layout() {
    RowLayout rows;
    rows.count = Count();
    rows.defaultHeight = defaultHeight_;
    rows.wrap = (flags_ & ILVF_WRAP) != 0;
    rows.ownHeight = [this](int index) {
        return slots_[kSlotGetOwnHeight] != nullptr
                   ? static_cast<int>(CallSlot(kSlotGetOwnHeight, index))
                   : -1;
    };
    return rows;
}

int ItemListCore::HeightForMessage(MsgLParam index) {
    int own = index == -1 ? -1 : static_cast<int>(CallSlot(kSlotGetOwnHeight, index));
    return own < 0 ? defaultHeight_ : own;
}

MsgResult ItemListCore::Handle(std::uint32_t msg, MsgWParam wParam, MsgLParam lParam,
                               bool& handled) {
    // Index arguments travel unsigned; -1 must stay -1.
    auto w = static_cast<MsgLParam>(wParam);
    handled = true;
    MsgResult result = HandleItemMessage(msg, w, lParam, handled);
    if (handled) {
        return result;
    }
    handled = true;
    result = HandleStateMessage(msg, w, lParam, handled);
    if (handled) {
        return result;
    }
    handled = true;
    return HandleInput(msg, w, lParam, handled);
}

MsgResult ItemListCore::HandleItemMessage(std::uint32_t msg, MsgLParam w, MsgLParam l,
                                          bool& handled) {
    switch (msg) {
        case ILVM_RESETCONTENT:
            return CallSlot(kSlotClearStore);
        case ILVM_ADDITEM:
            return CallSlot(kSlotAppend, l);
        case ILVM_INSERTITEM:
            return CallSlot(kSlotInsert, w, l);
        case ILVM_DELETEITEM:
            return CallSlot(kSlotDelete, w);
        case ILVM_FINDITEM:
            return CallSlot(kSlotFind, w, l);
        case ILVM_GETITEMFLAGS:
            return CallSlot(kSlotGetFlags, w);
        case ILVM_SETITEMFLAGS:
            return CallSlot(kSlotSetFlags, w, l);
        case ILVM_GETCOUNT:
            return CallSlot(kSlotCount);
        case ILVM_GETITEM:
            return CallSlot(kSlotRead, w, l);
        case ILVM_SETITEM:
            return CallSlot(kSlotReplace, w, l);
        case ILVM_FREEITEM:
            return CallSlot(kSlotRelease, l);
        case ILVM_GETITEMHEIGHT:
            return HeightForMessage(w);
        case ILVM_SETITEMHEIGHT:
            if (w == -1) {
                defaultHeight_ = static_cast<int>(l);
                return 0;
            }
            return CallSlot(kSlotSetHeight, w, l);
        case ILVM_GETITEMRECT: {
            auto* rect = reinterpret_cast<ItemRect*>(l);
            if (rect == nullptr) {
                return kItemListBadItem;  // nowhere to put the answer
            }
            *rect = ItemRect{0, 0, host_.ClientWidth(), HeightForMessage(w)};
            return 0;
        }
        default:
            handled = false;
            return 0;
    }
}

MsgResult ItemListCore::HandleStateMessage(std::uint32_t msg, MsgLParam w, MsgLParam l,
                                           bool& handled) {
    if (msg >= ILVM_SETCOLOR && msg < ILVM_SETCOLOR + 2 * kItemListColorCount) {
        int k = static_cast<int>(msg - ILVM_SETCOLOR) / 2;
        if ((msg - ILVM_SETCOLOR) % 2 == 1) {
            return colors_[k];
        }
        colors_[k] = static_cast<ColorRef>(l);
        return 0;
    }
    switch (msg) {
        case ILVM_GETTOPINDEX:
            return topIndex_;
        case ILVM_SETTOPINDEX:
            if (w < 0 || w >= Count()) {
                return kItemListRefused;
            }
            topIndex_ = static_cast<int>(w);
            return 0;
        case ILVM_GETPRESSED:
            return pressedIndex_;
        case ILVM_SETPRESSED:
            if (w < 0 || w >= Count()) {
                return kItemListRefused;
            }
            pressedIndex_ = static_cast<int>(w);
            return 0;
        case ILVM_SETCALLBACK:
            // A slot number outside the table is refused instead of writing past it.
            if (w < 0 || w >= kItemListSlotCount) {
                return kItemListRefused;
            }
            slots_[w] = reinterpret_cast<InertListCallback>(l);
            return 0;
        case ILVM_GETCALLBACK:
            return (w < 0 || w >= kItemListSlotCount) ? 0 : reinterpret_cast<MsgResult>(slots_[w]);
        case ILVM_GETDRAGSTATE:
            return dragging_ ? 1 : 0;
        case ILVM_SETFLAGS:
            flags_ = static_cast<std::uint32_t>(l) | (flags_ & ~static_cast<std::uint32_t>(w));
            return 0;
        case ILVM_GETFLAGS:
            return flags_ & static_cast<std::uint32_t>(w);
        case ILVM_CANCELPRESS:
            penDown_ = false;
            host_.ReleaseCapture();
            return 0;
        default:
            handled = false;
            return 0;
    }
}

MsgResult ItemListCore::HandleInput(std::uint32_t msg, MsgLParam w, MsgLParam l, bool& handled) {
    switch (msg) {
        case wm::kSize:
            Resized();
            return 0;
        case wm::kCaptureChanged:
            return 0;
        case wm::kKeyDown:
            host_.SetFocus();
            KeyDown(static_cast<int>(w));
            return 0;
        case wm::kKeyUp:
            host_.SetFocus();
            return 0;
        case wm::kLButtonDown:
            host_.SetFocus();
            PenDownAt(PointParamX(l), PointParamY(l));
            return 0;
        case wm::kMouseMove:
            host_.SetFocus();
            MoveTo(PointParamX(l), PointParamY(l));
            return 0;
        case wm::kLButtonUp:
            host_.SetFocus();
            return PenUpAt(PointParamX(l), PointParamY(l));
        default:
            handled = false;
            return 0;
    }
}

}  // namespace zentorak
