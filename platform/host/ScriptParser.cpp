// Reading scripts: words, quoted texts, numbers and targets.
#include <cctype>
#include <charconv>

#include "platform/base/MessageBox.h"
#include "platform/host/Keypad.h"
#include "platform/host/Script.h"

namespace ce {

namespace {

constexpr long kMaxId = 65535;
constexpr long kMaxCoordinate = 8191;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Cuts a comment: "#" at the start of the text or after a blank.
std::string_view WithoutComment(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '#' && (i == 0 || IsBlank(text[i - 1]))) return text.substr(0, i);
  }
  return text;
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    size_t start = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

std::string Lower(std::string_view text) {
  std::string lower;
  for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

bool ParseNumber(std::string_view word, long min, long max, long* value) {
  if (word.empty()) return false;
  long parsed = 0;
  auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), parsed);
  if (error != std::errc() || end != word.data() + word.size()) return false;
  if (parsed < min || parsed > max) return false;
  *value = parsed;
  return true;
}

// A double-quoted string at the start of text; *rest gets what follows.
bool ParseQuoted(std::string_view text, std::string* out, std::string_view* rest,
                 std::string* problem) {
  out->clear();
  for (size_t i = 1; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      *rest = text.substr(i + 1);
      return true;
    }
    if (c != '\\') {
      *out += c;
      continue;
    }
    if (++i == text.size()) break;
    switch (text[i]) {
      case '"': *out += '"'; break;
      case '\\': *out += '\\'; break;
      case 'n': *out += '\n'; break;
      case 't': *out += '\t'; break;
      default:
        *problem = std::string("unknown escape \\") + text[i];
        return false;
    }
  }
  *problem = "the quoted text has no closing quote";
  return false;
}

class LineParser {
 public:
  LineParser(std::string_view line, int number) : line_(line), number_(number) {}

  bool Parse(std::optional<ScriptStep>* step, ScriptError* error);

 private:
  bool Fail(std::string message) {
    problem_ = std::move(message);
    return false;
  }
  bool ParseTarget(const std::vector<std::string_view>& args);
  bool ParseKeys(const std::vector<std::string_view>& args);
  bool ParseText(std::string_view rest, bool allowTimeout);
  bool ParseAnswer(const std::vector<std::string_view>& args);
  bool NoArguments(const std::vector<std::string_view>& args);
  bool ParseVerb(std::string_view verb, std::string_view rest);

  std::string_view line_;
  int number_;
  ScriptStep step_;
  std::string problem_;
};

bool LineParser::ParseTarget(const std::vector<std::string_view>& args) {
  ScriptTarget& target = step_.target;
  if (args.size() == 2) {
    long x = 0;
    long y = 0;
    if (!ParseNumber(args[0], 0, kMaxCoordinate, &x) || !ParseNumber(args[1], 0, kMaxCoordinate, &y)) {
      return Fail("expected a point X Y in pixels");
    }
    target.isPoint = true;
    target.point = POINT{static_cast<LONG>(x), static_cast<LONG>(y)};
    return true;
  }
  if (args.size() == 3 && (args[1] == "row" || args[1] == "item")) {
    long index = 0;
    if (!ParseNumber(args[2], 0, kMaxId, &index)) {
      return Fail("expected the number of the " + std::string(args[1]) + " (from 0)");
    }
    target.part = args[1] == "row" ? ScriptTarget::Part::kRow : ScriptTarget::Part::kItem;
    target.index = static_cast<int>(index);
  } else if (args.size() != 1) {
    return Fail("expected a control id, TEMPLATE/ID, ID row N, ID item N or a point X Y");
  }
  std::string_view word = args[0];
  size_t slash = word.find('/');
  std::string_view idText = word;
  if (slash != std::string_view::npos) {
    std::string_view dialog = word.substr(0, slash);
    idText = word.substr(slash + 1);
    if (dialog.empty()) return Fail("the dialog template before '/' is missing");
    target.dialog.assign(dialog.begin(), dialog.end());
  }
  long id = 0;
  if (!ParseNumber(idText, 0, kMaxId, &id)) return Fail("expected a control id (0-65535)");
  target.controlId = static_cast<int>(id);
  return true;
}

bool LineParser::ParseKeys(const std::vector<std::string_view>& args) {
  if (args.empty()) return Fail("expected one or more key names");
  for (std::string_view name : args) {
    std::optional<UINT> key = KeypadKeyByName(name);
    if (!key) return Fail("unknown key \"" + std::string(name) + "\"");
    step_.keys.push_back(*key);
  }
  return true;
}

bool LineParser::ParseText(std::string_view rest, bool allowTimeout) {
  rest = Trim(rest);
  step_.ms = kDefaultUntilMs;
  if (!rest.empty() && rest.front() == '"') {
    std::string_view after;
    if (!ParseQuoted(rest, &step_.text, &after, &problem_)) return false;
    std::vector<std::string_view> tail = Words(WithoutComment(after));
    if (tail.size() > 1 || (!tail.empty() && !allowTimeout)) {
      return Fail("unexpected words after the quoted text");
    }
    if (!tail.empty()) {
      long ms = 0;
      if (!ParseNumber(tail[0], 0, kMaxScriptWaitMs, &ms)) return Fail("expected a time-out in ms");
      step_.ms = static_cast<DWORD>(ms);
    }
  } else {
    step_.text = std::string(Trim(WithoutComment(rest)));
  }
  if (step_.text.empty()) return Fail("expected a text");
  return true;
}

bool LineParser::ParseAnswer(const std::vector<std::string_view>& args) {
  if (args.size() != 1) return Fail("expected OK, YES, NO or CANCEL");
  std::string word = Lower(args[0]);
  if (word == "ok") {
    step_.answer = IDOK;
  } else if (word == "yes") {
    step_.answer = IDYES;
  } else if (word == "no") {
    step_.answer = IDNO;
  } else if (word == "cancel") {
    step_.answer = IDCANCEL;
  } else {
    return Fail("expected OK, YES, NO or CANCEL");
  }
  return true;
}

bool LineParser::NoArguments(const std::vector<std::string_view>& args) {
  return args.empty() || Fail("takes no arguments");
}

bool LineParser::ParseVerb(std::string_view verbWord, std::string_view rest) {
  std::string verb = Lower(verbWord);
  std::vector<std::string_view> args = Words(WithoutComment(rest));
  if (verb == "tap" || verb == "hold") {
    step_.verb = verb == "tap" ? ScriptVerb::kTap : ScriptVerb::kHold;
    return ParseTarget(args);
  }
  if (verb == "await" && !args.empty() && args[0] == "text") {
    // The text is the rest of the line after the word, or quoted with a
    // time-out.
    step_.verb = ScriptVerb::kAwaitText;
    std::string_view after = Trim(rest);
    return ParseText(after.substr(std::min(after.size(), size_t{4})), true);
  }
  if (verb == "await") {
    step_.verb = ScriptVerb::kAwait;
    step_.ms = kDefaultUntilMs;
    if (args.size() == 4) {
      long ms = 0;
      if (!ParseNumber(args[3], 0, kMaxScriptWaitMs, &ms)) return Fail("expected a time-out in milliseconds");
      step_.ms = static_cast<DWORD>(ms);
      args.pop_back();
    }
    if (args.size() != 3 || (args[1] != "row" && args[1] != "item")) {
      return Fail("expected [TEMPLATE/]ID row N or [TEMPLATE/]ID item N, and a time-out");
    }
    return ParseTarget(args);
  }
  if (verb == "key") {
    step_.verb = ScriptVerb::kKey;
    return ParseKeys(args);
  }
  if (verb == "type" || verb == "until" || verb == "shot") {
    step_.verb = verb == "type" ? ScriptVerb::kType : verb == "until" ? ScriptVerb::kUntil : ScriptVerb::kShot;
    return ParseText(rest, step_.verb == ScriptVerb::kUntil);
  }
  if (verb == "menu") {
    step_.verb = ScriptVerb::kMenu;
    long command = 0;
    if (args.size() != 1 || !ParseNumber(args[0], 1, kMaxId, &command)) {
      return Fail("expected a command id (1-65535)");
    }
    step_.command = static_cast<UINT>(command);
    return true;
  }
  if (verb == "answer") {
    step_.verb = ScriptVerb::kAnswer;
    return ParseAnswer(args);
  }
  if (verb == "wait") {
    step_.verb = ScriptVerb::kWait;
    long ms = 0;
    if (args.size() != 1 || !ParseNumber(args[0], 0, kMaxScriptWaitMs, &ms)) {
      return Fail("expected a time in ms");
    }
    step_.ms = static_cast<DWORD>(ms);
    return true;
  }
  if (verb == "stamp") {
    step_.verb = ScriptVerb::kStamp;
    if (args.size() != 1) return Fail("expected one name");
    step_.text = std::string(args[0]);
    return true;
  }
  if (verb == "dump" || verb == "rotate" || verb == "quit") {
    step_.verb = verb == "dump" ? ScriptVerb::kDump : verb == "rotate" ? ScriptVerb::kRotate : ScriptVerb::kQuit;
    return NoArguments(args);
  }
  return Fail("unknown action \"" + std::string(verbWord) + "\"");
}

bool LineParser::Parse(std::optional<ScriptStep>* step, ScriptError* error) {
  step->reset();
  std::string_view source = Trim(WithoutComment(line_));
  if (source.empty()) return true;
  std::string_view text = Trim(line_);
  size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  step_.line = number_;
  step_.source = std::string(source);
  if (!ParseVerb(text.substr(0, end), text.substr(end))) {
    if (error != nullptr) *error = ScriptError{number_, problem_};
    return false;
  }
  *step = std::move(step_);
  return true;
}

}  // namespace

bool ParseScriptLine(std::string_view line, int lineNumber, std::optional<ScriptStep>* step,
                     ScriptError* error) {
  return LineParser(line, lineNumber).Parse(step, error);
}

bool ParseScript(std::string_view text, std::vector<ScriptStep>* steps, ScriptError* error) {
  int number = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    ++number;
    std::optional<ScriptStep> step;
    if (!ParseScriptLine(text.substr(start, end - start), number, &step, error)) return false;
    if (step) steps->push_back(std::move(*step));
    start = end + 1;
  }
  return true;
}

}  // namespace ce
