// The "SCROLLBAR" class and the scroll information calls.
#include "platform/controls/ScrollBar.h"

#include "platform/controls/detail/ControlClasses.h"
#include "platform/controls/detail/ControlSupport.h"
#include "platform/controls/detail/ScrollBarModel.h"
#include "platform/window/Focus.h"
#include "platform/window/Paint.h"

namespace ce::detail {

namespace {

class ScrollBarState : public ControlState {
 public:
  ScrollBarModel model;
};

RECT Bar(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  return client;
}

void Notify(HWND window, const ScrollBarModel& model, WORD code, int pos) {
  HWND parent = GetParent(window);
  if (parent == nullptr) return;
  UINT message = model.Vertical() ? WM_VSCROLL : WM_HSCROLL;
  SendMessage(parent, message, MAKEWPARAM(code, static_cast<WORD>(pos)), reinterpret_cast<LPARAM>(window));
}

void InitScrollBar(HWND window, ScrollBarState* state) {
  state->model.SetVertical((GetWindowLong(window, GWL_STYLE) & SBS_VERT) != 0);
}

void OnPaint(HWND window, ScrollBarState* state) {
  PaintScope paint(window);
  ParentColors(window, paint.Dc(), WM_CTLCOLORSCROLLBAR);
  state->model.Draw(paint.Dc(), Bar(window), IsWindowEnabled(window) != FALSE);
}

void OnLButtonDown(HWND window, ScrollBarState* state, POINT point) {
  if (!IsWindowEnabled(window)) return;
  ScrollBarModel& model = state->model;
  switch (model.HitTest(Bar(window), point)) {
    case ScrollBarModel::Part::kLineUp:
      Notify(window, model, SB_LINEUP, 0);
      Notify(window, model, SB_ENDSCROLL, 0);
      break;
    case ScrollBarModel::Part::kLineDown:
      Notify(window, model, SB_LINEDOWN, 0);
      Notify(window, model, SB_ENDSCROLL, 0);
      break;
    case ScrollBarModel::Part::kPageUp:
      Notify(window, model, SB_PAGEUP, 0);
      Notify(window, model, SB_ENDSCROLL, 0);
      break;
    case ScrollBarModel::Part::kPageDown:
      Notify(window, model, SB_PAGEDOWN, 0);
      Notify(window, model, SB_ENDSCROLL, 0);
      break;
    case ScrollBarModel::Part::kThumb:
      model.BeginDrag(Bar(window), point);
      SetCapture(window);
      break;
    case ScrollBarModel::Part::kNone:
      break;
  }
}

LRESULT HandleMessage(HWND window, ScrollBarState* state, UINT message, WPARAM wParam, LPARAM lParam) {
  ScrollBarModel& model = state->model;
  switch (message) {
    case WM_LBUTTONDOWN:
      OnLButtonDown(window, state, PointFromLParam(lParam));
      return 0;
    case WM_MOUSEMOVE:
      if (model.Dragging()) {
        int track = model.DragTo(Bar(window), PointFromLParam(lParam));
        InvalidateRect(window, nullptr, FALSE);
        Notify(window, model, SB_THUMBTRACK, track);
      }
      return 0;
    case WM_LBUTTONUP:
      if (model.Dragging()) {
        int track = model.DragTo(Bar(window), PointFromLParam(lParam));
        model.EndDrag();
        ReleaseCapture();
        Notify(window, model, SB_THUMBPOSITION, track);
        Notify(window, model, SB_ENDSCROLL, 0);
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (model.Dragging() && reinterpret_cast<HWND>(lParam) != window) {
        model.EndDrag();
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_ENABLE:
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case SBM_SETSCROLLINFO: {
      auto* info = reinterpret_cast<const SCROLLINFO*>(lParam);
      if (info == nullptr) return model.Pos();
      int pos = model.Set(*info);
      if (wParam != 0) InvalidateRect(window, nullptr, FALSE);
      return pos;
    }
    case SBM_GETSCROLLINFO: {
      auto* info = reinterpret_cast<SCROLLINFO*>(lParam);
      if (info == nullptr) return FALSE;
      model.Get(info);
      return TRUE;
    }
    case SBM_SETPOS: {
      int old = model.Pos();
      model.SetPos(static_cast<int>(static_cast<intptr_t>(wParam)));
      if (lParam != 0) InvalidateRect(window, nullptr, FALSE);
      return old;
    }
    case SBM_GETPOS:
      return model.Pos();
    case SBM_SETRANGE: {
      SCROLLINFO info;
      info.fMask = SIF_RANGE;
      info.nMin = static_cast<int>(static_cast<intptr_t>(wParam));
      info.nMax = static_cast<int>(lParam);
      model.Set(info);
      InvalidateRect(window, nullptr, FALSE);
      return model.Pos();
    }
    case SBM_GETRANGE: {
      SCROLLINFO info;
      info.fMask = SIF_RANGE;
      model.Get(&info);
      if (wParam != 0) *reinterpret_cast<int*>(wParam) = info.nMin;
      if (lParam != 0) *reinterpret_cast<int*>(lParam) = info.nMax;
      return 0;
    }
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace

WNDPROC ScrollBarProcedure() { return ControlProc<ScrollBarState, OnPaint, HandleMessage, InitScrollBar>; }

}  // namespace ce::detail

namespace ce {

int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL redraw) {
  if (bar != SB_CTL || info == nullptr) return 0;
  return static_cast<int>(SendMessage(window, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(info)));
}

BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info) {
  if (bar != SB_CTL || info == nullptr) return FALSE;
  return static_cast<BOOL>(SendMessage(window, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)));
}

int SetScrollPos(HWND window, int bar, int pos, BOOL redraw) {
  if (bar != SB_CTL) return 0;
  return static_cast<int>(SendMessage(window, SBM_SETPOS, static_cast<WPARAM>(pos), redraw));
}

int GetScrollPos(HWND window, int bar) {
  if (bar != SB_CTL) return 0;
  return static_cast<int>(SendMessage(window, SBM_GETPOS, 0, 0));
}

BOOL SetScrollRange(HWND window, int bar, int minPos, int maxPos, BOOL redraw) {
  if (bar != SB_CTL) return FALSE;
  SCROLLINFO info;
  info.fMask = SIF_RANGE;
  info.nMin = minPos;
  info.nMax = maxPos;
  SetScrollInfo(window, bar, &info, redraw);
  return TRUE;
}

}  // namespace ce
