#include "zolfa/browse/CDlgBrowseAll.h"

#include "platform/controls/ListView.h"
#include "platform/framework/Dc.h"
#include "platform/framework/Menu.h"
#include "platform/window/Paint.h"
#include "platform/gdi/Gdi.h"
#include "platform/shell/Gesture.h"
#include "platform/shell/MenuBar.h"
#include "platform/window/Focus.h"
#include "zolfa/browse/BrowseMessages.h"
#include "zolfa/browse/FeedFormat.h"
#include "zolfa/browse/PostedRecords.h"
#include "zolfa/service/FetchText.h"

using namespace ce;
using zolfa::BrowseLayout;
using zolfa::BrowseMode;
using zolfa::FeedItem;

namespace {

constexpr UINT kMenuBarIds[3] = {zolfa::kMenuBarAlbums, zolfa::kMenuBarSongs,
                                 zolfa::kMenuBarOther};
constexpr int kIndexButtonIds[3] = {CDlgBrowseAll::kPhoneticButton, CDlgBrowseAll::kStrokesButton,
                                    CDlgBrowseAll::kLettersButton};
constexpr UINT kIndexButtonImages[3] = {207, 205, 206};
constexpr UINT kTopicImage = 203;
constexpr UINT kCatalogueImage = 204;
constexpr UINT kBackImage = 221;
// Places of the mode buttons, pixels.
constexpr int kTopicButtonX = 2;
constexpr int kCatalogueButtonX = 78;
// The status box left of the back button.
constexpr int kStatusBoxFromRight = 124;
constexpr int kStatusTextFromRight = 109;
constexpr int kHeaderTextX = 3;

void Fill(HDC dc, const RECT& rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void Line(HDC dc, int x0, int x1, int y, COLORREF color) {
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x0, y, nullptr);
  LineTo(dc, x1, y);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void Stretch(HDC dc, const Bitmap& bitmap, const RECT& rect) {
  if (bitmap.Empty()) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, bitmap.Handle());
  SIZE size = bitmap.Size();
  StretchBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source, 0, 0,
             size.cx, size.cy, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

}  // namespace

CDlgBrowseAll::CDlgBrowseAll(zolfa::IScreenCore& core, zolfa::IBrowseQueue& queue,
                             Window* parent)
    : CTabScreen(kTemplateId, parent),
      core_(core),
      navigation_(*this, queue, core),
      list_(core, CListCtrlBrowse::Form::kBrowse) {}

CDlgBrowseAll::~CDlgBrowseAll() = default;

BOOL CDlgBrowseAll::OnInitDialog() {
  topicButton_.SubclassDlgItem(kTopicButton, Handle());
  topicButton_.SetImage(kTopicImage);
  catalogueButton_.SubclassDlgItem(kCatalogueButton, Handle());
  catalogueButton_.SetImage(kCatalogueImage);
  for (size_t i = 0; i < indexButtons_.size(); ++i) {
    indexButtons_[i].SubclassDlgItem(kIndexButtonIds[i], Handle());
    indexButtons_[i].SetImage(kIndexButtonImages[i]);
  }
  backButton_.SubclassDlgItem(kBackButton, Handle());
  backButton_.SetImage(kBackImage);
  list_.Attach(kItemList, Handle());
  grid_.SubclassDlgItem(kIndexGrid, Handle());
  grid_.SetBkColor(kBackground);
  indexBand_.LoadResource(kIndexBandBitmap);
  indexButtonsBack_.LoadResource(kIndexButtonsBitmap);
  for (size_t i = 0; i < menuBars_.size(); ++i) {
    SHMENUBARINFO info;
    info.hwndParent = Handle();
    info.dwFlags = SHCMBF_HIDDEN;
    info.nToolBarId = kMenuBarIds[i];
    if (SHCreateMenuBar(&info)) menuBars_[i] = info.hwndMB;
  }
  // The grid holds the phonetic table from the start; the plain layout.
  FillIndexGrid(zolfa::IndexGridLayout(0));
  UseLayout(BrowseLayout::kPlain, 0);
  backButton_.EnableWindow(FALSE);
  return FALSE;
}

void CDlgBrowseAll::SetActive(bool active) {
  CTabScreen::SetActive(active);
  // Showing the screen only chooses its menu bar again.
  for (size_t i = 0; i < menuBars_.size(); ++i) {
    if (menuBars_[i] == nullptr) continue;
    ce::ShowWindow(menuBars_[i], active && kMenuBarIds[i] == menuBarId_ ? SW_SHOW : SW_HIDE);
  }
}

HWND CDlgBrowseAll::MenuBar(UINT id) const {
  for (size_t i = 0; i < menuBars_.size(); ++i) {
    if (kMenuBarIds[i] == id) return menuBars_[i];
  }
  return nullptr;
}

BOOL CDlgBrowseAll::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  const UINT code = HIWORD(wParam);
  if (lParam != 0 && code != BN_CLICKED) return CTabScreen::OnCommand(wParam, lParam);
  switch (id) {
    case kTopicButton:
      navigation_.ShowTopic();
      return TRUE;
    case kCatalogueButton:
      navigation_.ShowCatalogue();
      return TRUE;
    case kPhoneticButton:
    case kStrokesButton:
    case kLettersButton:
      navigation_.ChooseIndexTable(static_cast<int32_t>(id) - kPhoneticButton);
      return TRUE;
    case kBackButton:
      navigation_.Back();
      return TRUE;
    case kCmdPlayAlbum:
    case kCmdAppendAlbum:
      if (list_.FirstSelectedRow() < 0) return TRUE;
      navigation_.OpenAlbum(list_.FirstSelectedRow(), id == kCmdPlayAlbum);
      return TRUE;
    case kCmdPlaySongs:
    case kCmdAppendSongs: {
      std::vector<int> rows = list_.SelectedRows();
      if (rows.empty()) return TRUE;
      navigation_.AddRows(std::vector<int32_t>(rows.begin(), rows.end()), id == kCmdPlaySongs);
      return TRUE;
    }
    case kCmdPlayAll:
    case kCmdAppendAll:
      navigation_.AddAllRows(id == kCmdPlayAll);
      return TRUE;
    default:
      break;
  }
  if (lParam == 0 && core_.OnCommand(id)) return TRUE;
  return CTabScreen::OnCommand(wParam, lParam);
}

BOOL CDlgBrowseAll::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (header == nullptr) return FALSE;
  if (header->hwndFrom == list_.Handle()) {
    OnListNotify(header);
    *result = 0;
    return TRUE;
  }
  if (header->hwndFrom == grid_.Handle()) {
    OnGridNotify(header);
    *result = 0;
    return TRUE;
  }
  return CTabScreen::OnNotify(wParam, lParam, result);
}

void CDlgBrowseAll::OnListNotify(NMHDR* header) {
  switch (header->code) {
    case NM_CLICK: {
      auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
      if (list_.ConsumeHold()) return;  // the hold showed its menu
      navigation_.TapRow(click->iItem);
      break;
    }
    case LVN_KEYDOWN: {
      auto* key = reinterpret_cast<NMLVKEYDOWN*>(header);
      if (key->wVKey == kActionKey) {
        navigation_.ActivateRow(list_.FirstSelectedRow());
      } else if (key->wVKey == kLeftKey && navigation_.BackEnabled() &&
                 backButton_.IsWindowVisible()) {
        navigation_.Back();
      }
      break;
    }
    case GN_CONTEXTMENU: {
      auto* gesture = reinterpret_cast<NMRGINFO*>(header);
      POINT client = gesture->ptAction;
      ScreenToClient(list_.Handle(), &client);
      int row = list_.HitTest(client);
      if (row < 0) row = list_.FirstSelectedRow();
      ShowContextMenu(row, gesture->ptAction);
      break;
    }
    default:
      break;
  }
}

void CDlgBrowseAll::OnGridNotify(NMHDR* header) {
  if (header->code == NM_CLICK) {
    auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
    if (click->iItem >= 0) navigation_.ChooseIndexEntry(click->iItem);
  } else if (header->code == LVN_KEYDOWN &&
             reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == kActionKey) {
    int entry = grid_.GetNextItem(-1, LVNI_SELECTED);
    if (entry >= 0) navigation_.ChooseIndexEntry(entry);
  }
}

void CDlgBrowseAll::ShowContextMenu(int row, POINT screenPoint) {
  const uint32_t menuId = navigation_.ContextMenuFor(row);
  if (menuId == 0) return;
  list_.SelectRow(row);
  Menu menu;
  if (!menu.LoadMenu(menuId)) return;
  HMENU popup = menu.GetSubMenu(0);
  if (popup == nullptr) return;
  TrackPopupMenu(popup, TPM_LEFTALIGN, screenPoint.x, screenPoint.y, 0, Handle(), nullptr);
}

bool CDlgBrowseAll::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto requestId = static_cast<int32_t>(static_cast<uint32_t>(wParam));
  switch (message) {
    case zolfa::MSG_BROWSE_ITEM:
      // The worker allocated the item for this screen, which frees it.
      navigation_.OnItem(requestId, std::unique_ptr<FeedItem>(reinterpret_cast<FeedItem*>(lParam)));
      *result = 0;
      return true;
    case zolfa::MSG_BROWSE_END:
      navigation_.OnEnd(requestId);
      *result = 0;
      return true;
    case WM_INITMENUPOPUP:
      EnableSelectionCommands(reinterpret_cast<HMENU>(wParam));
      *result = 0;
      return true;
    default:
      return CTabScreen::OnMessage(message, wParam, lParam, result);
  }
}

void CDlgBrowseAll::EnableSelectionCommands(HMENU menu) {
  const UINT state = list_.FirstSelectedRow() >= 0 ? MF_ENABLED : MF_GRAYED;
  for (UINT id : {kCmdPlayAlbum, kCmdAppendAlbum, kCmdPlaySongs, kCmdAppendSongs}) {
    EnableMenuItem(menu, id, MF_BYCOMMAND | state);
  }
}

void CDlgBrowseAll::OnTimer(UINT_PTR id) { navigation_.OnTimer(static_cast<uint32_t>(id)); }

BOOL CDlgBrowseAll::OnEraseBkgnd(HDC) { return TRUE; }

void CDlgBrowseAll::OnPaint() {
  PaintDc dc(Handle());
  const RECT client = GetClientRect();
  const int w = client.right;
  Fill(dc, client, kBackground);
  Line(dc, 0, w, kModeLineY, kModeLine);
  Fill(dc, RECT{0, kHeaderTop, w, kHeaderBottom}, kHeaderBand);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kHeaderText);
  RECT title{kHeaderTextX, kHeaderTop, w, kHeaderBottom};
  DrawText(dc, header_.c_str(), static_cast<int>(header_.size()), &title,
           DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (!status_.empty()) {
    Fill(dc, RECT{w - kStatusBoxFromRight, kHeaderTop, w - kBackFromRight, kHeaderBottom},
         kHeaderBand);
    SetTextColor(dc, 0);
    RECT status{w - kStatusTextFromRight, kHeaderTop, w - kBackFromRight, kHeaderBottom};
    DrawText(dc, status_.c_str(), static_cast<int>(status_.size()), &status,
             DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  if (layout_ == BrowseLayout::kPlain) {
    Line(dc, 0, w, kHeaderBottom, kPlainLine);
  } else {
    RECT band{0, kPlainListTop, w, kIndexTop};
    Stretch(dc, indexBand_, band);
    SetTextColor(dc, 0);
    DrawText(dc, kIndexCaption, -1, &band, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    Stretch(dc, indexButtonsBack_,
            RECT{0, kIndexTop, 3 * kIndexButtonWidth, kIndexTop + kIndexButtonHeight});
  }
  if (noData_) {
    RECT area = list_.GetWindowRect();
    POINT topLeft{area.left, area.top};
    POINT bottomRight{area.right, area.bottom};
    ScreenToClient(Handle(), &topLeft);
    ScreenToClient(Handle(), &bottomRight);
    RECT place{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    SetTextColor(dc, 0);
    DrawText(dc, kNoData, -1, &place, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
}

void CDlgBrowseAll::OnSize(UINT type, int width, int height) {
  CTabScreen::OnSize(type, width, height);
  if (list_.Handle() != nullptr) Place();
}

void CDlgBrowseAll::OnSettingChange(UINT flag, LPCWSTR section) {
  CTabScreen::OnSettingChange(flag, section);
  if (list_.Handle() != nullptr) Place();
}

void CDlgBrowseAll::Place() {
  const RECT client = GetClientRect();
  const int w = client.right;
  const int h = client.bottom;
  topicButton_.MoveWindow(kTopicButtonX, 0, topicButton_.FrameWidth(), topicButton_.FrameHeight());
  catalogueButton_.MoveWindow(kCatalogueButtonX, 0, catalogueButton_.FrameWidth(),
                              catalogueButton_.FrameHeight());
  backButton_.MoveWindow(w - kBackFromRight, kModeLineY, kBackWidth, kBackHeight);
  const bool index = layout_ == BrowseLayout::kIndex;
  const int share = w * kIndexSharePercent / 100;
  for (size_t i = 0; i < indexButtons_.size(); ++i) {
    indexButtons_[i].MoveWindow(static_cast<int>(i) * kIndexButtonWidth, kIndexTop,
                                kIndexButtonWidth, kIndexButtonHeight);
    indexButtons_[i].ShowWindow(index && static_cast<int32_t>(i) != indexTable_ ? SW_SHOW
                                                                              : SW_HIDE);
  }
  grid_.MoveWindow(0, kGridTop, share + 2, h - kGridTop);
  grid_.ShowWindow(index ? SW_SHOW : SW_HIDE);
  if (index) {
    list_.MoveWindow(share, kIndexTop, w - share, h - kIndexTop);
  } else {
    list_.MoveWindow(0, kPlainListTop, w, h - kPlainListTop);
  }
  Invalidate(FALSE);
}

void CDlgBrowseAll::OnDestroy() {
  // No worker posts here any more; what they posted and this screen never
  // read is freed here, as the window takes it with it otherwise.
  core_.ScreenWindowClosing(Handle());
  zolfa::FreePostedRecords<FeedItem>(Handle(), zolfa::MSG_BROWSE_ITEM);
  for (HWND& bar : menuBars_) {
    if (bar != nullptr && IsWindow(bar)) ce::DestroyWindow(bar);
    bar = nullptr;
  }
  CTabScreen::OnDestroy();
}

// IBrowseScreen.

void CDlgBrowseAll::SetHeader(std::u16string_view title) {
  header_.assign(title);
  InvalidateHeader();
}

void CDlgBrowseAll::SetStatus(std::u16string_view status) {
  status_.assign(status);
  InvalidateHeader();
}

void CDlgBrowseAll::InvalidateHeader() {
  if (Handle() == nullptr) return;
  RECT band{0, kHeaderTop, GetClientRect().right, kHeaderBottom};
  InvalidateRect(Handle(), &band, FALSE);
}

void CDlgBrowseAll::ClearList() { list_.DeleteAllRows(); }

void CDlgBrowseAll::ShowItems(const std::vector<FeedItem>& items, bool multipleSelection,
                              bool dialogWidthColumn) {
  noData_ = false;
  DWORD style = list_.GetStyle();
  style = multipleSelection ? (style & ~LVS_SINGLESEL) : (style | LVS_SINGLESEL);
  SetWindowLong(list_.Handle(), GWL_STYLE, static_cast<LONG>(style));
  list_.FillRows(items);
  list_.FitColumn(dialogWidthColumn ? GetClientRect().right : -1);
  list_.ShowWindow(SW_SHOW);
  list_.SelectRow(0);
  Invalidate(FALSE);
}

void CDlgBrowseAll::ShowNoData() {
  noData_ = true;
  list_.DeleteAllRows();
  list_.ShowWindow(SW_HIDE);
  Invalidate(FALSE);
}

void CDlgBrowseAll::SelectAllRows() { list_.SelectAll(); }

void CDlgBrowseAll::FocusList() {
  if (list_.IsWindowVisible()) list_.SetFocus();
}

void CDlgBrowseAll::ShowMenuBar(uint32_t menuBarId) {
  menuBarId_ = menuBarId;
  if (Active()) SetActive(true);
}

void CDlgBrowseAll::SetBackButton(bool enabled) { backButton_.EnableWindow(enabled ? TRUE : FALSE); }

void CDlgBrowseAll::ShowModeButtons(BrowseMode shown) {
  // The alternate face marks the mode shown: the pressed face belongs to
  // the stylus, whose release would take it away again.
  topicButton_.SetAlternate(shown == BrowseMode::kTopic);
  catalogueButton_.SetAlternate(shown == BrowseMode::kCatalogue);
}

void CDlgBrowseAll::EnableModeButtonsAndGrid() {
  topicButton_.EnableWindow(TRUE);
  catalogueButton_.EnableWindow(TRUE);
  grid_.EnableWindow(TRUE);
}

void CDlgBrowseAll::UseLayout(BrowseLayout layout, int32_t indexTable) {
  layout_ = layout;
  indexTable_ = indexTable;
  if (noData_ && layout == BrowseLayout::kIndex) noData_ = false;
  list_.ShowWindow(SW_SHOW);
  Place();
}

void CDlgBrowseAll::FillIndexGrid(const std::vector<zolfa::IndexGridEntry>& entries) {
  grid_.DeleteAllItems();
  for (size_t i = 0; i < entries.size(); ++i) {
    const int row = grid_.InsertItem(static_cast<int>(i), std::u16string(entries[i].text));
    grid_.SetItemPosition(row, POINT{entries[i].x, entries[i].y});
  }
}

void CDlgBrowseAll::DeselectIndexGrid() { grid_.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED); }

void CDlgBrowseAll::StartTimer(uint32_t timerId, uint32_t periodMs) { SetTimer(timerId, periodMs); }

void CDlgBrowseAll::StopTimer(uint32_t timerId) { KillTimer(timerId); }

std::vector<FeedItem> CDlgBrowseAll::FetchFeed(std::u16string_view address) {
  std::vector<FeedItem> items;
  zolfa::ParseFeed(zolfa::FetchText(std::u16string(address)), items);
  return items;
}
