// Kinetic scrolling with a finger, as on a phone: a drag on a touch screen scrolls the view and
// keeps it coasting, while a tap still reaches the view as a click. The mouse is left as it is
// (a mouse drag still selects).
#pragma once

class QAbstractScrollArea;

namespace zentorak {

void EnableFingerScrolling(QAbstractScrollArea* view);

}  // namespace zentorak
