// Hostile exchange files of up to 1 MB: whatever their shape (nesting at the
// depth limit, hundreds of thousands of elements or attributes, huge values,
// vector values made of separators), reading one with progress callbacks
// (both passes) takes at most 64 MB at its peak, and no more than three
// times what the same shape at half the size takes: memory grows with the
// file, not faster.
// Measured: the peak of live bytes taken through operator new, through which
// the reader allocates everything, libexpat's memory included (the parser is
// given operator new as its allocator). Not measured: what the C library
// allocates on its own (the system converter's state).
#include <corvane/xmlio/xml_file_io.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/allocation_meter.h"
#include "support/scratch_dir.h"

namespace {

constexpr std::size_t kFileLimit = 1024 * 1024;
constexpr std::size_t kReadLimit = 64u * 1024u * 1024u;

// The peak of reading `bytes`; whether a tree came back in `readable`.
std::size_t ReadPeak(const std::string& bytes, bool* readable) {
  corvane_test::ScratchDir folder;
  const std::string path = folder.Path("hostile.xml");
  corvane_test::WriteText(path, bytes);
  XmlFileIO io{CString(path.c_str())};
  io.setStartProgressFun([](CString const&, int, int) { return true; });
  io.setSetPosFun([](int) {});
  boost::shared_ptr<IChunk> root;
  corvane_test::AllocationMeter meter;
  io.read(root);
  *readable = static_cast<bool>(root);
  return meter.PeakAboveStart();
}

// A file shape: the document of about `size` bytes.
using Shape = std::function<std::string(std::size_t size)>;

// `head`, then `unit` as often as it fits below `size` with `tail`, then `tail`.
Shape Repeated(const std::string& head, const std::string& unit, const std::string& tail) {
  return [=](std::size_t size) {
    std::string text = head;
    while (text.size() + unit.size() + tail.size() <= size) text += unit;
    return text + tail;
  };
}

void ExpectBounded(const char* what, const Shape& shape, bool readable) {
  bool readBack = false;
  const std::size_t halfPeak = ReadPeak(shape(kFileLimit / 2), &readBack);
  const std::string bytes = shape(kFileLimit);
  ASSERT_LE(bytes.size(), kFileLimit) << what;
  const std::size_t peak = ReadPeak(bytes, &readBack);
  EXPECT_EQ(readBack, readable) << what;
  EXPECT_LT(peak, kReadLimit) << what;
  // Twice the size, twice the memory, with room for lists that grow by
  // doubling and for the parser's block of the file (1 MB) at either size;
  // memory growing with the square of the size would take four times.
  EXPECT_LE(peak, 3 * halfPeak + kFileLimit) << what << ": " << halfPeak << " then " << peak;
}

// Below a document element, 255 more levels reach the depth limit exactly.
std::string DeepUnit() {
  std::string unit;
  for (int i = 0; i < 255; ++i) unit += "<a>";
  for (int i = 0; i < 255; ++i) unit += "</a>";
  return unit;
}

TEST(HostileInputRegression, NestingAtTheDepthLimitRepeated) {
  ExpectBounded("deep", Repeated("<r>", DeepUnit(), "</r>"), true);
  // One level more anywhere refuses the whole file.
  ExpectBounded("too deep", Repeated("<r>", DeepUnit(), "<a>" + DeepUnit() + "</a></r>"), false);
}

TEST(HostileInputRegression, ManyElementsAndAttributes) {
  ExpectBounded("elements", Repeated("<r>", "<a/>", "</r>"), true);
  ExpectBounded("valued elements",
                Repeated("<r>", "<V Name=\"n\" Type=\"double4\" Value=\"1,2,3,4\"/>", "</r>"),
                true);
  ExpectBounded(
      "attributes",
      [](std::size_t size) {
        std::string text = "<r";
        for (int next = 0; text.size() < size - 64;)
          text += " a" + std::to_string(next++) + "=\"\"";
        return text + "/>";
      },
      true);
  ExpectBounded("distinct names", Repeated("<r>", "<n" + std::string(200, 'x') + "/>", "</r>"),
                true);
}

TEST(HostileInputRegression, HugeValues) {
  const auto huge = [](const std::string& head, char fill, const std::string& tail) -> Shape {
    return [=](std::size_t size) { return head + std::string(size - 100, fill) + tail; };
  };
  ExpectBounded("huge string", huge("<r Type=\"string\" Value=\"", 'x', "\"/>"), true);
  ExpectBounded("huge name", huge("<r Name=\"", 'x', "\"/>"), true);
  // A million digits are out of the double's range: the element is left out.
  ExpectBounded("huge number", huge("<r Type=\"double\" Value=\"", '1', "\"/>"), false);
  ExpectBounded("character references",
                Repeated("<r Type=\"string\" Value=\"", "&#10;&#x4E2D;", "\"/>"), true);
  ExpectBounded("narrow code page",
                Repeated("<?xml version=\"1.0\" encoding=\"GB2312\"?><r>",
                         "<v Type=\"string\" Value=\"\xD5\xFD\xD4\xDA\xA3\xAC\"/>", "</r>"),
                true);
}

// A vector value once was split into one token per separator before the
// token count was checked: hundreds of thousands of separators cost that
// many tokens. A value made of separators must cost what a value of as many
// other bytes of the same encoded lengths costs (both are refused: neither
// has three components).
TEST(HostileInputRegression, SeparatorsCostNoMoreThanOtherBytes) {
  const auto value = [](const std::string& unit) {
    return Repeated("<r Type=\"float3\" Value=\"", unit, "\"/>")(kFileLimit);
  };
  bool readable = true;
  const std::size_t others = ReadPeak(value("12\xE4\xB8\xAD"), &readable);  // "12" and a CJK one
  EXPECT_FALSE(readable);
  // ',' and '|', and the full-width comma (two separators in code page 936).
  const std::size_t separators = ReadPeak(value(",|\xEF\xBC\x8C"), &readable);
  EXPECT_FALSE(readable);
  EXPECT_LE(separators, others + 64 * 1024) << others;
}

}  // namespace
