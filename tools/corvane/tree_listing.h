// The indented listing of a chunk tree that `show` and `demo` print: one chunk
// a line, two spaces of indent a level, then the label, the name in quotes,
// the type tag in brackets and the value text, all as UTF-8.
#pragma once

#include <corvane/chunk/ichunk.h>

#include <boost/shared_ptr.hpp>
#include <cstdio>

namespace corvane {
namespace tool {

// Lists `root` and its descendants down to `maxDepth` levels below it (a
// negative depth lists everything); answers the number of chunks listed.
unsigned long ListTree(std::FILE* out, const boost::shared_ptr<IChunk>& root, int maxDepth);

}  // namespace tool
}  // namespace corvane
