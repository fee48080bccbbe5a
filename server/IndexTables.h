// The three index tables by which the handset asks for artists. Position 0
// of every table is the compilation entry, which the handset sends as 99.
#pragma once

namespace zolfa_server {

class IndexTables {
 public:
  static constexpr int kPhonetic = 1;
  static constexpr int kStrokes = 2;
  static constexpr int kLetters = 3;
  static constexpr int kCompilationIndex = 99;

  // Number of entries, the compilation entry included: 38, 41 and 37.
  static int EntryCount(int indexType);
  // True for an index the handset can send for this table.
  static bool IsValidIndex(int indexType, int index);
  // Position of a letter or digit in the letter table ("A" 1 .. "Z" 26,
  // "0" 27 .. "9" 36); 0 for any other character.
  static int LetterPosition(char c);
};

}  // namespace zolfa_server
