// Window creation and destruction, the tree, attributes and handles.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/testing/TestSupport.h"
#include "platform/testing/WindowTesting.h"
#include "platform/window/Focus.h"
#include "platform/window/Message.h"
#include "platform/window/Window.h"

namespace ce {
namespace {

using testing::TestWindow;

struct Event {
  std::string name;
  UINT message;
  bool operator==(const Event&) const = default;
};

class WindowTreeTest : public ::testing::Test {
 protected:
  // Windows named in the log by their own tag.
  testing::WindowHandler Logging(const std::string& name, std::vector<UINT> logged) {
    return [this, name, logged](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
      if (std::find(logged.begin(), logged.end(), message) != logged.end()) {
        log_.push_back({name, message});
      }
      return DefWindowProc(window, message, wParam, lParam);
    };
  }

  testing::TempDeviceRoot device_;
  testing::ScopedVirtualClock clock_;
  std::vector<Event> log_;
};

TEST_F(WindowTreeTest, CreationSendsItsMessagesAndKeepsTheAttributes) {
  CREATESTRUCT seen;
  std::vector<UINT> order;
  TestWindow top([&](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    order.push_back(message);
    if (message == WM_CREATE) seen = *reinterpret_cast<CREATESTRUCT*>(lParam);
    return DefWindowProc(window, message, wParam, lParam);
  }, nullptr, WS_VISIBLE, u"ZOLFA for PPC");
  ASSERT_NE(top.Handle(), nullptr);
  EXPECT_TRUE(std::u16string(seen.lpszName) == u"ZOLFA for PPC");
  std::vector<UINT> expected = {WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW};
  ASSERT_GE(order.size(), expected.size());
  EXPECT_EQ(std::vector<UINT>(order.begin(), order.begin() + 5), expected);

  TestWindow child([](HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProc(w, m, wp, lp); },
                   top, WS_VISIBLE | WS_TABSTOP);
  SetWindowLong(child, GWL_ID, 1026);
  MoveWindow(top, 0, 26, 240, 268, TRUE);
  MoveWindow(child, 80, 4, 80, 22, TRUE);

  EXPECT_EQ(GetDlgItem(top, 1026), child.Handle());
  EXPECT_EQ(GetDlgItem(top, 1027), nullptr);
  EXPECT_EQ(GetDlgCtrlID(child), 1026);
  EXPECT_EQ(GetParent(child), top.Handle());
  EXPECT_EQ(GetWindowTextString(top), u"ZOLFA for PPC");
  EXPECT_TRUE(SetWindowText(top, u"登入"));
  EXPECT_EQ(GetWindowTextString(top), u"登入");
  WCHAR small[3];
  EXPECT_EQ(GetWindowText(top, small, 2), 1);  // truncated, terminated
  EXPECT_EQ(std::u16string(small), u"登");

  RECT rect;
  GetWindowRect(child, &rect);
  EXPECT_EQ(rect, (RECT{80, 30, 160, 52}));
  GetClientRect(child, &rect);
  EXPECT_EQ(rect, (RECT{0, 0, 80, 22}));
  EXPECT_EQ(WindowFromPoint(POINT{100, 40}), child.Handle());
  EXPECT_EQ(WindowFromPoint(POINT{10, 40}), top.Handle());

  EXPECT_NE(GetWindowLong(child, GWL_STYLE) & WS_TABSTOP, 0);
  SetWindowLongPtr(child, GWLP_USERDATA, 0x1234);
  EXPECT_EQ(GetWindowLongPtr(child, GWLP_USERDATA), 0x1234);

  EXPECT_TRUE(IsWindowVisible(child));
  ShowWindow(top, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(child));  // a hidden parent hides its children
  EXPECT_NE(GetWindowLong(child, GWL_STYLE) & WS_VISIBLE, 0);

  EXPECT_FALSE(EnableWindow(child, FALSE));
  EXPECT_FALSE(IsWindowEnabled(child));
  EXPECT_TRUE(EnableWindow(child, TRUE));
}

TEST_F(WindowTreeTest, DestroyingAParentDestroysItsChildrenInOrder) {
  const std::vector<UINT> logged = {WM_DESTROY, WM_NCDESTROY};
  bool childAliveDuringParentDestroy = false;
  HWND firstChild = nullptr;
  auto parent = std::make_unique<TestWindow>(
      [&](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_DESTROY) {
          log_.push_back({"parent", message});
          childAliveDuringParentDestroy = IsWindow(firstChild) != FALSE;
        } else if (message == WM_NCDESTROY) {
          log_.push_back({"parent", message});
        }
        return DefWindowProc(window, message, wParam, lParam);
      });
  TestWindow child1(Logging("child1", logged), *parent);
  TestWindow grandchild(Logging("grandchild", logged), child1);
  TestWindow child2(Logging("child2", logged), *parent);
  TestWindow unowned(Logging("unowned", logged));
  firstChild = child1;
  HWND ownedHandle = CreateWindowEx(0, u"CeTestWindow", u"", 0, 0, 0, 10, 10, *parent, nullptr,
                                    nullptr, nullptr);
  ASSERT_EQ(GetParent(ownedHandle), parent->Handle());  // the owner

  ASSERT_TRUE(DestroyWindow(*parent));
  std::vector<Event> expected = {
      {"parent", WM_DESTROY},       {"child1", WM_DESTROY},     {"grandchild", WM_DESTROY},
      {"child2", WM_DESTROY},       {"grandchild", WM_NCDESTROY}, {"child1", WM_NCDESTROY},
      {"child2", WM_NCDESTROY},     {"parent", WM_NCDESTROY}};
  EXPECT_EQ(log_, expected);
  EXPECT_TRUE(childAliveDuringParentDestroy);
  for (HWND window : {parent->Handle(), child1.Handle(), grandchild.Handle(), child2.Handle(),
                      ownedHandle}) {
    EXPECT_FALSE(IsWindow(window));
  }
  EXPECT_TRUE(IsWindow(unowned));
}

TEST_F(WindowTreeTest, DestroyedHandlesAreNotReusedAndAreSafeToUse) {
  TestWindow parent([](HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProc(w, m, wp, lp); });
  std::set<HWND> seen;
  HWND first = nullptr;
  for (int i = 0; i < 2000; ++i) {
    HWND window = CreateWindowEx(0, u"CeTestWindow", u"x", WS_CHILD, 0, 0, 1, 1, parent, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    if (first == nullptr) first = window;
    EXPECT_TRUE(seen.insert(window).second);
    DestroyWindow(window);
  }
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(SendMessage(first, WM_USER, 1, 2), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_FALSE(PostMessage(first, WM_USER, 1, 2));
  WCHAR text[8] = u"keep";
  EXPECT_EQ(GetWindowText(first, text, 8), 0);
  EXPECT_FALSE(DestroyWindow(first));
  EXPECT_EQ(GetParent(first), nullptr);
}

LRESULT RefuseNcCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return message == WM_NCCREATE ? FALSE : DefWindowProc(window, message, wParam, lParam);
}

LRESULT RefuseCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return message == WM_CREATE ? -1 : DefWindowProc(window, message, wParam, lParam);
}

TEST_F(WindowTreeTest, RefusedOrInvalidCreationsLeaveNothingBehind) {
  WNDCLASS wndClass;
  wndClass.lpfnWndProc = RefuseNcCreate;
  wndClass.lpszClassName = u"RefuseNcCreate";
  RegisterClass(&wndClass);
  wndClass.lpfnWndProc = RefuseCreate;
  wndClass.lpszClassName = u"RefuseCreate";
  RegisterClass(&wndClass);
  EXPECT_EQ(RegisterClass(&wndClass), 0);  // already there
  TestWindow parent([](HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProc(w, m, wp, lp); });
  HWND gone = CreateWindowEx(0, u"CeTestWindow", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                             nullptr);
  DestroyWindow(gone);

  struct Case {
    const char16_t* className;
    DWORD style;
    HWND parent;
  };
  const Case cases[] = {
      {u"NoSuchClass", 0, nullptr},
      {u"RefuseNcCreate", 0, nullptr},
      {u"refusecreate", 0, nullptr},  // class names ignore case
      {u"CeTestWindow", WS_CHILD, nullptr},
      {u"CeTestWindow", WS_CHILD, gone},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CreateWindowEx(0, c.className, u"", c.style, 0, 0, 1, 1, c.parent, nullptr, nullptr,
                             nullptr),
              nullptr);
  }
  EXPECT_EQ(GetWindow(parent, GW_HWNDNEXT), nullptr);  // no stray top-level window
  EXPECT_FALSE(UnregisterClass(u"CeTestWindow", nullptr));  // still has a window
  EXPECT_TRUE(UnregisterClass(u"RefuseCreate", nullptr));
}

TEST_F(WindowTreeTest, OnlyTheOwningThreadDestroysAWindow) {
  TestWindow window([](HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProc(w, m, wp, lp); });
  BOOL destroyed = TRUE;
  DWORD error = 0;
  std::thread other([&] {
    destroyed = DestroyWindow(window);
    error = GetLastError();
  });
  other.join();
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(WindowTreeTest, FocusAndActivationAreAnnounced) {
  std::vector<std::pair<std::string, UINT>> events;
  auto handler = [&](const std::string& name) {
    return [&events, name](HWND w, UINT m, WPARAM wp, LPARAM lp) {
      if (m == WM_SETFOCUS || m == WM_KILLFOCUS || m == WM_ACTIVATE) events.push_back({name, m});
      return DefWindowProc(w, m, wp, lp);
    };
  };
  TestWindow top(handler("top"));
  TestWindow edit(handler("edit"), top);
  TestWindow button(handler("button"), top);
  SetFocus(edit);
  std::vector<std::pair<std::string, UINT>> expected = {
      {"top", WM_ACTIVATE}, {"top", WM_SETFOCUS}, {"top", WM_KILLFOCUS}, {"edit", WM_SETFOCUS}};
  EXPECT_EQ(events, expected);
  EXPECT_EQ(GetActiveWindow(), top.Handle());
  events.clear();
  EXPECT_EQ(SetFocus(button), edit.Handle());
  expected = {{"edit", WM_KILLFOCUS}, {"button", WM_SETFOCUS}};
  EXPECT_EQ(events, expected);
  EnableWindow(button, FALSE);  // a disabled window gives the focus up
  EXPECT_EQ(GetFocus(), nullptr);
}

class Surface : public WindowExtra {
 public:
  explicit Surface(std::vector<std::string>* log) : log_(log) {}
  ~Surface() override { log_->push_back("surface freed"); }

 private:
  std::vector<std::string>* log_;
};

TEST_F(WindowTreeTest, ExtrasAndSubclassingLiveWithTheWindow) {
  std::vector<std::string> log;
  auto window = std::make_unique<TestWindow>([&](HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NCDESTROY) log.push_back("ncdestroy");
    if (m == WM_USER) return LRESULT{1};
    return DefWindowProc(w, m, wp, lp);
  });
  SetWindowExtra(*window, typeid(Surface), std::make_unique<Surface>(&log));
  EXPECT_NE(GetWindowExtra(*window, typeid(Surface)), nullptr);
  EXPECT_EQ(GetWindowExtra(*window, typeid(WindowExtra)), nullptr);

  static WNDPROC original;
  original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtr(*window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        LRESULT inner = CallWindowProc(original, w, m, wp, lp);
        return m == WM_USER ? inner + 10 : inner;
      })));
  EXPECT_EQ(SendMessage(*window, WM_USER, 0, 0), 11);
  window.reset();
  EXPECT_EQ(log, (std::vector<std::string>{"ncdestroy", "surface freed"}));
}

}  // namespace
}  // namespace ce
