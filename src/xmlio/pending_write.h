// PendingWrite: the file a write-mode FileConvert owes its path, shared by
// the document and every copy of it. Each holder joins; a holder that is
// destroyed leaves with its progress state, and the last one to leave that
// way writes the tree - once, whole, reporting to that holder's state. A
// holder that leaves otherwise (assigned over, given a new path) writes
// nothing. An exception from a callback abandons the write, leaving the file
// as it was: it is raised inside a destructor, which cannot pass it on. One
// thread at a time.
#pragma once

#include <corvane/chunk/ichunk.h>
#include <corvane/platform/cstring.h>
#include <corvane/xmlio/progress.h>

#include <boost/shared_ptr.hpp>
#include <utility>

namespace corvane {
namespace xmlio {

class PendingWrite {
 public:
  // The write of `root` to `path`, with its first holder.
  PendingWrite(CString path, boost::shared_ptr<IChunk> root)
      : m_path(std::move(path)), m_root(std::move(root)) {}
  PendingWrite(const PendingWrite&) = delete;
  PendingWrite& operator=(const PendingWrite&) = delete;

  void Join() { ++m_holders; }
  // A holder leaves without writing.
  void Leave() { --m_holders; }
  // A holder is destroyed: the last writes the file.
  void LeaveWriting(ProgressState& progress);

 private:
  CString m_path;
  boost::shared_ptr<IChunk> m_root;
  int m_holders = 1;
};

}  // namespace xmlio
}  // namespace corvane
