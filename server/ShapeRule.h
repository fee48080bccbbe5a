// A change that the tests ask for in the answers of one kind (or of all
// kinds): a value set, an element dropped or left unclosed, elements moved
// to the front. Written as
//   [KIND:]NAME=VALUE        set      (added at the end when absent)
//   [KIND:]NAME              drop / unclose
//   [KIND:]NAME,NAME,...     order
// KIND is login, check, genre, artist, album, song, topic, feed, backup,
// ticket or lyrics.
#pragma once

#include <string>
#include <vector>

#include "server/Element.h"

namespace zolfa_server {

struct ShapeRule {
  enum class Op { kSet, kDrop, kUnclose, kOrder };

  Op op = Op::kSet;
  std::string kind;  // empty: answers of every kind
  std::string name;
  std::string value;
  std::vector<std::string> order;

  // Parses the text of one rule; returns an error text or an empty one.
  static std::string Parse(Op op, const std::string& text, ShapeRule* rule);
  static bool IsKind(const std::string& text);

  // Changes the answer tree; root itself is never dropped.
  void ApplyTo(Element& root) const;

  std::string Describe() const;
};

}  // namespace zolfa_server
