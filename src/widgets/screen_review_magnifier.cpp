// The reviewed row for the low-vision magnifier. A terminal has no band to
// show it in, so nothing is drawn until a window front end brings one.
#include "widgets/screen_review_state.h"

namespace varlo {

void magnifyRow(int, int) {}
void clearMagnifier() {}

}  // namespace varlo
