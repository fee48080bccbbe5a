#include "server/RunSettings.h"

namespace zolfa_server {

namespace {

// "NAME=NUMBER" shortcuts of fault rules.
std::string ShortcutFault(const std::string& value, const char* matchKey, const char* actKey,
                          FaultRule* rule) {
  size_t equals = value.rfind('=');
  if (equals == std::string::npos || equals == 0) {
    return std::string("expected ") + (std::string(matchKey) == "host" ? "HOST" : "PATH") +
           "=" + (std::string(actKey) == "status" ? "STATUS" : "MS");
  }
  return FaultRule::Parse(std::string(matchKey) + "=" + value.substr(0, equals) + "," + actKey +
                              "=" + value.substr(equals + 1),
                          rule);
}

}  // namespace

bool RunSettings::IsSettingOption(const std::string& option) {
  return option == "fault" || option == "fail-host" || option == "delay-host" ||
         option == "delay-path" || option == "set" || option == "drop" || option == "unclose" ||
         option == "order" || option == "refuse";
}

std::string RunSettings::Apply(const std::string& option, const std::string& value,
                               const std::filesystem::path* bodyFolder) {
  std::string error;
  if (option == "fault" || option == "fail-host" || option == "delay-host" ||
      option == "delay-path") {
    FaultRule rule;
    if (option == "fault") {
      error = FaultRule::Parse(value, &rule, bodyFolder);
    } else if (option == "fail-host") {
      error = ShortcutFault(value, "host", "status", &rule);
    } else if (option == "delay-host") {
      error = ShortcutFault(value, "host", "delay", &rule);
    } else {
      error = ShortcutFault(value, "path", "delay", &rule);
    }
    if (!error.empty()) return option + ": " + error;
    std::lock_guard<std::mutex> lock(mutex_);
    current_.faults.push_back(std::move(rule));
    return std::string();
  }
  if (option == "refuse") {
    RefusalRule rule;
    error = RefusalRule::Parse(value, &rule);
    if (!error.empty()) return option + ": " + error;
    std::lock_guard<std::mutex> lock(mutex_);
    current_.refusals.push_back(std::move(rule));
    return std::string();
  }
  ShapeRule::Op op;
  if (option == "set") {
    op = ShapeRule::Op::kSet;
  } else if (option == "drop") {
    op = ShapeRule::Op::kDrop;
  } else if (option == "unclose") {
    op = ShapeRule::Op::kUnclose;
  } else if (option == "order") {
    op = ShapeRule::Op::kOrder;
  } else {
    return "unknown setting \"" + option + "\"";
  }
  ShapeRule rule;
  error = ShapeRule::Parse(op, value, &rule);
  if (!error.empty()) return option + ": " + error;
  std::lock_guard<std::mutex> lock(mutex_);
  current_.shapes.push_back(std::move(rule));
  return std::string();
}

void RunSettings::MarkStart() {
  std::lock_guard<std::mutex> lock(mutex_);
  start_ = current_;
}

void RunSettings::Reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  current_ = start_;
}

void RunSettings::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  current_ = State();
}

std::optional<FaultRule> RunSettings::TakeFault(const std::string& host,
                                                const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (FaultRule& rule : current_.faults) {
    if (!rule.Matches(host, path)) continue;
    FaultRule taken = rule;
    if (rule.times > 0) --rule.times;
    return taken;
  }
  return std::nullopt;
}

std::optional<int> RunSettings::Refusal(const std::string& account, const std::string& songId) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const RefusalRule& rule : current_.refusals) {
    if (rule.Matches(account, songId)) return rule.code;
  }
  return std::nullopt;
}

void RunSettings::Shape(const std::string& kind, Element& root) {
  std::vector<ShapeRule> rules;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const ShapeRule& rule : current_.shapes) {
      if (rule.kind.empty() || rule.kind == kind) rules.push_back(rule);
    }
  }
  for (const ShapeRule& rule : rules) rule.ApplyTo(root);
}

std::string RunSettings::Describe() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string text;
  for (const FaultRule& rule : current_.faults) text += rule.Describe() + "\n";
  for (const ShapeRule& rule : current_.shapes) text += rule.Describe() + "\n";
  for (const RefusalRule& rule : current_.refusals) text += rule.Describe() + "\n";
  return text;
}

}  // namespace zolfa_server
