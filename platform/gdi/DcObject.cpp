#include "platform/gdi/detail/DcObject.h"

namespace ce::detail {

std::shared_ptr<DcObject> DcObject::CreateMemory() {
  auto surface = Surface::Create(1, 1);
  if (surface == nullptr) return nullptr;
  // A memory DC may draw anywhere on whatever bitmap it holds.
  PixelRegion everywhere(RECT{0, 0, Surface::kMaxSide, Surface::kMaxSide});
  auto dc = std::shared_ptr<DcObject>(
      new DcObject(Kind::kMemory, surface, POINT{}, std::move(everywhere), nullptr));
  dc->defaultBitmap_ = std::make_shared<BitmapObject>(surface);
  dc->state_.bitmapHandle = ToHandle<HGDIOBJ>(kDefaultBitmapId);
  dc->state_.bitmap = dc->defaultBitmap_;
  return dc;
}

std::shared_ptr<DcObject> DcObject::CreateOnSurface(Kind kind, std::shared_ptr<Surface> surface,
                                                    POINT origin, PixelRegion visible,
                                                    HWND window) {
  if (surface == nullptr) return nullptr;
  return std::shared_ptr<DcObject>(
      new DcObject(kind, std::move(surface), origin, std::move(visible), window));
}

DcObject::DcObject(Kind kind, std::shared_ptr<Surface> surface, POINT origin, PixelRegion visible,
                   HWND window)
    : kind_(kind), window_(window), surface_(std::move(surface)), origin_(origin),
      visible_(std::move(visible)) {
  state_.penHandle = ToHandle<HGDIOBJ>(kStockBase + BLACK_PEN);
  state_.pen = FindAs<PenObject>(state_.penHandle);
  state_.brushHandle = ToHandle<HGDIOBJ>(kStockBase + WHITE_BRUSH);
  state_.brush = FindAs<BrushObject>(state_.brushHandle);
  state_.fontHandle = ToHandle<HGDIOBJ>(kStockBase + SYSTEM_FONT);
  state_.font = FindAs<FontObject>(state_.fontHandle);
}

DcObject::~DcObject() {
  Detach();
  if (cairo_ != nullptr) cairo_destroy(cairo_);
}

void DcObject::Detach() {
  if (state_.bitmap != nullptr && state_.bitmap != defaultBitmap_) state_.bitmap->Deselect(id_);
  for (DcState& s : saved_) {
    if (s.bitmap != nullptr && s.bitmap != defaultBitmap_) s.bitmap->Deselect(id_);
  }
  state_.bitmap = defaultBitmap_;
  saved_.clear();
}

const PixelRegion& DcObject::Clip() {
  if (!clipValid_) {
    clip_ = visible_;
    clip_.Intersect(RECT{0, 0, surface_->Width(), surface_->Height()});
    if (state_.hasClip) clip_.Intersect(state_.clip);
    clipValid_ = true;
    cairoClipValid_ = false;
  }
  return clip_;
}

cairo_t* DcObject::Cairo() {
  if (cairo_ == nullptr) {
    cairo_ = cairo_create(surface_->Cairo());
    cairoClipValid_ = false;
  }
  const PixelRegion& clip = Clip();
  if (!cairoClipValid_) {
    cairo_reset_clip(cairo_);
    cairo_new_path(cairo_);
    int n = clip.RectCount();
    if (n == 0) {
      cairo_rectangle(cairo_, 0, 0, 0, 0);
    }
    for (int i = 0; i < n; ++i) {
      RECT r = clip.RectAt(i);
      cairo_rectangle(cairo_, r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    cairo_clip(cairo_);
    cairoClipValid_ = true;
  }
  cairo_identity_matrix(cairo_);
  cairo_set_antialias(cairo_, CAIRO_ANTIALIAS_NONE);
  cairo_set_operator(cairo_, CAIRO_OPERATOR_OVER);
  cairo_set_line_width(cairo_, 1.0);
  cairo_set_dash(cairo_, nullptr, 0, 0);
  cairo_set_fill_rule(cairo_, CAIRO_FILL_RULE_WINDING);
  cairo_new_path(cairo_);
  return cairo_;
}

void DcObject::SetTarget(std::shared_ptr<Surface> surface) {
  if (surface == surface_) return;
  surface_ = std::move(surface);
  if (cairo_ != nullptr) {
    cairo_destroy(cairo_);
    cairo_ = nullptr;
  }
  clipValid_ = false;
}

void DcObject::ReleaseIfUnused(const std::shared_ptr<BitmapObject>& bitmap) {
  if (bitmap == nullptr || bitmap == defaultBitmap_ || bitmap == state_.bitmap) return;
  for (const DcState& s : saved_) {
    if (s.bitmap == bitmap) return;
  }
  bitmap->Deselect(id_);
}

bool DcObject::SelectBitmap(HGDIOBJ handle, std::shared_ptr<BitmapObject> bitmap) {
  if (kind_ != Kind::kMemory) return false;
  if (reinterpret_cast<uintptr_t>(handle) == kDefaultBitmapId) bitmap = defaultBitmap_;
  if (bitmap == nullptr) return false;
  if (bitmap != defaultBitmap_ && !bitmap->TrySelect(id_)) return false;
  std::shared_ptr<BitmapObject> previous = std::move(state_.bitmap);
  state_.bitmapHandle = handle;
  state_.bitmap = bitmap;
  ReleaseIfUnused(previous);
  SetTarget(bitmap->GetSurface());
  return true;
}

int DcObject::Save() {
  saved_.push_back(state_);
  return static_cast<int>(saved_.size());
}

bool DcObject::Restore(int level) {
  int count = static_cast<int>(saved_.size());
  if (level < 0) level = count + 1 + level;
  if (level < 1 || level > count) return false;
  std::vector<DcState> dropped(saved_.begin() + (level - 1), saved_.end());
  saved_.resize(static_cast<size_t>(level - 1));
  DcState restored = dropped.front();
  std::shared_ptr<BitmapObject> current = state_.bitmap;
  HGDIOBJ currentHandle = state_.bitmapHandle;
  state_ = restored;
  // The restored bitmap is still selected here (a saved state held it).
  state_.bitmap = current;
  state_.bitmapHandle = currentHandle;
  if (kind_ == Kind::kMemory && restored.bitmap != current) {
    if (!SelectBitmap(restored.bitmapHandle, restored.bitmap)) {
      SelectBitmap(ToHandle<HGDIOBJ>(kDefaultBitmapId), nullptr);
    }
  }
  for (const DcState& s : dropped) ReleaseIfUnused(s.bitmap);
  ClipChanged();
  return true;
}

std::shared_ptr<DcObject> FindDc(HDC dc) { return FindAs<DcObject>(dc); }

}  // namespace ce::detail
