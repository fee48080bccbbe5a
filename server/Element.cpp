#include "server/Element.h"

namespace zolfa_server {

Element Element::Leaf(std::string name, std::string value) {
  Element element;
  element.name = std::move(name);
  element.value = std::move(value);
  return element;
}

Element Element::Node(std::string name) {
  Element element;
  element.name = std::move(name);
  return element;
}

Element& Element::Add(Element child) {
  children.push_back(std::move(child));
  return children.back();
}

Element& Element::AddLeaf(std::string name, std::string value) {
  return Add(Leaf(std::move(name), std::move(value)));
}

std::string Element::Render() const {
  const char* open = escaped ? "&lt;" : "<";
  const char* close = escaped ? "&gt;" : ">";
  std::string text = open + name;
  if (!attributes.empty()) text += " " + attributes;
  text += close;
  if (children.empty()) {
    text += value;
  } else {
    text += "\n";
    for (const Element& child : children) text += child.Render() + "\n";
  }
  if (closed) text += std::string(open) + "/" + name + close;
  return text;
}

std::string Element::RenderDocument(const std::string& encodingName) const {
  return "<?xml version=\"1.0\" encoding=\"" + encodingName + "\"?>\n" + Render() + "\n";
}

}  // namespace zolfa_server
