#include "zolfa/playback/CWMPEventDispatch.h"

#include <utility>

#include "platform/framework/Application.h"
#include "platform/window/Message.h"
#include "zolfa/playback/CWMPHostMessages.h"

namespace zolfa {

CWMPEventDispatch::CWMPEventDispatch()
    : CWMPEventDispatch([]() -> ce::HWND {
        ce::Application* application = ce::Application::Current();
        ce::Window* window = application ? application->MainWindow() : nullptr;
        return window ? window->Handle() : nullptr;
      }) {}

CWMPEventDispatch::CWMPEventDispatch(MainWindowLookup mainWindow)
    : mainWindow_(std::move(mainWindow)) {}

void CWMPEventDispatch::OpenStateChange(ce::LONG newState) {
  ce::PostMessage(mainWindow_(), MSG_MEDIA_OPEN_STATE_CHANGE, static_cast<ce::WPARAM>(newState), 0);
}

void CWMPEventDispatch::PlayStateChange(ce::LONG newState) {
  ce::PostMessage(mainWindow_(), MSG_MEDIA_PLAY_STATE_CHANGE, static_cast<ce::WPARAM>(newState), 0);
}

void CWMPEventDispatch::PositionChange(double oldPosition, double newPosition) {
  ce::PostMessage(mainWindow_(), MSG_MEDIA_POSITION_CHANGE,
                  static_cast<ce::WPARAM>(static_cast<int32_t>(oldPosition)),
                  static_cast<ce::LPARAM>(static_cast<int32_t>(newPosition)));
}

}  // namespace zolfa
