// The coasting arithmetic of the item list control: release speed, constant deceleration, frame
// count and the distance travelled after each 20 ms frame. Pure arithmetic; the thread that
// plays the frames lives in the control.
#pragma once

namespace zentorak {

inline constexpr int kCoastFrameMs = 20;
inline constexpr int kCoastFrameLimit = 200;

struct CoastPlan {
    float v;     // release speed, pixels per millisecond
    float d;     // deceleration, pixels per square millisecond, against v
    int frames;  // N: time to standstill in whole frames
};

// Speed and deceleration in single precision, N in integer arithmetic. An elapsed time below
// 1 ms counts as 1 ms, so that a move and release within one clock tick cannot divide by zero.
CoastPlan PlanCoast(int dy, int dtMs);

// The whole distance travelled by the end of frame i (t = 20 i ms), computed in double
// precision and truncated toward zero.
int CoastDistance(const CoastPlan& plan, int frame);

// True when frame i is the last one to run: it exceeds N or the frame limit.
inline bool IsLastCoastFrame(const CoastPlan& plan, int frame) {
    return frame > plan.frames || frame > kCoastFrameLimit;
}

}  // namespace zentorak
