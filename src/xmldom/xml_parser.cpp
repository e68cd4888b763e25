#include "xmldom/xml_parser.h"

#include <expat.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "platform/readable_file.h"
#include "platform/strict_converter.h"
#include "xmldom/source_encoding.h"

namespace corvane {
namespace xmldom {
namespace {

// Bytes read from a file at a time.
constexpr std::size_t kBlockSize = 1 << 20;
// Separates namespace URI and local name in the checking pass; never in a name.
constexpr char kNamespaceSeparator = '\x01';

// The parser's memory comes from the C++ allocator like everything else the
// library allocates, so a host's allocator (and the tests' meter) sees it.
// Each block carries its size in front, for realloc.
constexpr std::size_t kSizeHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size) {
  void* block;
  try {
    block = ::operator new(size + kSizeHeader);  // the plain form, which hosts replace
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  *static_cast<std::size_t*>(block) = size;
  return static_cast<char*>(block) + kSizeHeader;
}

void Release(void* data) {
  if (data != nullptr) ::operator delete(static_cast<char*>(data) - kSizeHeader);
}

void* Reallocate(void* data, std::size_t size) {
  void* grown = Allocate(size);
  if (grown == nullptr || data == nullptr) return grown;
  const std::size_t old = *reinterpret_cast<std::size_t*>(static_cast<char*>(data) - kSizeHeader);
  std::memcpy(grown, data, std::min(old, size));
  Release(data);
  return grown;
}

const XML_Memory_Handling_Suite kMemory = {&Allocate, &Reallocate, &Release};

}  // namespace

struct XmlParser::State {
  XML_Parser parser = nullptr;
  ElementListener* listener = nullptr;
  unsigned long long* elements = nullptr;
  ParseFailure* failure = nullptr;
  int depth = 0;
  bool namespaces = false;
  std::exception_ptr thrown;            // a listener's exception, rethrown after the parse
  std::vector<std::string> names;       // element and attribute names as written
  std::vector<const char*> attributes;  // the pairs with those names

  ~State() {
    if (parser != nullptr) XML_ParserFree(parser);
  }

  // Stops the parse at the current place with `reason`.
  void Refuse(const char* reason) {
    failure->reason = reason;
    failure->line = XML_GetCurrentLineNumber(parser);
    failure->column = XML_GetCurrentColumnNumber(parser) + 1;
    XML_StopParser(parser, XML_FALSE);
  }

  void Throw() {
    thrown = std::current_exception();
    XML_StopParser(parser, XML_FALSE);
  }

  static void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    State& state = *static_cast<State*>(data);
    ++*state.elements;
    if (++state.depth > kMaxElementDepth) {
      return state.Refuse("elements nested deeper than the limit of 256 levels");
    }
    if (state.listener == nullptr) return;
    try {
      if (state.namespaces && HasNamespacePart(name, attributes)) {
        state.AsWritten(name, attributes);
        state.listener->StartElement(state.names[0].c_str(), state.attributes.data());
      } else {  // unprefixed names in no namespace come as written
        state.listener->StartElement(name, attributes);
      }
    } catch (...) {
      state.Throw();
    }
  }

  static bool HasNamespacePart(const char* element, const char** pairs) {
    if (std::strchr(element, kNamespaceSeparator) != nullptr) return true;
    for (; *pairs != nullptr; pairs += 2) {
      if (std::strchr(*pairs, kNamespaceSeparator) != nullptr) return true;
    }
    return false;
  }

  // With namespaces, the parser gives a prefixed or defaulted name as
  // "uri SEP local SEP prefix" (or without the prefix part): the listener
  // gets "prefix:local" (or "local"), as the document writes it.
  void AsWritten(const char* element, const char** pairs) {
    std::size_t count = 0;
    while (pairs[count] != nullptr) count += 2;
    if (names.size() < count / 2 + 1) names.resize(count / 2 + 1);
    Qualified(element, names[0]);
    attributes.assign(pairs, pairs + count + 1);
    for (std::size_t i = 0; i < count; i += 2) {
      if (std::strchr(pairs[i], kNamespaceSeparator) == nullptr) continue;
      Qualified(pairs[i], names[i / 2 + 1]);
      attributes[i] = names[i / 2 + 1].c_str();
    }
  }
  static void Qualified(const char* name, std::string& out) {
    const char* uriEnd = std::strchr(name, kNamespaceSeparator);
    if (uriEnd == nullptr) {
      out.assign(name);
      return;
    }
    const char* local = uriEnd + 1;
    const char* localEnd = std::strchr(local, kNamespaceSeparator);
    if (localEnd == nullptr) {
      out.assign(local);
      return;
    }
    out.assign(localEnd + 1);
    out += ':';
    out.append(local, localEnd);
  }

  static void XMLCALL OnEnd(void* data, const XML_Char*) {
    State& state = *static_cast<State*>(data);
    --state.depth;
    if (state.listener == nullptr) return;
    try {
      state.listener->EndElement();
    } catch (...) {
      state.Throw();
    }
  }

  // No entity the document declares is ever expanded: a document type
  // declaration refuses the whole document.
  static void XMLCALL OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*,
                                int) {
    static_cast<State*>(data)->Refuse("a document type declaration (DTD), which is refused");
  }

  // Feeds one piece; false once the parse has failed or was stopped.
  bool Feed(const char* text, std::size_t size, bool last) {
    if (XML_Parse(parser, text, static_cast<int>(size), last) == XML_STATUS_OK) return true;
    NoteError();
    return false;
  }
  bool FeedBuffer(std::size_t size, bool last) {
    if (XML_ParseBuffer(parser, static_cast<int>(size), last) == XML_STATUS_OK) return true;
    NoteError();
    return false;
  }
  void NoteError() {
    if (thrown) std::rethrow_exception(thrown);
    const XML_Error code = XML_GetErrorCode(parser);
    if (code == XML_ERROR_ABORTED) return;  // Refuse gave the reason
    failure->reason = XML_ErrorString(code);
    failure->line = XML_GetCurrentLineNumber(parser);
    failure->column = XML_GetCurrentColumnNumber(parser) + 1;
  }
};

XmlParser::XmlParser() = default;
XmlParser::~XmlParser() = default;

unsigned long XmlParser::CurrentLine() const {
  return m_state != nullptr && m_state->parser != nullptr
             ? XML_GetCurrentLineNumber(m_state->parser)
             : 0;
}

namespace {

// The parser takes an int length: longer text goes in pieces.
constexpr std::size_t kMaxPiece = 1u << 30;

void Fail(ParseFailure& failure, const std::string& reason) {
  failure.reason = reason;
  failure.line = 0;
  failure.column = 0;
}

// The converter a declared encoding needs, for the file and the in-memory paths alike.
bool OpenConverter(platform::StrictConverter& converter, const std::string& encoding,
                   ParseFailure& failure) {
  if (converter.Open(encoding.c_str())) return true;
  Fail(failure, "declares an encoding that is not known (" + encoding + ")");
  return false;
}

// Where the text converted so far ends, counted as the parser counts: lines
// from 1 (CR, LF and CR LF each end one), columns in characters from 1.
class TextPlace {
 public:
  void Advance(const char* utf8, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
      const char c = utf8[i];
      if (c == '\n' && m_afterCr) {
        m_afterCr = false;
        continue;
      }
      m_afterCr = c == '\r';
      if (c == '\n' || c == '\r') {
        ++m_line;
        m_column = 0;
      } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
        ++m_column;
      }
    }
  }
  // The invalid bytes start right after the text counted.
  void FailHere(ParseFailure& failure, const std::string& encoding) const {
    failure.reason = "bytes that are not valid " + encoding + " text";
    failure.line = m_line;
    failure.column = m_column + 1;
  }

 private:
  unsigned long m_line = 1;
  unsigned long m_column = 0;
  bool m_afterCr = false;
};

}  // namespace

void XmlParser::Begin(Namespaces namespaces, ElementListener* listener) {
  m_failure = ParseFailure();
  m_elements = 0;
  m_state.reset(new State);
  const char separator[] = {kNamespaceSeparator, '\0'};
  m_state->namespaces = namespaces == Namespaces::kChecked;
  m_state->parser =
      XML_ParserCreate_MM("UTF-8", &kMemory, m_state->namespaces ? separator : nullptr);
  if (m_state->parser == nullptr) throw std::bad_alloc();
  if (m_state->namespaces) XML_SetReturnNSTriplet(m_state->parser, XML_TRUE);
  m_state->listener = listener;
  m_state->elements = &m_elements;
  m_state->failure = &m_failure;
  XML_SetUserData(m_state->parser, m_state.get());
  XML_SetElementHandler(m_state->parser, &State::OnStart, &State::OnEnd);
  XML_SetStartDoctypeDeclHandler(m_state->parser, &State::OnDoctype);
}

bool XmlParser::ParseText(const char* utf8, std::size_t size, Namespaces namespaces,
                          ElementListener* listener) {
  Begin(namespaces, listener);
  do {
    const std::size_t piece = std::min(size, kMaxPiece);
    if (!m_state->Feed(utf8, piece, piece == size)) return false;
    utf8 += piece;
    size -= piece;
  } while (size > 0);
  return true;
}

bool XmlParser::ParseFile(platform::ReadableFile& file, Namespaces namespaces,
                          ElementListener* listener, std::string* copy) {
  const auto keep = [copy, &file](const void* bytes, long long size) {
    if (copy == nullptr || size <= 0) return;
    // Room for the whole file once its first block was accepted: no regrowth
    // for a document, no file-sized buffer for what is refused at once.
    if (!copy->empty() && copy->capacity() < file.SizeAtOpen())
      copy->reserve(static_cast<std::size_t>(file.SizeAtOpen()));
    copy->append(static_cast<const char*>(bytes), static_cast<std::size_t>(size));
  };
  Begin(namespaces, listener);
  // Blocks no larger than the file (a small file costs no large buffers);
  // the first block decides the encoding.
  const std::size_t blockSize =
      static_cast<std::size_t>(std::min<unsigned long long>(kBlockSize, file.SizeAtOpen() + 1));
  std::unique_ptr<char[]> raw(new char[blockSize]);
  long long got = file.Read(raw.get(), blockSize);
  if (got < 0) {
    Fail(m_failure, "the file cannot be read");
    return false;
  }
  keep(raw.get(), got);
  const SourceEncoding encoding = DetectEncoding(
      raw.get(), std::min<std::size_t>(static_cast<std::size_t>(got), kDeclarationScanLimit));
  if (!encoding.refusal.empty()) {
    Fail(m_failure, encoding.refusal);
    return false;
  }
  const std::size_t skip =
      std::min<std::size_t>(encoding.byteOrderMark, static_cast<std::size_t>(got));
  if (encoding.converter.empty()) {
    if (!m_state->Feed(raw.get() + skip, static_cast<std::size_t>(got) - skip, got == 0))
      return false;
    while (got > 0) {  // the rest goes straight into the parser's own buffer
      void* buffer = XML_GetBuffer(m_state->parser, static_cast<int>(blockSize));
      if (buffer == nullptr) throw std::bad_alloc();
      got = file.Read(buffer, blockSize);
      if (got < 0) {
        Fail(m_failure, "the file cannot be read");
        return false;
      }
      keep(buffer, got);
      if (!m_state->FeedBuffer(static_cast<std::size_t>(got), got == 0)) return false;
    }
    return true;
  }
  platform::StrictConverter converter;
  if (!OpenConverter(converter, encoding.converter, m_failure)) return false;
  std::string text;
  std::size_t from = skip;
  TextPlace place;
  for (;;) {
    text.clear();
    const bool last = got == 0;
    if (!converter.Convert(raw.get() + from, static_cast<std::size_t>(got) - from, last, text)) {
      // The valid text before the bad bytes first: a fault of its own comes first.
      if (!m_state->Feed(text.data(), text.size(), false)) return false;
      place.Advance(text.data(), text.size());
      place.FailHere(m_failure, encoding.converter);
      return false;
    }
    if (!m_state->Feed(text.data(), text.size(), last)) return false;
    place.Advance(text.data(), text.size());
    if (last) return true;
    got = file.Read(raw.get(), blockSize);
    from = 0;
    if (got < 0) {
      Fail(m_failure, "the file cannot be read");
      return false;
    }
    keep(raw.get(), got);
  }
}

bool DecodeDocument(std::string& bytes, ParseFailure& failure) {
  const SourceEncoding encoding =
      DetectEncoding(bytes.data(), std::min(bytes.size(), kDeclarationScanLimit));
  if (!encoding.refusal.empty()) {
    Fail(failure, encoding.refusal);
    return false;
  }
  if (encoding.converter.empty()) {
    bytes.erase(0, encoding.byteOrderMark);
    return true;
  }
  platform::StrictConverter converter;
  if (!OpenConverter(converter, encoding.converter, failure)) return false;
  std::string text;
  const std::size_t skip = std::min(encoding.byteOrderMark, bytes.size());
  if (!converter.Convert(bytes.data() + skip, bytes.size() - skip, true, text)) {
    TextPlace place;
    place.Advance(text.data(), text.size());
    place.FailHere(failure, encoding.converter);
    return false;
  }
  bytes.swap(text);
  return true;
}

}  // namespace xmldom
}  // namespace corvane
