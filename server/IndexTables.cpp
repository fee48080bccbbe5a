#include "server/IndexTables.h"

namespace zolfa_server {

int IndexTables::EntryCount(int indexType) {
  switch (indexType) {
    case kPhonetic:
      return 38;
    case kStrokes:
      return 41;
    case kLetters:
      return 37;
    default:
      return 0;
  }
}

bool IndexTables::IsValidIndex(int indexType, int index) {
  int count = EntryCount(indexType);
  if (count == 0) return false;
  return index == kCompilationIndex || (index >= 1 && index < count);
}

int IndexTables::LetterPosition(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return c - 'A' + 1;
  if (c >= '0' && c <= '9') return c - '0' + 27;
  return 0;
}

}  // namespace zolfa_server
