// Stylus, keys, resizing, coasting and the paint walk of ItemListCore.
#include <algorithm>
#include <cstdlib>
#include <new>
#include <system_error>

#include "core/itemlist/item_list_core.h"
#include "core/itemlist/item_list_motion.h"

namespace zentorak {
namespace {

int Sign(int v) {
    return (v > 0) - (v < 0);
}

}  // namespace

void ItemListCore::PenDownAt(int x, int y) {
    if (coastRunning_) {
        // The tap only halts the motion; the pressed row stays as it was.
        stopCoasting_ = 1;
        host_.SetCapture();
        return;
    }
    dragging_ = false;
    penDown_ = true;
    RowLayout rows = Layout();
    int row = RowAtOffset(rows, topIndex_, -y).index;
    pressedIndex_ = row >= rows.count ? -1 : row;
    downX_ = curX_ = anchorX_ = x;
    downY_ = anchorY_ = y;
    curY_ = y;
    lastDirection_ = 0;
    anchorTime_ = host_.NowMs();
    host_.Invalidate();
    host_.SetCapture();
}

void ItemListCore::MoveTo(int x, int y) {
    if (dragging_ && !coastRunning_) {
        int curY = curY_;
        if (y != curY) {
            int direction = y > curY ? 1 : -1;
            if (direction != lastDirection_) {
                anchorTime_ = host_.NowMs();
                anchorX_ = curX_;
                anchorY_ = curY;
                lastDirection_ = direction;
            }
        }
        curX_ = x;
        curY_ = y;
        host_.Invalidate();
    }
    if (penDown_ &&
        (std::abs(x - downX_) >= dragThresholdX_ || std::abs(y - downY_) >= dragThresholdY_)) {
        dragging_ = true;
        curX_ = x;
        curY_ = y;
        lastDirection_ = Sign(y - downY_);
        host_.Invalidate();
    }
}

MsgResult ItemListCore::PenUpAt(int x, int y) {
    curX_ = x;
    // While coasting the vertical position is the simulated one; taking the stylus position
    // here would make the list jump to wherever the halting tap happened.
    if (!coastRunning_) {
        curY_ = y;
    }
    penDown_ = false;
    MsgResult result = 0;
    if (!dragging_) {
        host_.Invalidate();
    } else if (!coastRunning_) {
        result = StartCoast(y - anchorY_, static_cast<int>(host_.NowMs() - anchorTime_));
    }
    host_.ReleaseCapture();
    return result;
}

void ItemListCore::KeyDown(int key) {
    int top = topIndex_;
    switch (key) {
        case vk::kHome:
            top = 0;
            break;
        case vk::kEnd:
            // An empty list has no last page; the top stays at 0 as for resizing.
            top = std::max(LastPageTop(Layout(), Count() - 1, host_.ClientHeight()), 0);
            break;
        case vk::kUp:
            if (top > 0) {
                --top;
            }
            break;
        case vk::kDown:
            if (top < Count() - 1) {
                ++top;
            }
            break;
        default:
            break;
    }
    if (top != topIndex_) {
        topIndex_ = top;
        host_.Invalidate();
        host_.UpdateNow();
    }
}

void ItemListCore::Resized() {
    if (topIndex_ < 0) {
        topIndex_ = 0;
        return;
    }
    int last = std::max(LastPageTop(Layout(), Count() - 1, host_.ClientHeight()), 0);
    if (topIndex_ > last) {
        topIndex_ = last;
        host_.Invalidate();
        host_.UpdateNow();
    }
}

MsgResult ItemListCore::StartCoast(int dy, int dt) {
    if (coastThread_.joinable()) {
        coastThread_.join();  // a thread that failed to hand over its end; it has finished
    }
    stopCoasting_ = 0;
    try {
        coastThread_ = std::thread(&ItemListCore::CoastLoop, this, dy, dt);
    } catch (const std::bad_alloc&) {
        return kItemListNoCoastBlock;
    } catch (const std::system_error&) {
        return kItemListNoCoastThread;
    }
    coastRunning_ = true;
    return 0;
}

// Runs on the coasting thread: it only moves curY, reads stopCoasting and queues work for the
// user-interface thread; the snap, which reads the items and the window size, runs there.
void ItemListCore::CoastLoop(int dy, int dt) {
    host_.PostNotification(ILVN_COASTBEGIN);
    CoastPlan plan = PlanCoast(dy, dt);
    if (dy != 0 && stopCoasting_ == 0) {
        int travelled = 0;
        for (int frame = 1;; ++frame) {
            int s = CoastDistance(plan, frame);
            curY_ += s - travelled;
            travelled = s;
            host_.RequestRepaint();
            host_.SleepMs(kCoastFrameMs);
            if (IsLastCoastFrame(plan, frame) || stopCoasting_ != 0) {
                break;
            }
        }
    }
    host_.PostTask([this] { FinishCoast(); });
}

void ItemListCore::FinishCoast() {
    if (coastThread_.joinable()) {
        coastThread_.join();
    }
    RowLayout rows = Layout();
    topIndex_ = RowAtOffset(rows, topIndex_, curY_ - downY_).index;
    dragging_ = false;
    if (topIndex_ < 0) {
        topIndex_ = 0;
    } else if (!rows.wrap) {
        // An empty list has no last page; its top stays at 0.
        int last = std::max(LastPageTop(rows, rows.count - 1, host_.ClientHeight()), 0);
        topIndex_ = std::min(topIndex_, last);
    }
    host_.Invalidate();
    coastRunning_ = false;
    host_.PostNotification(ILVN_COASTEND);
}

MsgResult ItemListCore::PaintRows(int clientHeight, const RowPainter& draw) {
    std::unique_lock lock(paintLock_, std::try_to_lock);
    if (!lock.owns_lock()) {
        return 0;
    }
    RowLayout rows = Layout();
    RowPosition first{topIndex_, 0};
    if (dragging_) {
        first = RowAtOffset(rows, topIndex_, curY_ - downY_);
    }
    bool drewItem = false;
    for (int index = first.index, y = first.top; y < clientHeight;) {
        bool isItem = index >= 0 && index < rows.count;
        int height = rows.HeightOf(index);
        if (MsgResult r = draw(index, y, height, isItem); r != 0) {
            return r;
        }
        drewItem = drewItem || isItem;
        y += height;
        index = rows.Normalise(index + 1);
    }
    if (dragging_ && !drewItem) {
        // A list thrown entirely out of view stops coasting.
        stopCoasting_ = 1;
    }
    return 0;
}

}  // namespace zentorak
