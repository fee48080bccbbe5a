#include "platform/controls/ResourceScript.h"

#include <cctype>
#include <charconv>
#include <string>

#include "platform/base/CodePage.h"
#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/CommonControls.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Static.h"
#include "platform/window/Window.h"

namespace ce {

namespace {

enum class TokenKind { kWord, kNumber, kString, kPipe, kEnd };

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::string text;  // word or string (UTF-8)
  int64_t number = 0;
  int line = 0;
};

// Thrown inside the parser only; ParseResourceScript turns it into a value.
struct ScriptFault {
  int line;
  std::string message;
};

class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  Token Next() {
    SkipSpace();
    Token token;
    token.line = line_;
    if (pos_ >= text_.size()) {
      token.line = lastLine_;  // the end is reported on the last line with text
      return token;
    }
    lastLine_ = line_;
    char c = text_[pos_];
    if (c == '|') {
      ++pos_;
      token.kind = TokenKind::kPipe;
      return token;
    }
    if (c == '"') return ReadString(token);
    if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) return ReadNumber(token);
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '#') {
      size_t start = pos_;
      while (pos_ < text_.size() &&
             (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_' ||
              text_[pos_] == '#' || text_[pos_] == '.')) {
        ++pos_;
      }
      token.kind = TokenKind::kWord;
      token.text = std::string(text_.substr(start, pos_ - start));
      return token;
    }
    throw ScriptFault{line_, std::string("unexpected character '") + c + "'"};
  }

 private:
  void SkipSpace() {
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r' || c == ',') {
        ++pos_;
      } else if (c == '#' && (pos_ + 1 >= text_.size() || !std::isalnum(static_cast<unsigned char>(text_[pos_ + 1])))) {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else {
        break;
      }
    }
  }

  Token ReadString(Token& token) {
    ++pos_;
    token.kind = TokenKind::kString;
    while (true) {
      if (pos_ >= text_.size() || text_[pos_] == '\n') {
        throw ScriptFault{token.line, "unterminated string"};
      }
      char c = text_[pos_++];
      if (c == '"') break;
      if (c == '\\') {
        if (pos_ >= text_.size()) throw ScriptFault{token.line, "unterminated string"};
        char e = text_[pos_++];
        switch (e) {
          case 'n': token.text += '\n'; break;
          case 't': token.text += '\t'; break;
          case '\\': token.text += '\\'; break;
          case '"': token.text += '"'; break;
          default: throw ScriptFault{token.line, std::string("unknown escape \\") + e};
        }
      } else {
        token.text += c;
      }
    }
    return token;
  }

  Token ReadNumber(Token& token) {
    size_t start = pos_;
    bool negative = text_[pos_] == '-';
    if (negative) ++pos_;
    int base = 10;
    if (pos_ + 1 < text_.size() && text_[pos_] == '0' && (text_[pos_ + 1] == 'x' || text_[pos_ + 1] == 'X')) {
      base = 16;
      pos_ += 2;
    }
    size_t digits = pos_;
    while (pos_ < text_.size() && std::isxdigit(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    uint64_t value = 0;
    auto [end, error] = std::from_chars(text_.data() + digits, text_.data() + pos_, value, base);
    if (digits == pos_ || error != std::errc() || end != text_.data() + pos_ || value > 0xFFFFFFFFull) {
      throw ScriptFault{line_, "bad number '" + std::string(text_.substr(start, pos_ - start)) + "'"};
    }
    token.kind = TokenKind::kNumber;
    token.number = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    return token;
  }

  std::string_view text_;
  size_t pos_ = 0;
  int line_ = 1;
  int lastLine_ = 1;
};

class Parser {
 public:
  Parser(std::string_view script, const ResourceFileReader& readFile, ResourceSet* set)
      : lexer_(script), readFile_(readFile), set_(set) {
    Advance();
  }

  void Run() {
    while (current_.kind != TokenKind::kEnd) {
      std::string keyword = ExpectWord("a statement");
      if (keyword == "STRINGTABLE") {
        ParseStringTable();
      } else if (keyword == "IMAGE" || keyword == "BITMAP" || keyword == "GIF") {
        ParseImage();
      } else if (keyword == "DIALOG" || keyword == "DIALOGEX") {
        ParseDialog();
      } else if (keyword == "MENU") {
        ParseMenu();
      } else {
        Fail("unknown statement " + keyword);
      }
    }
  }

 private:
  [[noreturn]] void Fail(const std::string& message) { throw ScriptFault{current_.line, message}; }

  void Advance() { current_ = lexer_.Next(); }

  bool AtWord(const char* word) const {
    return current_.kind == TokenKind::kWord && current_.text == word;
  }

  std::string ExpectWord(const char* what) {
    if (current_.kind != TokenKind::kWord) Fail(std::string("expected ") + what);
    std::string word = current_.text;
    Advance();
    return word;
  }

  void Expect(const char* word) {
    if (!AtWord(word)) Fail(std::string("expected ") + word);
    Advance();
  }

  std::string ExpectString(const char* what) {
    if (current_.kind != TokenKind::kString) Fail(std::string("expected ") + what + " (a string)");
    std::string text = current_.text;
    Advance();
    return text;
  }

  std::u16string ExpectText(const char* what) {
    std::string utf8 = ExpectString(what);
    std::u16string wide = FromUtf8(utf8);
    if (wide.empty() && !utf8.empty()) Fail(std::string(what) + " is not UTF-8");
    return wide;
  }

  int64_t ExpectNumber(const char* what) {
    if (current_.kind == TokenKind::kNumber) {
      int64_t value = current_.number;
      Advance();
      return value;
    }
    if (current_.kind == TokenKind::kWord) {
      int64_t value = 0;
      if (!LookUpResourceSymbol(current_.text, &value)) Fail("unknown name " + current_.text);
      Advance();
      return value;
    }
    Fail(std::string("expected ") + what);
  }

  int ExpectCoordinate(const char* what) {
    int line = current_.line;
    int64_t value = ExpectNumber(what);
    if (value < -32768 || value > 32767) throw ScriptFault{line, std::string(what) + " out of range"};
    return static_cast<int>(value);
  }

  // A number or a word naming the resource.
  ResourceName ExpectName() {
    if (current_.kind == TokenKind::kNumber) {
      if (current_.number < 1 || current_.number > 0xFFFF) Fail("resource number out of range");
      UINT id = static_cast<UINT>(current_.number);
      Advance();
      return ResourceName(id);
    }
    if (current_.kind == TokenKind::kWord || current_.kind == TokenKind::kString) {
      std::u16string name = FromUtf8(current_.text);
      Advance();
      return ResourceName(std::u16string_view(name));
    }
    Fail("expected a resource name");
  }

  // term ('|' term)*, term = number | name | NOT term.
  DWORD ParseStyle(DWORD value) {
    while (true) {
      bool clear = false;
      if (AtWord("NOT")) {
        clear = true;
        Advance();
      }
      auto bits = static_cast<DWORD>(ExpectNumber("a style"));
      value = clear ? (value & ~bits) : (value | bits);
      if (current_.kind != TokenKind::kPipe) return value;
      Advance();
    }
  }

  bool SameLine(int line) const {
    return current_.kind != TokenKind::kEnd && current_.line == line &&
           current_.kind != TokenKind::kString;
  }

  void ParseStringTable() {
    Expect("BEGIN");
    while (!AtWord("END")) {
      int64_t id = ExpectNumber("a string id");
      if (id < 0 || id > 0xFFFF) Fail("string id out of range");
      set_->AddString(static_cast<UINT>(id), ExpectText("the string"));
    }
    Advance();
  }

  void ParseImage() {
    ResourceName name = ExpectName();
    std::string file = ExpectString("the image file name");
    std::vector<uint8_t> bytes;
    if (!readFile_ || !readFile_(file, &bytes)) Fail("cannot read image file " + file);
    set_->AddImage(name, std::move(bytes));
  }

  void ParseDialog() {
    int line = current_.line;
    ResourceName name = ExpectName();
    DialogTemplate dialog;
    dialog.style = WS_POPUP | WS_CAPTION;
    dialog.x = ExpectCoordinate("x");
    dialog.y = ExpectCoordinate("y");
    dialog.cx = ExpectCoordinate("width");
    dialog.cy = ExpectCoordinate("height");
    (void)line;
    while (!AtWord("BEGIN")) {
      std::string option = ExpectWord("BEGIN or a dialog option");
      if (option == "STYLE") {
        dialog.style = ParseStyle(0);
      } else if (option == "EXSTYLE") {
        dialog.exStyle = ParseStyle(0);
      } else if (option == "CAPTION") {
        dialog.caption = ExpectText("the caption");
      } else if (option == "FONT") {
        dialog.fontPoints = static_cast<int>(ExpectNumber("the font size"));
        dialog.fontFace = ExpectText("the font face");
      } else {
        Fail("unknown dialog option " + option);
      }
    }
    Advance();
    while (!AtWord("END")) dialog.items.push_back(ParseControl());
    Advance();
    set_->AddDialog(name, std::move(dialog));
  }

  struct Shorthand {
    const char* keyword;
    const char16_t* className;
    DWORD style;
    bool hasText;
  };

  DialogItemTemplate ParseControl() {
    static const Shorthand kShorthands[] = {
        {"LTEXT", WC_STATIC, SS_LEFT | WS_GROUP, true},
        {"CTEXT", WC_STATIC, SS_CENTER | WS_GROUP, true},
        {"RTEXT", WC_STATIC, SS_RIGHT | WS_GROUP, true},
        {"PUSHBUTTON", WC_BUTTON, BS_PUSHBUTTON | WS_TABSTOP, true},
        {"DEFPUSHBUTTON", WC_BUTTON, BS_DEFPUSHBUTTON | WS_TABSTOP, true},
        {"AUTOCHECKBOX", WC_BUTTON, BS_AUTOCHECKBOX | WS_TABSTOP, true},
        {"AUTORADIOBUTTON", WC_BUTTON, BS_AUTORADIOBUTTON, true},
        {"EDITTEXT", WC_EDIT, ES_LEFT | WS_BORDER | WS_TABSTOP, false},
        {"COMBOBOX", WC_COMBOBOX, CBS_DROPDOWN | WS_TABSTOP, false},
    };
    int line = current_.line;
    std::string keyword = ExpectWord("CONTROL or END");
    DialogItemTemplate item;
    if (keyword == "CONTROL") {
      item.text = ExpectText("the control text");
      item.id = static_cast<int>(ExpectNumber("the control id"));
      if (current_.kind == TokenKind::kString || current_.kind == TokenKind::kWord) {
        item.className = FromUtf8(current_.text);
        Advance();
      } else {
        Fail("expected the control class");
      }
      item.style = ParseStyle(WS_CHILD | WS_VISIBLE) | WS_CHILD;
      ReadPlace(&item);
      if (SameLine(line)) item.exStyle = ParseStyle(0);
      return item;
    }
    for (const Shorthand& shorthand : kShorthands) {
      if (keyword != shorthand.keyword) continue;
      if (shorthand.hasText) item.text = ExpectText("the control text");
      item.id = static_cast<int>(ExpectNumber("the control id"));
      item.className = shorthand.className;
      ReadPlace(&item);
      item.style = WS_CHILD | WS_VISIBLE | shorthand.style;
      if (SameLine(line)) item.style = ParseStyle(item.style) | WS_CHILD;
      if (SameLine(line)) item.exStyle = ParseStyle(0);
      return item;
    }
    Fail("unknown control statement " + keyword);
  }

  void ReadPlace(DialogItemTemplate* item) {
    item->x = ExpectCoordinate("x");
    item->y = ExpectCoordinate("y");
    item->cx = ExpectCoordinate("width");
    item->cy = ExpectCoordinate("height");
  }

  void ParseMenu() {
    ResourceName name = ExpectName();
    MenuTemplate menu;
    Expect("BEGIN");
    ParseMenuItems(&menu.items, 0);
    set_->AddMenu(name, std::move(menu));
  }

  // Reads items up to and including END.
  void ParseMenuItems(std::vector<MenuItemTemplate>* items, int depth) {
    if (depth > 8) Fail("menus nest too deep");
    while (!AtWord("END")) {
      int line = current_.line;
      std::string keyword = ExpectWord("MENUITEM, POPUP or END");
      MenuItemTemplate item;
      if (keyword == "POPUP") {
        item.flags = MF_POPUP;
        item.text = ExpectText("the popup text");
        ReadItemOptions(&item, line);
        Expect("BEGIN");
        ParseMenuItems(&item.children, depth + 1);
      } else if (keyword == "MENUITEM") {
        if (AtWord("SEPARATOR")) {
          Advance();
          item.flags = MF_SEPARATOR;
        } else {
          item.text = ExpectText("the item text");
          int64_t id = ExpectNumber("the command id");
          if (id < 0 || id > 0xFFFF) Fail("command id out of range");
          item.id = static_cast<UINT>(id);
          ReadItemOptions(&item, line);
        }
      } else {
        Fail("unknown menu statement " + keyword);
      }
      items->push_back(std::move(item));
    }
    Advance();
  }

  void ReadItemOptions(MenuItemTemplate* item, int line) {
    while (current_.kind == TokenKind::kWord && current_.line == line) {
      if (AtWord("GRAYED")) {
        item->flags |= MF_GRAYED;
      } else if (AtWord("INACTIVE")) {
        item->flags |= MF_DISABLED;
      } else if (AtWord("CHECKED")) {
        item->flags |= MF_CHECKED;
      } else {
        return;
      }
      Advance();
    }
  }

  Lexer lexer_;
  const ResourceFileReader& readFile_;
  ResourceSet* set_;
  Token current_;
};

}  // namespace

std::optional<ResourceScriptError> ParseResourceScript(std::string_view script,
                                                       const ResourceFileReader& readFile,
                                                       ResourceSet* set) {
  try {
    Parser parser(script, readFile, set);
    parser.Run();
  } catch (const ScriptFault& fault) {
    return ResourceScriptError{fault.line, fault.message};
  }
  return std::nullopt;
}

}  // namespace ce
