#include "xmlio/element_chunks.h"

#include <corvane/extras/chunk_file_format.h>

#include <climits>
#include <cstring>
#include <string_view>

#include "platform/codepage.h"

namespace corvane {
namespace xmlio {

boost::shared_ptr<IChunk> ElementChunks::Build(const char* tag, const char* name, const char* type,
                                               const char* value, chunk::DropReason* reason) {
  static const CString kStandIn(kEmptyLabelStandIn);
  static const CString kNoValue;
  const CString& label = *tag == '\0' ? kStandIn : Narrow(m_labels, tag);
  const CString& nameText = Narrow(m_names, name);
  const CString& typeText = Narrow(m_types, type);
  if (typeText.IsEmpty() || *value == '\0') {
    return chunk::ChunkFromElement(label, nameText, typeText, kNoValue, reason);
  }
  const std::size_t utf8Length = std::strlen(value);
  const char* narrow = value;
  std::size_t narrowLength = utf8Length;
  if (!platform::IsAscii(value, utf8Length)) {
    m_narrow.clear();
    platform::AppendUtf8AsNarrow(m_narrow, value, utf8Length);
    narrow = m_narrow.data();
    narrowLength = m_narrow.size();
  }
  // A CString holds at most INT_MAX bytes; a longer text is cut there.
  const int length =
      narrowLength > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(narrowLength);
  if (chunk::IsStringTag(typeText)) {
    if (reason != nullptr) *reason = chunk::DropReason::kNone;
    return chunk::StringChunk(label, nameText, narrow, static_cast<std::size_t>(length));
  }
  // Numbers refill the same buffer each time unless a chunk kept a share of it.
  std::memcpy(m_value.GetBufferSetLength(length), narrow, static_cast<std::size_t>(length));
  m_value.ReleaseBuffer(length);
  return chunk::ChunkFromElement(label, nameText, typeText, m_value, reason);
}

const CString& ElementChunks::Narrow(RecentTextCache<CString>& cache, const char* utf8) {
  static const CString kEmpty;
  if (*utf8 == '\0') return kEmpty;
  const std::string_view key(utf8);
  bool fresh = false;
  CString& text = cache.Lookup(key, &fresh);
  if (fresh) {
    m_narrow.clear();
    platform::AppendUtf8AsNarrow(m_narrow, key.data(), key.size());
    text = CString(m_narrow.data(), static_cast<int>(m_narrow.size()));
  }
  return text;
}

}  // namespace xmlio
}  // namespace corvane
