// The SDL window of the device screen and the input it receives.
#define SDL_MAIN_HANDLED
#include "platform/host/detail/SdlWindow.h"

#include <SDL.h>

#include <cstdlib>

#include "platform/host/detail/KeyboardKeys.h"

namespace ce::detail {

struct SdlWindow::Parts {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  int textureWidth = 0;
  int textureHeight = 0;
  KeyboardKeys keys;
};

bool DisplayAvailable() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 != nullptr && *x11 != 0) || (wayland != nullptr && *wayland != 0);
}

std::unique_ptr<SdlWindow> SdlWindow::Open(int width, int height, int scale, std::string* error) {
  if (!DisplayAvailable()) {
    if (error != nullptr) *error = "no display";
    return nullptr;
  }
  SDL_SetMainReady();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (error != nullptr) *error = SDL_GetError();
    return nullptr;
  }
  std::unique_ptr<SdlWindow> self(new SdlWindow);
  self->parts_ = std::make_unique<Parts>();
  self->scale_ = scale;
  Parts& parts = *self->parts_;
  parts.window = SDL_CreateWindow("Device", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  width * scale, height * scale, SDL_WINDOW_SHOWN);
  if (parts.window != nullptr) parts.renderer = SDL_CreateRenderer(parts.window, -1, 0);
  if (parts.renderer == nullptr) {
    if (error != nullptr) *error = SDL_GetError();
    return nullptr;  // the destructor closes what was opened
  }
  if (!self->Fit(width, height)) {
    if (error != nullptr) *error = SDL_GetError();
    return nullptr;
  }
  return self;
}

SdlWindow::~SdlWindow() {
  if (parts_ != nullptr) {
    if (parts_->texture != nullptr) SDL_DestroyTexture(parts_->texture);
    if (parts_->renderer != nullptr) SDL_DestroyRenderer(parts_->renderer);
    if (parts_->window != nullptr) SDL_DestroyWindow(parts_->window);
  }
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlWindow::Fit(int width, int height) {
  Parts& parts = *parts_;
  if (parts.texture != nullptr && parts.textureWidth == width && parts.textureHeight == height) {
    return true;
  }
  if (parts.texture != nullptr) SDL_DestroyTexture(parts.texture);
  parts.texture = SDL_CreateTexture(parts.renderer, SDL_PIXELFORMAT_RGB888,
                                    SDL_TEXTUREACCESS_STREAMING, width, height);
  if (parts.texture == nullptr) return false;
  parts.textureWidth = width;
  parts.textureHeight = height;
  SDL_SetWindowSize(parts.window, width * scale_, height * scale_);
  width_ = width;
  height_ = height;
  return true;
}

void SdlWindow::Show(const Surface& screen) {
  if (!Fit(screen.Width(), screen.Height())) return;
  screen.Flush();
  SDL_UpdateTexture(parts_->texture, nullptr, screen.Row(0), screen.Stride());
  SDL_RenderClear(parts_->renderer);
  SDL_RenderCopy(parts_->renderer, parts_->texture, nullptr, nullptr);
  SDL_RenderPresent(parts_->renderer);
}

void SdlWindow::Poll(std::vector<HostEvent>* events) {
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    HostEvent out;
    switch (event.type) {
      case SDL_QUIT:
        out.kind = HostEvent::Kind::kClose;
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (event.button.button != SDL_BUTTON_LEFT) continue;
        out.kind = event.type == SDL_MOUSEBUTTONDOWN ? HostEvent::Kind::kStylusDown
                                                     : HostEvent::Kind::kStylusUp;
        out.point = POINT{event.button.x / scale_, event.button.y / scale_};
        break;
      case SDL_MOUSEMOTION:
        if ((event.motion.state & SDL_BUTTON_LMASK) == 0) continue;
        out.kind = HostEvent::Kind::kStylusMove;
        out.point = POINT{event.motion.x / scale_, event.motion.y / scale_};
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        if (event.key.keysym.sym == SDLK_F12) {
          if (event.type == SDL_KEYDOWN && event.key.repeat == 0) {
            out.kind = HostEvent::Kind::kRotate;
            break;
          }
          continue;
        }
        out.virtualKey = event.type == SDL_KEYDOWN ? parts_->keys.Press(event.key.keysym)
                                                   : parts_->keys.Release(event.key.keysym);
        if (out.virtualKey == 0) continue;
        out.kind = event.type == SDL_KEYDOWN ? HostEvent::Kind::kKeyDown : HostEvent::Kind::kKeyUp;
        out.repeat = event.key.repeat != 0;
        break;
      default:
        continue;
    }
    events->push_back(out);
  }
}

}  // namespace ce::detail
