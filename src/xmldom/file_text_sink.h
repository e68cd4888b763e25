// FileTextSink: serialized XML going into a save (platform/file_replacement.h),
// the way every XML file the library writes reaches its path.
#pragma once

#include "platform/file_replacement.h"
#include "xmldom/xml_text_output.h"

namespace corvane {
namespace xmldom {

class FileTextSink : public TextSink {
 public:
  explicit FileTextSink(platform::FileReplacement& file) : m_file(file) {}
  void Write(const void* data, std::size_t size) override { m_file.Write(data, size); }

 private:
  platform::FileReplacement& m_file;
};

}  // namespace xmldom
}  // namespace corvane
