// The control container window: a child window of class "AtlAxWin80" that
// holds one media control, created in it by class identifier, and destroys
// the control with itself.
#pragma once

#include "platform/media/MediaPlayer.h"

namespace ce {

constexpr const char16_t* kMediaContainerClass = u"AtlAxWin80";

// Registers the container's window class (once per process).
void RegisterMediaContainerClass();

// Creates the control with that class identifier in the container (the
// container owns it; *player is borrowed until the container is
// destroyed). E_INVALIDARG when container is not a container window or
// already holds a control, REGDB_E_CLASSNOTREG for an unknown class
// identifier, or the control's own error when it cannot start.
HRESULT CreateControlInContainer(HWND container, const std::u16string& classId,
                                 MediaPlayer** player);

// The control a container holds; null when it holds none.
MediaPlayer* ContainerControl(HWND container);

}  // namespace ce
