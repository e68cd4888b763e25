#include "corvane/terminal.h"

#include <corvane/extras/console.h>
#include <corvane/stream/xmlop.h>
#include <rapidjson/encodings.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <type_traits>

namespace corvane {
namespace tool {
namespace {

// The wide strings of the platform: UTF-16 where wchar_t has 16 bits, else UTF-32.
using WideEncoding =
    std::conditional_t<sizeof(wchar_t) == 2, rapidjson::UTF16<wchar_t>, rapidjson::UTF32<wchar_t>>;

// The streams rapidjson's encodings read and write: a run of units, a string.
template <class Unit>
struct UnitReader {
  typedef Unit Ch;
  const Unit* at;
  const Unit* end;
  Unit Take() { return at < end ? *at++ : Unit(); }  // past the end: an incomplete sequence
};
template <class Text>
struct TextWriter {
  typedef typename Text::value_type Ch;
  Text& text;
  void Put(Ch unit) { text += unit; }
};

// Text from one encoding to another, character by character; a malformed
// sequence becomes U+FFFD and reading goes on after its first unit.
template <class From, class To, class Text, class Unit>
Text Transcode(const Unit* begin, const Unit* end) {
  Text out;
  TextWriter<Text> writer{out};
  for (UnitReader<Unit> reader{begin, end}; reader.at < end;) {
    const Unit* start = reader.at;
    unsigned codepoint = 0;
    if (!From::Decode(reader, &codepoint) || codepoint > 0x10FFFF) {
      codepoint = 0xFFFD;
      reader.at = start + 1;
    }
    To::Encode(writer, codepoint);
  }
  return out;
}

std::wstring WideFromUtf8(const std::string& utf8) {
  return Transcode<rapidjson::UTF8<>, WideEncoding, std::wstring>(utf8.data(),
                                                                  utf8.data() + utf8.size());
}

std::string Utf8FromWide(const std::wstring& wide) {
  return Transcode<WideEncoding, rapidjson::UTF8<>, std::string>(wide.data(),
                                                                 wide.data() + wide.size());
}

}  // namespace

CString NarrowText(const std::string& utf8) { return XmlOp::wstring2CString(WideFromUtf8(utf8)); }

CString NarrowPath(const std::string& utf8) {
  const std::wstring wide = WideFromUtf8(utf8);
  const CString narrow = XmlOp::wstring2CString(wide);
  // A character code page 936 cannot hold would name another file.
  return XmlOp::CString2wstring(narrow) == wide ? narrow : CString();
}

bool NarrowExactly(const char* utf8, std::size_t length, CString& narrow) {
  if (length > static_cast<std::size_t>(INT_MAX)) return false;
  // ASCII is the same bytes in both; most texts take this way.
  if (std::all_of(utf8, utf8 + length, [](char c) { return (c & 0x80) == 0; })) {
    narrow = CString(utf8, static_cast<int>(length));
    return true;
  }
  const std::wstring wide = WideFromUtf8(std::string(utf8, length));
  const CString converted = XmlOp::wstring2CString(wide);
  // Whatever did not survive the way there and back was replaced on the way.
  if (XmlOp::CString2wstring(converted) != wide) return false;
  narrow = converted;
  return true;
}

namespace {

// Hands `take` the UTF-8 form of `text` in pieces of at most kPiece bytes cut
// between characters (a byte of 0x80 or more leads a double-byte character),
// so that a text as large as a file costs one piece, not a wide copy four
// times its size.
template <typename Take>
void Utf8Pieces(const CString& text, Take take) {
  constexpr std::size_t kPiece = 1 << 16;
  const char* bytes = text.GetString();
  const std::size_t length = static_cast<std::size_t>(text.GetLength());
  for (std::size_t from = 0; from < length;) {
    std::size_t to = from;
    while (to < length && to - from < kPiece)
      to += static_cast<unsigned char>(bytes[to]) < 0x80 ? 1 : 2;
    to = std::min(to, length);
    take(Utf8FromWide(XmlOp::CString2wstring(CString(bytes + from, static_cast<int>(to - from)))));
    from = to;
  }
}

}  // namespace

std::string Utf8(const CString& text) {
  std::string utf8;
  utf8.reserve(static_cast<std::size_t>(text.GetLength()));
  Utf8Pieces(text, [&utf8](const std::string& piece) { utf8 += piece; });
  return utf8;
}

void WriteUtf8(std::FILE* out, const CString& text) {
  Utf8Pieces(text,
             [out](const std::string& piece) { std::fwrite(piece.data(), 1, piece.size(), out); });
}

std::string Utf8(const std::string& text) { return Utf8(XmlOp::string2CString(text)); }

namespace {

struct BarState {
  std::string message;
  int last = -1;
};

void Draw(const BarState& state, int percent) {
  const int width = 30;
  const int shown = std::min(std::max(percent, 0), 100);
  const int filled = shown * width / 100;
  std::fprintf(stderr, "\r%s [%s%s] %3d%%", state.message.c_str(), std::string(filled, '#').c_str(),
               std::string(width - filled, ' ').c_str(), shown);
  std::fflush(stderr);
}

}  // namespace

ProgressBar MakeProgressBar(bool force) {
  ProgressBar bar;
  if (!force && !IsConsole(stderr)) return bar;
  auto state = std::make_shared<BarState>();
  bar.start = [state](CString const& message, int, int) {
    state->message = Utf8(message);
    state->last = -1;
    Draw(*state, 0);
    return true;
  };
  bar.position = [state](int percent) {
    if (percent == state->last) return;
    state->last = percent;
    Draw(*state, percent);
  };
  bar.end = [state]() {
    Draw(*state, 100);
    std::fputc('\n', stderr);
  };
  return bar;
}

}  // namespace tool
}  // namespace corvane
