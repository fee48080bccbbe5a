// Message boxes drawn on the screen: a modal box with the caption, an icon,
// the text and its buttons (OK, OK/Cancel, Yes/No, Yes/No/Cancel,
// Retry/Cancel). The buttons carry the answers as their ids (IDOK, IDYES,
// ...), so a script taps them like any control.
//
// ce::MessageBox keeps deciding through its handler: the screen installs the
// drawn boxes with InstallDrawnMessageBoxes, tests install a scripted user
// over them.
#pragma once

#include "platform/base/MessageBox.h"

namespace ce {

// Shows the box and returns the id of the button chosen.
int ShowDrawnMessageBox(const MessageBoxRequest& request);
// Makes ce::MessageBox show drawn boxes; returns the handler it replaced.
MessageBoxHandler InstallDrawnMessageBoxes();

}  // namespace ce
