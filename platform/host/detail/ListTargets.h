// Internal: rows and items of list controls as script targets and as lines
// of a dump.
#pragma once

#include <string>
#include <vector>

#include "platform/host/Script.h"

namespace ce::detail {

// The point to tap on row or item `index` of the list view `list`: the
// middle of the part of it that lies inside `visible` (the screen rectangle
// of what is seen of the list). False with the reason when the control is no
// list, the list has no such entry, shows its entries the other way (rows
// in report and list views, items in icon views), or the entry is not seen.
// `id` names the control in the reason.
bool ListItemPoint(HWND list, ScriptTarget::Part part, int index, const RECT& visible, const std::string& id,
                   POINT* point, std::string* reason);

// Whether the list view holds row or item `index` (seen or not); false with
// the reason otherwise (no list, the other kind of view, too few entries).
bool ListHasEntry(HWND list, ScriptTarget::Part part, int index, std::string* reason);

// For a dump: one line for every row or item of a visible list view of the
// window that is on the screen, top to bottom:
//   row 162/1057 3 "text" "column 2 text" selected
//   item 162/1061 0 "ㄅ"
std::vector<std::string> VisibleListLines(HWND topLevel);

}  // namespace ce::detail
