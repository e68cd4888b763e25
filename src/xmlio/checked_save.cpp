#include <corvane/extras/checked_save.h>

#include "xmlio/chunk_file_writer.h"

namespace corvane {
namespace {

class StreamTextSink : public xmldom::TextSink {
 public:
  explicit StreamTextSink(std::FILE* out) : m_out(out) {}
  void Write(const void* data, std::size_t size) override { std::fwrite(data, 1, size, m_out); }

 private:
  std::FILE* m_out;
};

}  // namespace

bool SaveChunkFile(const CString& path, boost::shared_ptr<IChunk> root) {
  xmlio::ProgressState quiet;
  return xmlio::WriteChunkFile(path, std::move(root), quiet);
}

bool WriteChunkStream(std::FILE* out, boost::shared_ptr<IChunk> root) {
  if (out == nullptr || !root) return false;
  xmlio::ProgressState quiet;
  StreamTextSink sink(out);
  const bool written = xmlio::WriteChunkText(std::move(root), sink, quiet);
  return std::fflush(out) == 0 && written && std::ferror(out) == 0;
}

}  // namespace corvane
