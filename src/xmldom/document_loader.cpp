// Loading for CXml::Open and the tools: file bytes, then UTF-8 text, then the
// parse, then the checks a loaded document must pass (no document type
// declaration, one document element, bounded depth).
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/codepage.h"
#include "xmldom/document_holder.h"
#include "xmldom/dom_access.h"
#include "xmldom/file_bytes.h"
#include "xmldom/source_encoding.h"

namespace DomXml {
namespace {

// The parser's defaults drop whitespace-only text, comments and processing
// instructions; the document type declaration is kept only so it can be
// refused, and text outside the document element (the fragment mode) only so
// it can be found. No entity the document declares is ever expanded; a
// reference to an entity that is not declared stays as written.
constexpr unsigned int kParseOptions =
    pugi::parse_default | pugi::parse_doctype | pugi::parse_fragment;

// Beyond this many attributes on one element, duplicates are found by sorting
// instead of comparing every pair.
constexpr std::size_t kPairwiseAttributeLimit = 8;

bool HasDuplicateAttribute(pugi::xml_node element) {
  std::vector<const char*> names;
  for (pugi::xml_attribute attribute = element.first_attribute(); attribute;
       attribute = attribute.next_attribute()) {
    names.push_back(attribute.name());
  }
  const auto less = [](const char* a, const char* b) { return std::strcmp(a, b) < 0; };
  const auto same = [](const char* a, const char* b) { return std::strcmp(a, b) == 0; };
  if (names.size() > kPairwiseAttributeLimit) {
    std::sort(names.begin(), names.end(), less);
    return std::adjacent_find(names.begin(), names.end(), same) != names.end();
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    for (std::size_t j = i + 1; j < names.size(); ++j) {
      if (same(names[i], names[j])) return true;
    }
  }
  return false;
}

// Stops at the first element nested deeper than kMaxElementDepth or holding
// one attribute twice (which the parser lets through). The engine's traversal
// keeps its own stack, so any depth is walked safely.
class ElementCheck : public pugi::xml_tree_walker {
 public:
  bool for_each(pugi::xml_node& node) override {
    if (node.type() != pugi::node_element) return true;
    // depth() counts from 0 for the document's own children.
    if (depth() >= kMaxElementDepth) {
      kind_ = OpenFailure::kTooDeep;
    } else if (node.first_attribute() != node.last_attribute() && HasDuplicateAttribute(node)) {
      kind_ = OpenFailure::kNotWellFormed;
    } else {
      return true;
    }
    failed_ = node;
    return false;
  }
  OpenFailure::Kind kind() const { return kind_; }
  pugi::xml_node failed() const { return failed_; }

 private:
  OpenFailure::Kind kind_ = OpenFailure::kNone;
  pugi::xml_node failed_;
};

void Fail(OpenFailure& failure, OpenFailure::Kind kind, long long offset, std::string message) {
  failure.kind = kind;
  failure.offset = offset;
  failure.message = std::move(message);
}

// The first reason the parsed document may not be used, or kNone.
void CheckParsed(pugi::xml_document& document, const pugi::xml_parse_result& result,
                 OpenFailure& failure) {
  for (pugi::xml_node child = document.first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_doctype) {
      return Fail(failure, OpenFailure::kDoctype, child.offset_debug(), "document type declaration");
    }
  }
  if (!result) {
    return Fail(failure, OpenFailure::kNotWellFormed, result.offset, result.description());
  }
  int elements = 0;
  for (pugi::xml_node child = document.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element) {
      return Fail(failure, OpenFailure::kNotWellFormed, child.offset_debug(),
                  "text outside the document element");
    }
    if (++elements > 1) {
      return Fail(failure, OpenFailure::kNotWellFormed, child.offset_debug(),
                  "more than one document element");
    }
  }
  if (elements == 0) {
    return Fail(failure, OpenFailure::kNotWellFormed, result.offset, "no document element");
  }
  ElementCheck check;
  if (!document.traverse(check)) {
    return Fail(failure, check.kind(), check.failed().offset_debug(),
                check.kind() == OpenFailure::kTooDeep ? "elements nested too deep"
                                                      : "duplicate attribute");
  }
}

// Parses `bytes` into the fresh document of `holder`.
bool Parse(DocumentHolder& holder, std::string bytes, const OpenOptions& options,
           OpenFailure& failure) {
  if (!DecodeToUtf8(bytes)) {
    Fail(failure, OpenFailure::kUnknownEncoding, -1, "unknown encoding");
    return false;
  }
  holder.buffer = std::move(bytes);
  holder.textKept = options.keepText;
  pugi::xml_parse_result result;
  if (options.keepText) {
    result = holder.document.load_buffer(holder.buffer.data(), holder.buffer.size(), kParseOptions,
                                         pugi::encoding_utf8);
  } else {
    result = holder.document.load_buffer_inplace(&holder.buffer[0], holder.buffer.size(),
                                                 kParseOptions, pugi::encoding_utf8);
  }
  CheckParsed(holder.document, result, failure);
  if (failure.kind == OpenFailure::kNone) return true;
  // A refused document has no elements at all, and no longer needs its text
  // unless the caller wants to point into it.
  holder.document.reset();
  if (!options.keepText) std::string().swap(holder.buffer);
  return false;
}

}  // namespace

bool OpenDocument(CXml& xml, const char* path, OpenFailure* failure, const OpenOptions& options) {
  OpenFailure ignored;
  OpenFailure& reason = failure != nullptr ? *failure : ignored;
  reason = OpenFailure();
  std::string bytes;
  if (path == nullptr ||
      !ReadRegularFile(corvane::codepage::NarrowToUtf8(path, std::string::npos), bytes)) {
    Fail(reason, OpenFailure::kUnreadable, -1, "cannot read the file");
    return false;
  }
  DocumentHolder* holder = DocumentAccess::FreshDocument(xml, path);
  if (holder == nullptr) {
    Fail(reason, OpenFailure::kUnreadable, -1, "no document");
    return false;
  }
  return Parse(*holder, std::move(bytes), options, reason);
}

bool LoadDocument(CXml& xml, const char* bytes, std::size_t size, OpenFailure* failure,
                  const OpenOptions& options) {
  OpenFailure ignored;
  OpenFailure& reason = failure != nullptr ? *failure : ignored;
  reason = OpenFailure();
  DocumentHolder* holder = DocumentAccess::FreshDocument(xml, "");
  if (holder == nullptr) {
    Fail(reason, OpenFailure::kUnreadable, -1, "no document");
    return false;
  }
  return Parse(*holder, std::string(bytes != nullptr ? bytes : "", bytes != nullptr ? size : 0),
               options, reason);
}

int LineOfOffset(const std::string& text, std::ptrdiff_t offset) {
  if (offset < 0) return 0;
  const std::size_t end = std::min(text.size(), static_cast<std::size_t>(offset));
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

}  // namespace DomXml
