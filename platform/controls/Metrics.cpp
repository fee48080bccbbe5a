#include "platform/controls/Metrics.h"

#include "platform/gdi/Surface.h"

namespace ce {

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: {
      auto screen = GetScreenSurface();
      return screen != nullptr ? screen->Width() : 240;
    }
    case SM_CYSCREEN: {
      auto screen = GetScreenSurface();
      return screen != nullptr ? screen->Height() : 320;
    }
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
      return kScrollBarSize;
    case SM_CYCAPTION:
    case SM_CYMENU:
      return 26;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    case SM_CXICON:
    case SM_CYICON:
      return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
      return 16;
    default:
      return 0;
  }
}

}  // namespace ce
