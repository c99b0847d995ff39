// The item list control without its window: state, message handling for items, colours, slots,
// stylus, keys and resizing, the row walk of a paint pass, and the coasting thread. Drawing,
// fonts and the window itself belong to the host (the Qt widget, or a test double).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "core/itemlist/item_list_geometry.h"
#include "core/itemlist/item_list_types.h"
#include "core/itemlist/item_store.h"

namespace zentorak {

// What the control needs from its window. Methods marked "any thread" are called by the
// coasting thread and must only queue work for the user-interface thread. Work queued by a
// control that has since been destroyed must be dropped, never run.
class ItemListHost {
public:
    virtual ~ItemListHost() = default;
    virtual void Invalidate() = 0;  // the whole client area, painted later
    virtual void UpdateNow() = 0;   // paint what is invalid at once
    virtual void SetFocus() = 0;
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    virtual std::int64_t NowMs() = 0;                       // a millisecond tick count
    virtual void SleepMs(int ms) = 0;                       // any thread
    virtual void RequestRepaint() = 0;                      // any thread
    virtual void PostNotification(int code) = 0;            // any thread; to the parent
    virtual void PostTask(std::function<void()> task) = 0;  // any thread
};

struct ItemRect {
    std::int32_t left, top, right, bottom;
};

class ItemListCore {
public:
    // The drag thresholds are the larger screen side / 50, as on the handset.
    ItemListCore(ItemListHost& host, int defaultHeight, int screenWidth, int screenHeight);
    // Stops a running coast and joins its thread, so no thread outlives the control.
    ~ItemListCore();
    ItemListCore(const ItemListCore&) = delete;
    ItemListCore& operator=(const ItemListCore&) = delete;

    MsgResult InitStore();     // slot 1, the creation result
    MsgResult DestroyStore();  // slot 2

    // Every message but painting and fonts; handled is false for messages left to the default.
    MsgResult Handle(std::uint32_t msg, MsgWParam wParam, MsgLParam lParam, bool& handled);

    // One paint pass over the visible rows under paintLock: draw(index, top, height, isItem) is
    // called per row from the top; a non-zero result ends the pass and is returned. Returns 0
    // at once when another pass holds the lock.
    using RowPainter = std::function<MsgResult(int index, int top, int height, bool isItem)>;
    MsgResult PaintRows(int clientHeight, const RowPainter& draw);

    MsgResult CallSlot(int slot, MsgLParam a = 0, MsgLParam b = 0, MsgLParam c = 0);
    InertListCallback Slot(int slot) const { return slots_[slot]; }
    InertItemStore& Store() { return store_; }
    RowLayout Layout();
    int Count() { return static_cast<int>(CallSlot(kSlotCount)); }

    ColorRef Color(int k) const { return colors_[k]; }
    std::uint32_t Flags() const { return flags_; }
    int TopIndex() const { return topIndex_; }
    int PressedIndex() const { return pressedIndex_; }
    bool PenDown() const { return penDown_; }
    bool Dragging() const { return dragging_; }
    bool Coasting() const { return coastRunning_; }
    int DefaultHeight() const { return defaultHeight_; }
    void SetDefaultHeight(int height) { defaultHeight_ = height; }
    int DragThreshold() const { return dragThresholdY_; }
    int CurY() const { return curY_.load(); }

private:
    MsgResult HandleItemMessage(std::uint32_t msg, MsgLParam w, MsgLParam l, bool& handled);
    MsgResult HandleStateMessage(std::uint32_t msg, MsgLParam w, MsgLParam l, bool& handled);
    MsgResult HandleInput(std::uint32_t msg, MsgLParam w, MsgLParam l, bool& handled);
    int HeightForMessage(MsgLParam index);
    void PenDownAt(int x, int y);
    void MoveTo(int x, int y);
    MsgResult PenUpAt(int x, int y);
    void KeyDown(int key);
    void Resized();
    MsgResult StartCoast(int dy, int dt);
    void CoastLoop(int dy, int dt);
    void FinishCoast();
    void StopCoastThread();

    ItemListHost& host_;
    std::uint32_t flags_ = 0;
    int topIndex_ = 0;
    int pressedIndex_ = 0;
    bool dragging_ = false;
    bool penDown_ = false;
    int dragThresholdX_;
    int dragThresholdY_;
    int downX_ = 0, downY_ = 0;
    int curX_ = 0;
    std::atomic<int> curY_{0};  // moved by the coasting thread, read by painting
    int anchorX_ = 0, anchorY_ = 0;
    int lastDirection_ = 0;
    std::mutex paintLock_;
    // Set on the user-interface thread when a coast starts and cleared when its end has been
    // handled there, so it is never shared with the coasting thread.
    bool coastRunning_ = false;
    std::thread coastThread_;
    std::atomic<int> stopCoasting_{1};
    std::int64_t anchorTime_ = 0;
    ColorRef colors_[kItemListColorCount];
    InertListCallback slots_[kItemListSlotCount];
    InertItemStore store_;
    int defaultHeight_;
};

}  // namespace zentorak
