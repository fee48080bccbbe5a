// The "EDIT" class: single-line and multi-line text fields.
#include <algorithm>
#include <vector>

#include "platform/controls/ComboBox.h"
#include "platform/controls/Edit.h"
#include "platform/controls/detail/ControlClasses.h"
#include "platform/controls/detail/ControlSupport.h"
#include "platform/window/Focus.h"
#include "platform/window/Keys.h"
#include "platform/window/Paint.h"

namespace ce::detail {

namespace {

constexpr int kMargin = 2;  // pixels between the border and the text
constexpr int kNoLimit = 0x7FFFFFFE;

class EditState : public ControlState {
 public:
  std::u16string text;
  int caret = 0;
  int anchor = 0;  // the other end of the selection
  int scrollX = 0;        // pixels of a single line scrolled out at the left
  int firstLine = 0;      // first line shown of a multi-line field
  int limit = kDefaultEditLimit;
  bool modified = false;
  char16_t passwordChar = 0;
  bool dragging = false;
  bool comboEdit = false;
};

struct Line {
  int start = 0;
  int length = 0;
};

DWORD Style(HWND edit) { return static_cast<DWORD>(GetWindowLong(edit, GWL_STYLE)); }
bool IsMultiLine(HWND edit) { return (Style(edit) & ES_MULTILINE) != 0; }

std::u16string Shown(const EditState& state) {
  if (state.passwordChar != 0) return std::u16string(state.text.size(), state.passwordChar);
  return state.text;
}

RECT TextArea(HWND edit) {
  RECT client;
  GetClientRect(edit, &client);
  int inset = kMargin + ((Style(edit) & WS_BORDER) != 0 ? 1 : 0);
  return RECT{client.left + inset, client.top + ((Style(edit) & WS_BORDER) != 0 ? 1 : 0),
              client.right - inset, client.bottom - ((Style(edit) & WS_BORDER) != 0 ? 1 : 0)};
}

// Measures with the field's font on a memory DC.
class Measure {
 public:
  explicit Measure(HWND edit) : dc_(CreateCompatibleDC(nullptr)) {
    SelectObject(dc_, ControlFont(edit));
    TEXTMETRIC metrics;
    GetTextMetrics(dc_, &metrics);
    lineHeight_ = std::max<int>(1, metrics.tmHeight);
  }
  ~Measure() { DeleteDC(dc_); }
  Measure(const Measure&) = delete;
  Measure& operator=(const Measure&) = delete;

  int Width(const std::u16string& text, int start, int count) const {
    if (count <= 0) return 0;
    SIZE size;
    GetTextExtentPoint32(dc_, text.c_str() + start, count, &size);
    return size.cx;
  }
  // The position in [start, start + count] nearest to x pixels from start.
  int Hit(const std::u16string& text, int start, int count, int x) const {
    int best = 0;
    int bestDistance = std::abs(x);
    for (int i = 1; i <= count; ++i) {
      int distance = std::abs(Width(text, start, i) - x);
      if (distance < bestDistance) {
        best = i;
        bestDistance = distance;
      }
    }
    return start + best;
  }
  int LineHeight() const { return lineHeight_; }
  HDC Dc() const { return dc_; }

 private:
  HDC dc_;
  int lineHeight_ = 1;
};

// Lines of a multi-line field: breaks at line feeds and, without
// ES_AUTOHSCROLL, wraps at the field's width.
std::vector<Line> Layout(HWND edit, const EditState& state, const Measure& measure) {
  std::vector<Line> lines;
  std::u16string shown = Shown(state);
  int width = std::max<int>(1, TextArea(edit).right - TextArea(edit).left);
  bool wrap = (Style(edit) & ES_AUTOHSCROLL) == 0;
  int start = 0;
  int size = static_cast<int>(shown.size());
  while (true) {
    int end = start;
    while (end < size && shown[end] != u'\n' && shown[end] != u'\r') ++end;
    int lineStart = start;
    while (wrap && measure.Width(shown, lineStart, end - lineStart) > width) {
      int fit = lineStart + 1;
      while (fit < end && measure.Width(shown, lineStart, fit + 1 - lineStart) <= width) ++fit;
      lines.push_back({lineStart, fit - lineStart});
      lineStart = fit;
    }
    lines.push_back({lineStart, end - lineStart});
    if (end >= size) break;
    start = end + ((shown[end] == u'\r' && end + 1 < size && shown[end + 1] == u'\n') ? 2 : 1);
    if (start >= size) {
      lines.push_back({start, 0});
      break;
    }
  }
  return lines;
}

int LineOf(const std::vector<Line>& lines, int position) {
  for (size_t i = 0; i < lines.size(); ++i) {
    bool last = i + 1 == lines.size();
    if (position < lines[i].start + lines[i].length || (position == lines[i].start + lines[i].length && (last || lines[i + 1].start > position))) {
      return static_cast<int>(i);
    }
  }
  return lines.empty() ? 0 : static_cast<int>(lines.size()) - 1;
}

void SyncText(HWND edit, const EditState& state) {
  DefWindowProc(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(state.text.c_str()));
}

// Keeps the caret inside the shown part.
void ScrollToCaret(HWND edit, EditState* state) {
  Measure measure(edit);
  RECT area = TextArea(edit);
  if (IsMultiLine(edit)) {
    std::vector<Line> lines = Layout(edit, *state, measure);
    int line = LineOf(lines, state->caret);
    int visible = std::max(1, static_cast<int>((area.bottom - area.top) / measure.LineHeight()));
    if (line < state->firstLine) state->firstLine = line;
    if (line >= state->firstLine + visible) state->firstLine = line - visible + 1;
    return;
  }
  std::u16string shown = Shown(*state);
  int caretX = measure.Width(shown, 0, state->caret);
  int width = area.right - area.left;
  if (caretX < state->scrollX) state->scrollX = std::max(0, caretX - width / 3);
  if (caretX > state->scrollX + width - 1) state->scrollX = caretX - width + 1;
  if (state->scrollX < 0) state->scrollX = 0;
}

void Changed(HWND edit, EditState* state) {
  state->modified = true;
  SyncText(edit, *state);
  ScrollToCaret(edit, state);
  InvalidateRect(edit, nullptr, TRUE);
  NotifyCommand(edit, EN_UPDATE);
  NotifyCommand(edit, EN_CHANGE);
}

std::u16string Filter(HWND edit, std::u16string_view input) {
  DWORD style = Style(edit);
  std::u16string out;
  for (char16_t c : input) {
    if (!IsMultiLine(edit) && (c == u'\r' || c == u'\n')) continue;
    if ((style & ES_NUMBER) != 0 && (c < u'0' || c > u'9')) continue;
    if ((style & ES_UPPERCASE) != 0 && c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    if ((style & ES_LOWERCASE) != 0 && c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    out += c;
  }
  return out;
}

// Replaces the selection; returns false when nothing changed.
bool ReplaceSelection(HWND edit, EditState* state, std::u16string_view input) {
  std::u16string text = Filter(edit, input);
  int from = std::min(state->caret, state->anchor);
  int to = std::max(state->caret, state->anchor);
  int room = state->limit - (static_cast<int>(state->text.size()) - (to - from));
  bool cut = false;
  if (static_cast<int>(text.size()) > room) {
    text.resize(static_cast<size_t>(std::max(0, room)));
    cut = true;
  }
  std::u16string result = state->text.substr(0, from) + text + state->text.substr(to);
  // A single line without ES_AUTOHSCROLL takes only what it can show.
  if (!IsMultiLine(edit) && (Style(edit) & ES_AUTOHSCROLL) == 0 && !text.empty()) {
    Measure measure(edit);
    RECT area = TextArea(edit);
    std::u16string shown = state->passwordChar != 0 ? std::u16string(result.size(), state->passwordChar) : result;
    while (!text.empty() && measure.Width(shown, 0, static_cast<int>(shown.size())) > area.right - area.left) {
      text.pop_back();
      result = state->text.substr(0, from) + text + state->text.substr(to);
      shown.resize(result.size());
      cut = true;
    }
  }
  if (cut) NotifyCommand(edit, EN_MAXTEXT);
  if (text.empty() && from == to) return false;
  state->text = std::move(result);
  state->caret = state->anchor = from + static_cast<int>(text.size());
  Changed(edit, state);
  return true;
}

void MoveCaret(HWND edit, EditState* state, int position) {
  position = ClampInt(position, 0, static_cast<int>(state->text.size()));
  state->caret = state->anchor = position;
  ScrollToCaret(edit, state);
  InvalidateRect(edit, nullptr, TRUE);
}

int PositionAt(HWND edit, EditState* state, POINT point) {
  Measure measure(edit);
  RECT area = TextArea(edit);
  std::u16string shown = Shown(*state);
  if (!IsMultiLine(edit)) {
    return measure.Hit(shown, 0, static_cast<int>(shown.size()), point.x - area.left + state->scrollX);
  }
  std::vector<Line> lines = Layout(edit, *state, measure);
  int line = state->firstLine + static_cast<int>((point.y - area.top) / measure.LineHeight());
  line = ClampInt(line, 0, static_cast<int>(lines.size()) - 1);
  return measure.Hit(shown, lines[line].start, lines[line].length, point.x - area.left);
}

void DrawRun(HDC dc, const std::u16string& shown, int from, int to, int x, int y, int selFrom,
             int selTo, const Measure& measure, int lineHeight, COLORREF textColor) {
  int cursor = x;
  // Three pieces: before, inside and after the selection.
  int cuts[4] = {from, std::clamp(selFrom, from, to), std::clamp(selTo, from, to), to};
  for (int piece = 0; piece < 3; ++piece) {
    int count = cuts[piece + 1] - cuts[piece];
    if (count <= 0) continue;
    int width = measure.Width(shown, cuts[piece], count);
    if (piece == 1) {
      RECT band{cursor, y, cursor + width, y + lineHeight};
      FillSolid(dc, band, GetSysColor(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
      SetTextColor(dc, textColor);
    }
    TextOut(dc, cursor, y, shown.c_str() + cuts[piece], count);
    cursor += width;
  }
}

void OnPaint(HWND edit, EditState* state) {
  PaintScope paint(edit);
  HDC dc = paint.Dc();
  RECT client;
  GetClientRect(edit, &client);
  bool plain = (Style(edit) & ES_READONLY) != 0 || !IsWindowEnabled(edit);
  HBRUSH background = ParentColors(edit, dc, plain ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
  COLORREF textColor = IsWindowEnabled(edit) ? GetTextColor(dc) : GetSysColor(COLOR_GRAYTEXT);
  FillRect(dc, &client, background);
  if ((Style(edit) & WS_BORDER) != 0) FrameSolid(dc, client, GetSysColor(COLOR_WINDOWFRAME));
  RECT area = TextArea(edit);
  int saved = SaveDC(dc);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  SelectObject(dc, ControlFont(edit));
  SetBkMode(dc, TRANSPARENT);
  Measure measure(edit);
  int lineHeight = measure.LineHeight();
  std::u16string shown = Shown(*state);
  bool focused = GetFocus() == edit;
  bool showSelection = focused || (Style(edit) & ES_NOHIDESEL) != 0;
  int selFrom = showSelection ? std::min(state->caret, state->anchor) : 0;
  int selTo = showSelection ? std::max(state->caret, state->anchor) : 0;
  int caretX = -1;
  int caretY = 0;
  if (IsMultiLine(edit)) {
    std::vector<Line> lines = Layout(edit, *state, measure);
    int caretLine = LineOf(lines, state->caret);
    for (int i = state->firstLine; i < static_cast<int>(lines.size()); ++i) {
      int y = area.top + (i - state->firstLine) * lineHeight;
      if (y >= area.bottom) break;
      DrawRun(dc, shown, lines[i].start, lines[i].start + lines[i].length, area.left, y, selFrom,
              selTo, measure, lineHeight, textColor);
      if (i == caretLine) {
        caretX = area.left + measure.Width(shown, lines[i].start, state->caret - lines[i].start);
        caretY = y;
      }
    }
  } else {
    int y = area.top + (area.bottom - area.top - lineHeight) / 2;
    DrawRun(dc, shown, 0, static_cast<int>(shown.size()), area.left - state->scrollX, y, selFrom,
            selTo, measure, lineHeight, textColor);
    caretX = area.left - state->scrollX + measure.Width(shown, 0, state->caret);
    caretY = y;
  }
  if (focused && caretX >= 0 && selFrom == selTo) {
    RECT caret{caretX, caretY, caretX + 1, caretY + lineHeight};
    FillSolid(dc, caret, GetSysColor(COLOR_WINDOWTEXT));
  }
  RestoreDC(dc, saved);
}

void OnChar(HWND edit, EditState* state, WPARAM wParam) {
  if ((Style(edit) & ES_READONLY) != 0) return;
  auto c = static_cast<char16_t>(wParam);
  if (c == VK_BACK) {
    if (state->caret == state->anchor && state->caret > 0) --state->anchor;
    ReplaceSelection(edit, state, u"");
    return;
  }
  if (c == u'\r') {
    if (IsMultiLine(edit)) ReplaceSelection(edit, state, u"\r\n");
    return;
  }
  if (c < 0x20 || c == 0x7F) return;
  ReplaceSelection(edit, state, std::u16string_view(&c, 1));
}

void MoveLine(HWND edit, EditState* state, int delta) {
  Measure measure(edit);
  std::vector<Line> lines = Layout(edit, *state, measure);
  int line = LineOf(lines, state->caret);
  int target = ClampInt(line + delta, 0, static_cast<int>(lines.size()) - 1);
  if (target == line) return;
  std::u16string shown = Shown(*state);
  int x = measure.Width(shown, lines[line].start, state->caret - lines[line].start);
  MoveCaret(edit, state, measure.Hit(shown, lines[target].start, lines[target].length, x));
}

void OnKeyDown(HWND edit, EditState* state, WPARAM key) {
  int size = static_cast<int>(state->text.size());
  switch (key) {
    case VK_LEFT:
      MoveCaret(edit, state, state->caret != state->anchor ? std::min(state->caret, state->anchor) : state->caret - 1);
      break;
    case VK_RIGHT:
      MoveCaret(edit, state, state->caret != state->anchor ? std::max(state->caret, state->anchor) : state->caret + 1);
      break;
    case VK_HOME:
      MoveCaret(edit, state, 0);
      break;
    case VK_END:
      MoveCaret(edit, state, size);
      break;
    case VK_DELETE:
      if ((Style(edit) & ES_READONLY) != 0) break;
      if (state->caret == state->anchor && state->caret < size) ++state->anchor;
      ReplaceSelection(edit, state, u"");
      break;
    case VK_UP:
    case VK_DOWN:
      if (state->comboEdit) {
        SendMessage(GetParent(edit), WM_KEYDOWN, key, 0);
      } else if (IsMultiLine(edit)) {
        MoveLine(edit, state, key == VK_UP ? -1 : 1);
      }
      break;
    default:
      break;
  }
}

LRESULT OnGetSel(EditState* state, WPARAM wParam, LPARAM lParam) {
  auto from = static_cast<DWORD>(std::min(state->caret, state->anchor));
  auto to = static_cast<DWORD>(std::max(state->caret, state->anchor));
  if (wParam != 0) *reinterpret_cast<DWORD*>(wParam) = from;
  if (lParam != 0) *reinterpret_cast<DWORD*>(lParam) = to;
  return static_cast<LRESULT>(MAKELPARAM(static_cast<WORD>(std::min<DWORD>(from, 0xFFFF)), static_cast<WORD>(std::min<DWORD>(to, 0xFFFF))));
}

void OnSetSel(HWND edit, EditState* state, WPARAM wParam, LPARAM lParam) {
  int size = static_cast<int>(state->text.size());
  auto start = static_cast<int>(static_cast<intptr_t>(wParam));
  auto end = static_cast<int>(lParam);
  if (start < 0) {
    state->anchor = state->caret;  // removes the selection
  } else {
    state->anchor = std::min(start, size);
    state->caret = end < 0 ? size : std::min(end, size);
  }
  ScrollToCaret(edit, state);
  InvalidateRect(edit, nullptr, TRUE);
}

LRESULT OnSetText(HWND edit, EditState* state, LPARAM lParam, bool notify) {
  auto text = reinterpret_cast<LPCWSTR>(lParam);
  std::u16string value = text != nullptr ? std::u16string(text) : std::u16string();
  if (static_cast<int>(value.size()) > state->limit) value.resize(static_cast<size_t>(state->limit));
  state->text = Filter(edit, value);
  state->caret = state->anchor = 0;
  state->scrollX = 0;
  state->firstLine = 0;
  state->modified = false;
  SyncText(edit, *state);
  InvalidateRect(edit, nullptr, TRUE);
  if (notify && !IsMultiLine(edit)) NotifyCommand(edit, EN_CHANGE);
  return TRUE;
}

void InitEdit(HWND edit, EditState* state) {
  if ((Style(edit) & ES_PASSWORD) != 0) state->passwordChar = u'*';
}

LRESULT HandleMessage(HWND edit, EditState* state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      auto* create = reinterpret_cast<const CREATESTRUCT*>(lParam);
      if (create != nullptr && create->lpszName != nullptr) OnSetText(edit, state, reinterpret_cast<LPARAM>(create->lpszName), false);
      return 0;
    }
    case WM_CHAR:
      OnChar(edit, state, wParam);
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(edit, state, wParam);
      return 0;
    case WM_LBUTTONDOWN:
      if (GetFocus() != edit) SetFocus(edit);
      MoveCaret(edit, state, PositionAt(edit, state, PointFromLParam(lParam)));
      state->dragging = true;
      SetCapture(edit);
      return 0;
    case WM_MOUSEMOVE:
      if (state->dragging) {
        state->caret = PositionAt(edit, state, PointFromLParam(lParam));
        ScrollToCaret(edit, state);
        InvalidateRect(edit, nullptr, TRUE);
      }
      return 0;
    case WM_LBUTTONUP:
      if (state->dragging) {
        state->dragging = false;
        ReleaseCapture();
      }
      return 0;
    case WM_SETFOCUS:
      InvalidateRect(edit, nullptr, TRUE);
      NotifyCommand(edit, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      InvalidateRect(edit, nullptr, TRUE);
      NotifyCommand(edit, EN_KILLFOCUS);
      return 0;
    case WM_ENABLE:
      InvalidateRect(edit, nullptr, TRUE);
      return 0;
    case WM_SETTEXT:
      return OnSetText(edit, state, lParam, true);
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if (IsMultiLine(edit) && (Style(edit) & ES_WANTRETURN) != 0) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case EM_GETSEL:
      return OnGetSel(state, wParam, lParam);
    case EM_SETSEL:
      OnSetSel(edit, state, wParam, lParam);
      return 0;
    case EM_REPLACESEL: {
      auto text = reinterpret_cast<LPCWSTR>(lParam);
      ReplaceSelection(edit, state, text != nullptr ? std::u16string_view(text) : std::u16string_view());
      return 0;
    }
    case EM_LIMITTEXT:
      state->limit = wParam == 0 || wParam > static_cast<WPARAM>(kNoLimit) ? kNoLimit : static_cast<int>(wParam);
      return 0;
    case EM_GETLIMITTEXT:
      return state->limit;
    case EM_SETPASSWORDCHAR:
      state->passwordChar = static_cast<char16_t>(wParam);
      InvalidateRect(edit, nullptr, TRUE);
      return 0;
    case EM_GETPASSWORDCHAR:
      return state->passwordChar;
    case EM_SETREADONLY: {
      LONG style = GetWindowLong(edit, GWL_STYLE);
      SetWindowLong(edit, GWL_STYLE, wParam != 0 ? (style | static_cast<LONG>(ES_READONLY)) : (style & ~static_cast<LONG>(ES_READONLY)));
      InvalidateRect(edit, nullptr, TRUE);
      return TRUE;
    }
    case EM_GETMODIFY:
      return state->modified ? TRUE : FALSE;
    case EM_SETMODIFY:
      state->modified = wParam != 0;
      return 0;
    case EM_GETLINECOUNT: {
      if (!IsMultiLine(edit)) return 1;
      Measure measure(edit);
      return static_cast<LRESULT>(Layout(edit, *state, measure).size());
    }
    case EM_GETFIRSTVISIBLELINE:
      return IsMultiLine(edit) ? state->firstLine : 0;
    case EM_SCROLLCARET:
      ScrollToCaret(edit, state);
      InvalidateRect(edit, nullptr, TRUE);
      return TRUE;
    case WM_SETFONT:
    case WM_GETFONT:
      return HandleFontMessage(edit, state, message, wParam, lParam);
    default:
      return DefWindowProc(edit, message, wParam, lParam);
  }
}

}  // namespace

WNDPROC EditProcedure() { return ControlProc<EditState, OnPaint, HandleMessage, InitEdit>; }

bool EditShownText(HWND window, std::u16string* text) {
  auto* state = StateOf<EditState>(window);
  if (state == nullptr) return false;
  *text = Shown(*state);
  return true;
}

void MarkComboEdit(HWND edit) {
  if (auto* state = StateOf<EditState>(edit)) state->comboEdit = true;
}

}  // namespace ce::detail
