#include "server/ShapeRule.h"

#include <algorithm>

namespace zolfa_server {

namespace {

const char* const kKinds[] = {"login", "check", "genre", "artist", "album",
                              "song",  "topic", "feed",  "backup", "ticket", "lyrics"};

bool SetIn(Element& element, const ShapeRule& rule) {
  bool found = false;
  for (Element& child : element.children) {
    if (child.name == rule.name) {
      child.value = rule.value;
      child.children.clear();
      found = true;
    } else if (SetIn(child, rule)) {
      found = true;
    }
  }
  return found;
}

void DropIn(Element& element, const std::string& name) {
  auto& children = element.children;
  children.erase(std::remove_if(children.begin(), children.end(),
                                [&](const Element& child) { return child.name == name; }),
                 children.end());
  for (Element& child : children) DropIn(child, name);
}

void UncloseIn(Element& element, const std::string& name) {
  for (Element& child : element.children) {
    if (child.name == name) child.closed = false;
    UncloseIn(child, name);
  }
}

void OrderIn(Element& element, const std::vector<std::string>& order) {
  auto rank = [&](const Element& child) {
    auto it = std::find(order.begin(), order.end(), child.name);
    return it == order.end() ? order.size() : static_cast<size_t>(it - order.begin());
  };
  std::stable_sort(element.children.begin(), element.children.end(),
                   [&](const Element& a, const Element& b) { return rank(a) < rank(b); });
  for (Element& child : element.children) OrderIn(child, order);
}

}  // namespace

bool ShapeRule::IsKind(const std::string& text) {
  return std::find(std::begin(kKinds), std::end(kKinds), text) != std::end(kKinds);
}

std::string ShapeRule::Parse(Op op, const std::string& text, ShapeRule* rule) {
  ShapeRule result;
  result.op = op;
  std::string rest = text;
  size_t colon = rest.find(':');
  if (colon != std::string::npos && IsKind(rest.substr(0, colon))) {
    result.kind = rest.substr(0, colon);
    rest = rest.substr(colon + 1);
  }
  if (op == Op::kSet) {
    size_t equals = rest.find('=');
    if (equals == std::string::npos) return "expected NAME=VALUE in \"" + text + "\"";
    result.name = rest.substr(0, equals);
    result.value = rest.substr(equals + 1);
  } else if (op == Op::kOrder) {
    size_t start = 0;
    while (start <= rest.size()) {
      size_t comma = rest.find(',', start);
      if (comma == std::string::npos) comma = rest.size();
      std::string name = rest.substr(start, comma - start);
      if (name.empty()) return "empty element name in \"" + text + "\"";
      result.order.push_back(name);
      start = comma + 1;
    }
  } else {
    result.name = rest;
  }
  if (op != Op::kOrder && result.name.empty()) return "no element name in \"" + text + "\"";
  if (result.name.find_first_of("<>/ ") != std::string::npos) {
    return "bad element name in \"" + text + "\"";
  }
  *rule = std::move(result);
  return std::string();
}

void ShapeRule::ApplyTo(Element& root) const {
  switch (op) {
    case Op::kSet:
      if (!SetIn(root, *this)) root.AddLeaf(name, value);
      break;
    case Op::kDrop:
      DropIn(root, name);
      break;
    case Op::kUnclose:
      UncloseIn(root, name);
      break;
    case Op::kOrder:
      OrderIn(root, order);
      break;
  }
}

std::string ShapeRule::Describe() const {
  std::string prefix = kind.empty() ? std::string() : kind + ":";
  switch (op) {
    case Op::kSet:
      return "set " + prefix + name + "=" + value;
    case Op::kDrop:
      return "drop " + prefix + name;
    case Op::kUnclose:
      return "unclose " + prefix + name;
    case Op::kOrder: {
      std::string names;
      for (const std::string& n : order) names += (names.empty() ? "" : ",") + n;
      return "order " + prefix + names;
    }
  }
  return std::string();
}

}  // namespace zolfa_server
