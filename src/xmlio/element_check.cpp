#include <corvane/extras/chunk_file_format.h>
#include <corvane/extras/element_check.h>

#include <string_view>

#include "chunk/value_parse.h"
#include "xmldom/xml_name.h"

namespace corvane {
namespace {

std::string_view Whole(const CString& text) {
  return std::string_view(text.GetString(), static_cast<std::size_t>(text.GetLength()));
}

ElementCheck Broken(ElementRule rule, ElementText text, std::string reason) {
  ElementCheck check;
  check.broken = rule;
  check.text = text;
  check.reason = std::move(reason);
  return check;
}

}  // namespace

ElementCheck CheckElement(const CString& label, const CString& name, const CString& type,
                          const CString& value) {
  std::string utf8;
  const std::string_view labelText = Whole(label);
  if (!xmldom::NarrowNameToUtf8(labelText.data(), labelText.size(), utf8)) {
    return Broken(ElementRule::kElementName, ElementText::kLabel,
                  "is not an XML name without colons");
  }
  const char* const kNotCarried = "holds a control character, which XML cannot carry";
  if (!xmldom::IsAttributeText(Whole(name)))
    return Broken(ElementRule::kAttributeText, ElementText::kName, kNotCarried);
  if (!xmldom::IsAttributeText(Whole(value)))
    return Broken(ElementRule::kAttributeText, ElementText::kValue, kNotCarried);
  if (!value.IsEmpty() && type.IsEmpty()) {
    return Broken(ElementRule::kValueNeedsType, ElementText::kValue, "has no type");
  }
  std::string reason;
  ElementCheck kept;
  kept.chunk = ChunkFromTexts(label, name, type, value, &reason);
  if (kept.chunk) return kept;
  return Broken(ElementRule::kValueReadsAsType,
                value.IsEmpty() ? ElementText::kType : ElementText::kValue, reason);
}

boost::shared_ptr<IChunk> ChunkFromTexts(const CString& label, const CString& name,
                                         const CString& type, const CString& value,
                                         std::string* reason) {
  static const CString kStandIn(xmlio::kEmptyLabelStandIn);
  chunk::DropReason why = chunk::DropReason::kNone;
  boost::shared_ptr<IChunk> chunk =
      chunk::ChunkFromElement(label.IsEmpty() ? kStandIn : label, name, type, value, &why);
  if (!chunk && reason != nullptr) *reason = chunk::DropReasonText(why);
  return chunk;
}

}  // namespace corvane
