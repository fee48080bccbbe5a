// Follows which windows and dialogs are shown, for the transcript's
// "show ID" and "hide ID" lines.
#pragma once

#include <string>
#include <vector>

#include "platform/base/Types.h"

namespace ce {

class Transcript;

class WindowWatcher {
 public:
  // Compares the windows shown now with those of the last call and writes
  // a line for each change: hides first, then shows, parents before
  // children.
  void Poll(Transcript& transcript);

 private:
  struct Shown {
    HWND window;
    std::u16string name;
  };
  std::vector<Shown> shown_;
};

}  // namespace ce
