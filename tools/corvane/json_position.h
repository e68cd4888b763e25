// Where in a JSON file something is wrong, for people: the byte offset the
// reader stopped at, turned into a line and column only when a message needs
// it (by reading the file again up to there, so reading costs nothing extra).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace corvane {
namespace tool {

struct JsonTrouble {
  std::string reason;
  std::size_t offset = 0;  // the byte the trouble is at
  // The trouble is the string that ends just before `offset`: its opening
  // quote is the place to show.
  bool inStringBefore = false;
};

struct TextPosition {
  unsigned long line = 1;    // from 1
  unsigned long column = 1;  // from 1, counting UTF-8 characters
};

// The position of the trouble in the file `in` was read from (it is read
// again from its start).
TextPosition LocateTrouble(std::FILE* in, const JsonTrouble& trouble);

}  // namespace tool
}  // namespace corvane
