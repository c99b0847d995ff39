#include "core/itemlist/item_list_motion.h"

#include <algorithm>

namespace zentorak {

CoastPlan PlanCoast(int dy, int dtMs) {
    CoastPlan plan;
    plan.v = static_cast<float>(dy) / static_cast<float>(std::max(dtMs, 1));
    plan.d = plan.v > 0 ? -0.002f : 0.002f;
    plan.frames = static_cast<int>(plan.v / plan.d) / -kCoastFrameMs;
    return plan;
}

int CoastDistance(const CoastPlan& plan, int frame) {
    double t = static_cast<double>(kCoastFrameMs) * frame;
    double s = (static_cast<double>(plan.v) + 0.5 * static_cast<double>(plan.d) * t) * t;
    return static_cast<int>(s);
}

}  // namespace zentorak
