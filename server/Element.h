// An answer of the service as a tree of elements, written as the tag text
// that the handset reads by searching literal tags. Values are written as
// they are: the handset decodes no entities, so escaping them would change
// what it shows.
#pragma once

#include <string>
#include <vector>

namespace zolfa_server {

struct Element {
  std::string name;
  std::string attributes;  // written inside the opening tag, after a blank
  std::string value;       // text of an element without children (UTF-8)
  std::vector<Element> children;
  bool escaped = false;    // tags written as "&lt;name&gt;" ... "&lt;/name&gt;"
  bool closed = true;      // false leaves out the closing tag

  static Element Leaf(std::string name, std::string value);
  static Element Node(std::string name);
  Element& Add(Element child);
  Element& AddLeaf(std::string name, std::string value);

  // The element and everything in it; an element with children puts each
  // child on a line of its own.
  std::string Render() const;
  // A whole document: the XML declaration naming the encoding, the element
  // and a line end.
  std::string RenderDocument(const std::string& encodingName) const;
};

}  // namespace zolfa_server
