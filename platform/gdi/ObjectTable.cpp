// The process-wide table of drawing objects and the stock objects in it.
#include <mutex>
#include <unordered_map>

#include "platform/gdi/Objects.h"
#include "platform/gdi/Text.h"
#include "platform/gdi/detail/BitmapObject.h"
#include "platform/gdi/detail/FontObject.h"
#include "platform/gdi/detail/GdiObject.h"

namespace ce::detail {
namespace {

std::shared_ptr<GdiObject> MakeBrush(COLORREF color, UINT style = BS_SOLID) {
  LOGBRUSH b;
  b.lbStyle = style;
  b.lbColor = color;
  return std::make_shared<BrushObject>(b);
}

std::shared_ptr<GdiObject> MakePen(COLORREF color, int style = PS_SOLID) {
  LOGPEN p;
  p.lopnStyle = static_cast<UINT>(style);
  p.lopnWidth.x = 1;
  p.lopnColor = color;
  return std::make_shared<PenObject>(p);
}

std::shared_ptr<GdiObject> MakeDefaultFont() {
  LOGFONT f;
  f.lfHeight = -kDefaultFontPixels;
  f.lfWeight = FW_NORMAL;
  f.lfCharSet = CHINESEBIG5_CHARSET;
  for (int i = 0; kDefaultFaceName[i] != 0 && i < LF_FACESIZE - 1; ++i) {
    f.lfFaceName[i] = kDefaultFaceName[i];
  }
  return std::make_shared<FontObject>(f);
}

class ObjectTable {
 public:
  ObjectTable() {
    auto stock = [this](int index, std::shared_ptr<GdiObject> object) {
      objects_[kStockBase + static_cast<uintptr_t>(index)] = std::move(object);
    };
    stock(WHITE_BRUSH, MakeBrush(RGB(255, 255, 255)));
    stock(LTGRAY_BRUSH, MakeBrush(RGB(192, 192, 192)));
    stock(GRAY_BRUSH, MakeBrush(RGB(128, 128, 128)));
    stock(DKGRAY_BRUSH, MakeBrush(RGB(64, 64, 64)));
    stock(BLACK_BRUSH, MakeBrush(RGB(0, 0, 0)));
    stock(NULL_BRUSH, MakeBrush(0, BS_NULL));
    stock(WHITE_PEN, MakePen(RGB(255, 255, 255)));
    stock(BLACK_PEN, MakePen(RGB(0, 0, 0)));
    stock(NULL_PEN, MakePen(0, PS_NULL));
    auto font = MakeDefaultFont();
    stock(SYSTEM_FONT, font);
    stock(DEFAULT_GUI_FONT, font);
    for (int i = 0; i < kSysColorCount; ++i) {
      objects_[kSysBrushBase + static_cast<uintptr_t>(i)] = MakeBrush(GetSysColor(i));
    }
    objects_[kDefaultBitmapId] = std::make_shared<BitmapObject>(Surface::Create(1, 1));
  }

  uintptr_t Add(std::shared_ptr<GdiObject> object) {
    std::lock_guard lock(mutex_);
    uintptr_t id = next_++;
    objects_[id] = std::move(object);
    return id;
  }

  std::shared_ptr<GdiObject> Find(uintptr_t id) {
    std::lock_guard lock(mutex_);
    auto it = objects_.find(id);
    return it == objects_.end() ? nullptr : it->second;
  }

  std::shared_ptr<GdiObject> Remove(uintptr_t id) {
    if (id < kFirstDynamicId) return nullptr;
    std::lock_guard lock(mutex_);
    auto it = objects_.find(id);
    if (it == objects_.end()) return nullptr;
    auto object = std::move(it->second);
    objects_.erase(it);
    return object;
  }

 private:
  std::mutex mutex_;
  std::unordered_map<uintptr_t, std::shared_ptr<GdiObject>> objects_;
  uintptr_t next_ = kFirstDynamicId;
};

ObjectTable& Table() {
  static ObjectTable* table = new ObjectTable();  // lives as long as the process
  return *table;
}

}  // namespace

uintptr_t AddObject(std::shared_ptr<GdiObject> object) { return Table().Add(std::move(object)); }

std::shared_ptr<GdiObject> FindObject(const void* handle) {
  if (handle == nullptr) return nullptr;
  return Table().Find(reinterpret_cast<uintptr_t>(handle));
}

std::shared_ptr<GdiObject> RemoveObject(const void* handle) {
  return Table().Remove(reinterpret_cast<uintptr_t>(handle));
}

std::shared_ptr<BrushObject> ResolveBrush(HBRUSH brush) {
  auto id = reinterpret_cast<uintptr_t>(brush);
  if (id >= 1 && id <= static_cast<uintptr_t>(kSysColorCount)) {
    id = kSysBrushBase + (id - 1);
  }
  return std::dynamic_pointer_cast<BrushObject>(Table().Find(id));
}

bool IsStockHandle(const void* handle) {
  auto id = reinterpret_cast<uintptr_t>(handle);
  return id >= kStockBase && id < kFirstDynamicId && FindObject(handle) != nullptr;
}

}  // namespace ce::detail
