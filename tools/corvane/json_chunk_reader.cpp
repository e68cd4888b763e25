#include "corvane/json_chunk_reader.h"

#include <rapidjson/error/en.h>
#include <rapidjson/filereadstream.h>
#include <rapidjson/reader.h>

#include <cctype>
#include <string>
#include <vector>

#include "corvane/json_chunk_fields.h"

namespace corvane {
namespace tool {
namespace {

// The depth an XML chunk file may have; deeper chunks would not be written.
constexpr std::size_t kMaxDepth = 256;

// What the next event may be.
enum class Expect { kRoot, kMember, kText, kChildren, kChild, kNothing };

class ChunkJsonHandler : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, ChunkJsonHandler> {
 public:
  explicit ChunkJsonHandler(const rapidjson::FileReadStream& stream) : m_stream(stream) {}

  bool StartObject() {
    const std::size_t at = m_stream.Tell() - 1;
    if (m_expect != Expect::kRoot && m_expect != Expect::kChild) return WrongKind(at, false);
    if (m_depth == kMaxDepth) {
      return Fail("chunks nest deeper than the 256 levels of an XML chunk file", at, false);
    }
    if (m_depth == m_frames.size()) m_frames.emplace_back();
    m_frames[m_depth++].Reset(at);
    m_expect = Expect::kMember;
    return true;
  }

  bool Key(const char* key, rapidjson::SizeType length, bool) {
    const bool known = MemberOfKey(key, length, m_member);
    if (known && !Top().Has(m_member)) {
      Top().seen |= 1u << m_member;
      m_expect = m_member == kChildrenMember ? Expect::kChildren : Expect::kText;
      return true;
    }
    const std::string quoted = '"' + std::string(key, length) + '"';
    return Fail(known ? quoted + " appears twice"
                      : "unknown member " + quoted +
                            " (a chunk has \"label\", \"name\", \"type\", \"value\", \"children\")",
                m_stream.Tell(), true);
  }

  bool String(const char* text, rapidjson::SizeType length, bool) {
    if (m_expect != Expect::kText) return WrongKind(m_stream.Tell(), true);
    m_expect = Expect::kMember;
    return m_checks.SetText(Top(), m_member, text, length, m_stream.Tell(), m_trouble);
  }

  bool StartArray() {
    if (m_expect != Expect::kChildren) return WrongKind(m_stream.Tell() - 1, false);
    m_expect = Expect::kChild;
    return true;
  }

  bool EndArray(rapidjson::SizeType) {
    m_expect = Expect::kMember;  // only a "children" array gets this far
    return true;
  }

  bool EndObject(rapidjson::SizeType) {
    boost::shared_ptr<IChunk> chunk = m_checks.Build(Top(), m_trouble);
    if (!chunk) return false;
    if (--m_depth == 0) {
      m_root = std::move(chunk);
      m_expect = Expect::kNothing;
    } else {
      Top().children.push_back(std::move(chunk));
      m_expect = Expect::kChild;
    }
    return true;
  }

  // Numbers come as text (kParseNumbersAsStringsFlag) so that their start is known.
  bool Null() { return WrongKind(m_stream.Tell() - 4, false); }
  bool Bool(bool value) { return WrongKind(m_stream.Tell() - (value ? 4 : 5), false); }
  bool RawNumber(const char*, rapidjson::SizeType length, bool) {
    return WrongKind(m_stream.Tell() - length, false);
  }
  bool Default() { return WrongKind(m_stream.Tell(), false); }

  boost::shared_ptr<IChunk>& root() { return m_root; }
  const JsonTrouble& trouble() const { return m_trouble; }

 private:
  ChunkFields& Top() { return m_frames[m_depth - 1]; }

  bool Fail(const std::string& reason, std::size_t offset, bool inString) {
    m_trouble.reason = reason;
    m_trouble.offset = offset;
    m_trouble.inStringBefore = inString;
    return false;
  }

  // A value of the wrong kind where m_expect says what belongs.
  bool WrongKind(std::size_t offset, bool inString) {
    std::string reason;
    switch (m_expect) {
      case Expect::kText:
        reason = std::string("\"") + KeyOfMember(m_member) + "\" must be a string";
        break;
      case Expect::kChildren:
        reason = "\"children\" must be an array of chunk objects";
        break;
      case Expect::kChild:
        reason = "\"children\" must hold chunk objects only";
        break;
      default:
        reason = "the document must be one chunk object";
        break;
    }
    return Fail(reason, offset, inString);
  }

  const rapidjson::FileReadStream& m_stream;
  Expect m_expect = Expect::kRoot;
  ChunkMember m_member = kLabelMember;  // the member whose value comes next
  std::vector<ChunkFields> m_frames;    // the open chunk objects, reused
  std::size_t m_depth = 0;              // how many of them are open
  ChunkFieldChecks m_checks;
  boost::shared_ptr<IChunk> m_root;
  JsonTrouble m_trouble;
};

// rapidjson's English message, as the rest of a sentence.
std::string SyntaxReason(rapidjson::ParseErrorCode code) {
  std::string reason = rapidjson::GetParseError_En(code);
  if (!reason.empty() && reason.back() == '.') reason.pop_back();
  if (!reason.empty()) reason[0] = static_cast<char>(std::tolower(reason[0]));
  return reason;
}

}  // namespace

bool ReadChunkJson(std::FILE* in, boost::shared_ptr<IChunk>& root, JsonTrouble& trouble) {
  std::vector<char> buffer(1 << 16);
  rapidjson::FileReadStream stream(in, buffer.data(), buffer.size());
  ChunkJsonHandler handler(stream);
  rapidjson::Reader reader;
  // The recursive parser is safe here: the handler refuses any nesting
  // deeper than kMaxDepth chunks the moment it opens.
  constexpr unsigned kFlags =
      rapidjson::kParseValidateEncodingFlag | rapidjson::kParseNumbersAsStringsFlag;
  if (reader.Parse<kFlags>(stream, handler)) {
    // The reader takes a NUL byte for the end of the text; the file must end there too.
    const std::size_t end = stream.Tell();
    if (std::fseek(in, 0, SEEK_END) == 0 && std::ftell(in) == static_cast<long>(end)) {
      root = std::move(handler.root());
      return true;
    }
    trouble.reason = "a NUL byte ends the text before the file ends";
    trouble.offset = end;
    trouble.inStringBefore = false;
    return false;
  }
  if (reader.GetParseErrorCode() == rapidjson::kParseErrorTermination) {
    trouble = handler.trouble();
  } else {
    trouble.reason = SyntaxReason(reader.GetParseErrorCode());
    trouble.offset = reader.GetErrorOffset();
    trouble.inStringBefore = false;
  }
  return false;
}

}  // namespace tool
}  // namespace corvane
