// A file written in full or not at all: the text goes to a new temporary file
// in the target's folder, which replaces the target only after every byte was
// written and synced. Any failure removes the temporary file and leaves an
// existing target untouched. An existing target's permission bits are kept;
// a new file gets 0644 less the umask. Used from one thread at a time.
#pragma once

#include <string>

#include "xmldom/xml_text_output.h"

namespace corvane {
namespace xmldom {

class AtomicFileWriter : public TextSink {
 public:
  // `path` is UTF-8; nothing is created until Begin.
  explicit AtomicFileWriter(std::string path);
  ~AtomicFileWriter() override;  // discards the temporary file unless committed
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Creates the temporary file; false when the folder does not allow it.
  bool Begin();
  void Write(const void* data, std::size_t size) override;
  // Syncs, closes and renames over the target; false on any failure so far.
  bool Commit();

 private:
  void Discard();

  std::string path_;       // the target
  std::string temporary_;  // the temporary file's path while it exists
  int fd_ = -1;            // the temporary file, open for writing
  bool failed_ = false;    // a write failed; Commit will refuse
};

}  // namespace xmldom
}  // namespace corvane
