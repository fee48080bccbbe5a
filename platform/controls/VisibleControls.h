// What the user can see and tap, for scripts and screen dumps: the visible
// controls of a window tree with their ids, rectangles and captions, the
// items of an open popup menu, and a hook that hears of every modal dialog,
// message box and popup menu as it starts.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/base/Types.h"
#include "platform/window/Geometry.h"

namespace ce {

struct VisibleControl {
  HWND window = nullptr;      // the control (for a menu item: the menu's window)
  int id = 0;                 // control id, or the item's command
  std::u16string className;   // window class, or u"MenuItem"
  std::u16string text;        // caption as shown (passwords masked)
  RECT screenRect;            // where it is on the screen
  bool enabled = true;
  bool checked = false;       // check boxes, radio buttons, checked menu items
  bool focused = false;
};

// Visible descendants of a top-level window (the window itself first), in
// z-order; for a popup menu window, its items.
std::vector<VisibleControl> ListVisibleControls(HWND topLevel);
// The first visible, enabled control (or menu item) with the id in the
// window's tree; false when there is none.
bool FindVisibleControl(HWND topLevel, int id, VisibleControl* found);

enum class ModalKind { kDialog, kMessageBox, kPopupMenu };
// Called on the modal window's thread just before its loop starts; may post
// or send messages to the window (a test taps a button this way). Returns
// the previous hook; an empty function removes it.
using ModalHook = std::function<void(HWND window, ModalKind kind)>;
ModalHook SetModalHook(ModalHook hook);

}  // namespace ce
