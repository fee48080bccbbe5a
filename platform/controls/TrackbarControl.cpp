// The trackbar class: a channel and a thumb the stylus drags.
#include <algorithm>

#include "platform/controls/Trackbar.h"
#include "platform/controls/detail/ControlClasses.h"
#include "platform/controls/detail/ControlSupport.h"
#include "platform/window/Focus.h"
#include "platform/window/Keys.h"
#include "platform/window/Paint.h"

namespace ce::detail {

namespace {

constexpr int kThumbWidth = 10;  // pixels along the channel
constexpr int kChannelThickness = 4;

class TrackbarState : public ControlState {
 public:
  int min = 0;
  int max = 100;
  int pos = 0;
  int page = 20;
  int line = 1;
  bool dragging = false;
};

bool Vertical(HWND window) { return (GetWindowLong(window, GWL_STYLE) & TBS_VERT) != 0; }

int Length(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  return Vertical(window) ? client.bottom - client.top : client.right - client.left;
}

// Pixel offset of the thumb's start along the channel.
int ThumbOffset(HWND window, const TrackbarState& state) {
  int travel = std::max(0, Length(window) - kThumbWidth);
  int span = state.max - state.min;
  if (span <= 0) return 0;
  return static_cast<int>(static_cast<long long>(travel) * (state.pos - state.min) / span);
}

int PosAt(HWND window, const TrackbarState& state, POINT point) {
  int travel = std::max(1, Length(window) - kThumbWidth);
  int along = (Vertical(window) ? point.y : point.x) - kThumbWidth / 2;
  long long span = static_cast<long long>(state.max) - state.min;
  return ClampInt(state.min + (along * span + travel / 2) / travel, state.min, state.max);
}

void Notify(HWND window, const TrackbarState& state, WORD code) {
  HWND parent = GetParent(window);
  if (parent == nullptr) return;
  WORD pos = (code == TB_THUMBTRACK || code == TB_THUMBPOSITION) ? static_cast<WORD>(state.pos) : 0;
  SendMessage(parent, Vertical(window) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos),
              reinterpret_cast<LPARAM>(window));
}

void SetPos(HWND window, TrackbarState* state, int pos) {
  pos = ClampInt(pos, state->min, state->max);
  if (pos == state->pos) return;
  state->pos = pos;
  InvalidateRect(window, nullptr, TRUE);
}

void OnPaint(HWND window, TrackbarState* state) {
  PaintScope paint(window);
  HDC dc = paint.Dc();
  RECT client;
  GetClientRect(window, &client);
  HBRUSH background = ParentColors(window, dc, WM_CTLCOLORSTATIC);
  FillRect(dc, &client, background);
  bool vertical = Vertical(window);
  int offset = ThumbOffset(window, *state);
  RECT channel;
  RECT thumb;
  if (vertical) {
    int cx = (client.left + client.right) / 2;
    channel = RECT{cx - kChannelThickness / 2, client.top + kThumbWidth / 2, cx + kChannelThickness / 2, client.bottom - kThumbWidth / 2};
    thumb = RECT{client.left + 2, offset, client.right - 2, offset + kThumbWidth};
  } else {
    int cy = (client.top + client.bottom) / 2;
    channel = RECT{client.left + kThumbWidth / 2, cy - kChannelThickness / 2, client.right - kThumbWidth / 2, cy + kChannelThickness / 2};
    thumb = RECT{offset, client.top + 2, offset + kThumbWidth, client.bottom - 2};
  }
  FillSolid(dc, channel, GetSysColor(COLOR_BTNSHADOW));
  bool enabled = IsWindowEnabled(window) != FALSE;
  FillSolid(dc, thumb, enabled ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_BTNFACE));
  FrameSolid(dc, thumb, GetSysColor(COLOR_WINDOWFRAME));
  if (GetFocus() == window) {
    RECT focus = client;
    DrawFocusRect(dc, &focus);
  }
}

void OnKeyDown(HWND window, TrackbarState* state, WPARAM key) {
  WORD code;
  int pos = state->pos;
  switch (key) {
    case VK_LEFT:
    case VK_UP:
      code = TB_LINEUP;
      pos -= state->line;
      break;
    case VK_RIGHT:
    case VK_DOWN:
      code = TB_LINEDOWN;
      pos += state->line;
      break;
    case VK_PRIOR:
      code = TB_PAGEUP;
      pos -= state->page;
      break;
    case VK_NEXT:
      code = TB_PAGEDOWN;
      pos += state->page;
      break;
    case VK_HOME:
      code = TB_TOP;
      pos = state->min;
      break;
    case VK_END:
      code = TB_BOTTOM;
      pos = state->max;
      break;
    default:
      return;
  }
  SetPos(window, state, pos);
  Notify(window, *state, code);
  Notify(window, *state, TB_ENDTRACK);
}

LRESULT HandleMessage(HWND window, TrackbarState* state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      if (!IsWindowEnabled(window)) return 0;
      if (GetFocus() != window) SetFocus(window);
      SetCapture(window);
      state->dragging = true;
      SetPos(window, state, PosAt(window, *state, PointFromLParam(lParam)));
      Notify(window, *state, TB_THUMBTRACK);
      return 0;
    case WM_MOUSEMOVE:
      if (state->dragging) {
        int before = state->pos;
        SetPos(window, state, PosAt(window, *state, PointFromLParam(lParam)));
        if (state->pos != before) Notify(window, *state, TB_THUMBTRACK);
      }
      return 0;
    case WM_LBUTTONUP:
      if (state->dragging) {
        state->dragging = false;
        ReleaseCapture();
        Notify(window, *state, TB_THUMBPOSITION);
        Notify(window, *state, TB_ENDTRACK);
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != window) state->dragging = false;
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(window, state, wParam);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case TBM_GETPOS:
      return state->pos;
    case TBM_GETRANGEMIN:
      return state->min;
    case TBM_GETRANGEMAX:
      return state->max;
    case TBM_SETPOS:
      SetPos(window, state, static_cast<int>(lParam));
      return 0;
    case TBM_SETRANGE:
      state->min = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)));
      state->max = std::max(state->min, static_cast<int>(static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam)))));
      state->pos = ClampInt(state->pos, state->min, state->max);
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case TBM_SETRANGEMIN:
      state->min = std::min(static_cast<int>(lParam), state->max);
      state->pos = ClampInt(state->pos, state->min, state->max);
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case TBM_SETRANGEMAX:
      state->max = std::max(static_cast<int>(lParam), state->min);
      state->pos = ClampInt(state->pos, state->min, state->max);
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case TBM_SETPAGESIZE: {
      int old = state->page;
      state->page = static_cast<int>(lParam);
      return old;
    }
    case TBM_GETPAGESIZE:
      return state->page;
    case TBM_SETLINESIZE: {
      int old = state->line;
      state->line = static_cast<int>(lParam);
      return old;
    }
    case TBM_GETLINESIZE:
      return state->line;
    case TBM_SETTICFREQ:
      return 0;
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace

WNDPROC TrackbarProcedure() { return ControlProc<TrackbarState, OnPaint, HandleMessage>; }

}  // namespace ce::detail
