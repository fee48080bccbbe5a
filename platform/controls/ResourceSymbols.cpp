// The names a resource script may use for styles and ids.
#include <string_view>
#include <unordered_map>

#include "platform/base/MessageBox.h"
#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ListView.h"
#include "platform/controls/ResourceScript.h"
#include "platform/controls/ScrollBar.h"
#include "platform/controls/Static.h"
#include "platform/controls/TabControl.h"
#include "platform/controls/Trackbar.h"
#include "platform/window/Window.h"

namespace ce {

namespace {

const std::unordered_map<std::string_view, int64_t>& Symbols() {
  static const std::unordered_map<std::string_view, int64_t> kSymbols = {
      {"WS_OVERLAPPED", WS_OVERLAPPED}, {"WS_POPUP", WS_POPUP}, {"WS_CHILD", WS_CHILD},
      {"WS_VISIBLE", WS_VISIBLE}, {"WS_DISABLED", WS_DISABLED},
      {"WS_CLIPSIBLINGS", WS_CLIPSIBLINGS}, {"WS_CLIPCHILDREN", WS_CLIPCHILDREN},
      {"WS_CAPTION", WS_CAPTION}, {"WS_BORDER", WS_BORDER}, {"WS_DLGFRAME", WS_DLGFRAME},
      {"WS_VSCROLL", WS_VSCROLL}, {"WS_HSCROLL", WS_HSCROLL}, {"WS_SYSMENU", WS_SYSMENU},
      {"WS_THICKFRAME", WS_THICKFRAME}, {"WS_GROUP", WS_GROUP}, {"WS_TABSTOP", WS_TABSTOP},
      {"WS_EX_DLGMODALFRAME", WS_EX_DLGMODALFRAME}, {"WS_EX_TOPMOST", WS_EX_TOPMOST},
      {"WS_EX_WINDOWEDGE", WS_EX_WINDOWEDGE}, {"WS_EX_CLIENTEDGE", WS_EX_CLIENTEDGE},
      {"WS_EX_CONTROLPARENT", WS_EX_CONTROLPARENT}, {"WS_EX_NOACTIVATE", WS_EX_NOACTIVATE},
      {"WS_EX_CAPTIONOKBTN", WS_EX_CAPTIONOKBTN},
      {"DS_ABSALIGN", DS_ABSALIGN}, {"DS_SETFONT", DS_SETFONT},
      {"DS_MODALFRAME", DS_MODALFRAME}, {"DS_SETFOREGROUND", DS_SETFOREGROUND},
      {"DS_CONTROL", DS_CONTROL}, {"DS_CENTER", DS_CENTER},
      {"BS_PUSHBUTTON", BS_PUSHBUTTON}, {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON},
      {"BS_CHECKBOX", BS_CHECKBOX}, {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX},
      {"BS_RADIOBUTTON", BS_RADIOBUTTON}, {"BS_3STATE", BS_3STATE},
      {"BS_AUTO3STATE", BS_AUTO3STATE}, {"BS_GROUPBOX", BS_GROUPBOX},
      {"BS_AUTORADIOBUTTON", BS_AUTORADIOBUTTON}, {"BS_OWNERDRAW", BS_OWNERDRAW},
      {"BS_LEFTTEXT", BS_LEFTTEXT}, {"BS_LEFT", BS_LEFT}, {"BS_RIGHT", BS_RIGHT},
      {"BS_CENTER", BS_CENTER}, {"BS_PUSHLIKE", BS_PUSHLIKE}, {"BS_MULTILINE", BS_MULTILINE},
      {"BS_NOTIFY", BS_NOTIFY},
      {"SS_LEFT", SS_LEFT}, {"SS_CENTER", SS_CENTER}, {"SS_RIGHT", SS_RIGHT},
      {"SS_ICON", SS_ICON}, {"SS_LEFTNOWORDWRAP", SS_LEFTNOWORDWRAP}, {"SS_BITMAP", SS_BITMAP},
      {"SS_NOPREFIX", SS_NOPREFIX}, {"SS_NOTIFY", SS_NOTIFY},
      {"SS_CENTERIMAGE", SS_CENTERIMAGE},
      {"ES_LEFT", ES_LEFT}, {"ES_CENTER", ES_CENTER}, {"ES_RIGHT", ES_RIGHT},
      {"ES_MULTILINE", ES_MULTILINE}, {"ES_UPPERCASE", ES_UPPERCASE},
      {"ES_LOWERCASE", ES_LOWERCASE}, {"ES_PASSWORD", ES_PASSWORD},
      {"ES_AUTOVSCROLL", ES_AUTOVSCROLL}, {"ES_AUTOHSCROLL", ES_AUTOHSCROLL},
      {"ES_NOHIDESEL", ES_NOHIDESEL}, {"ES_READONLY", ES_READONLY},
      {"ES_WANTRETURN", ES_WANTRETURN}, {"ES_NUMBER", ES_NUMBER},
      {"CBS_SIMPLE", CBS_SIMPLE}, {"CBS_DROPDOWN", CBS_DROPDOWN},
      {"CBS_DROPDOWNLIST", CBS_DROPDOWNLIST}, {"CBS_AUTOHSCROLL", CBS_AUTOHSCROLL},
      {"CBS_SORT", CBS_SORT}, {"CBS_NOINTEGRALHEIGHT", CBS_NOINTEGRALHEIGHT},
      {"LVS_ICON", LVS_ICON}, {"LVS_REPORT", LVS_REPORT}, {"LVS_SMALLICON", LVS_SMALLICON},
      {"LVS_LIST", LVS_LIST}, {"LVS_SINGLESEL", LVS_SINGLESEL},
      {"LVS_SHOWSELALWAYS", LVS_SHOWSELALWAYS}, {"LVS_NOSCROLL", LVS_NOSCROLL},
      {"LVS_NOCOLUMNHEADER", LVS_NOCOLUMNHEADER},
      {"TBS_HORZ", TBS_HORZ}, {"TBS_VERT", TBS_VERT}, {"TBS_NOTICKS", TBS_NOTICKS},
      {"TBS_BOTH", TBS_BOTH},
      {"TCS_BOTTOM", TCS_BOTTOM}, {"TCS_FIXEDWIDTH", TCS_FIXEDWIDTH},
      {"SBS_HORZ", SBS_HORZ}, {"SBS_VERT", SBS_VERT},
      {"IDOK", IDOK}, {"IDCANCEL", IDCANCEL}, {"IDABORT", IDABORT}, {"IDRETRY", IDRETRY},
      {"IDIGNORE", IDIGNORE}, {"IDYES", IDYES}, {"IDNO", IDNO}, {"IDC_STATIC", -1},
  };
  return kSymbols;
}

}  // namespace

bool LookUpResourceSymbol(std::string_view name, int64_t* value) {
  auto it = Symbols().find(name);
  if (it == Symbols().end()) return false;
  *value = it->second;
  return true;
}

}  // namespace ce
