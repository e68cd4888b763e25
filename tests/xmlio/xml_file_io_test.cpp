// XmlFileIO: the chunk file byte for byte and back, elements to chunks and the
// load report of those left out, the caller's pointer, progress, saves that
// consume, fail or stop, the protected steps, the memory hostile files take.
// (What XML cannot carry: strict_xml_test.cpp.)
#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmldom/xml.h>
#include <corvane/xmlio/load_report.h>
#include <corvane/xmlio/xml_file_io.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "support/allocation_meter.h"
#include "support/progress_log.h"
#include "support/scratch_dir.h"
#include "support/xml_check.h"

namespace {

using namespace corvane_test;

class XmlFile : public ::testing::Test {
 protected:
  XmlFile() { m_log.InstallOn(m_io); }
  // Reads `xml` through the same object into a pointer holding a sentinel.
  boost::shared_ptr<IChunk> Read(const std::string& xml) {
    WriteText(m_path, xml);
    boost::shared_ptr<IChunk> root = newChunk("Sentinel");
    m_io.read(root);
    return root;
  }
  // Saves through the same object; answers the file's text, checked.
  std::string Save(const boost::shared_ptr<IChunk>& root) {
    m_io.save(root);
    EXPECT_CONFORMING_XML(m_path);
    return ReadText(m_path);
  }
  ScratchDir m_folder;
  const std::string m_path = m_folder.Path("file.xml");
  XmlFileIO m_io{m_path.c_str()};
  ProgressLog m_log;
};

// The value texts of every kind: chunk_factory_test.cpp; here the file around them.
TEST_F(XmlFile, ExactBytesAndBack) {
  boost::shared_ptr<IChunk> root = newChunk("R", "top");
  root->addChild(newChunk("", "Count", 4294967295u));  // an empty label is written as "att"
  root->addChild(newChunk("V", "", 1.0, -2.5, 1e6, 4.0));
  root->addChild(newChunk("S", "", "a<&\"\r\n\t>"));
  boost::shared_ptr<IChunk> gbk =  // with a degree sign
      newChunk("\xCD\xBC\xB2\xE3", "\xC7\xBD\xCC\xE5", "\xB3\xD0\xD6\xD8\xC7\xBD, 3\xA1\xE3");
  gbk->addChild(newChunk("Inner"));
  root->addChild(gbk);
  const std::string expected =
      "<?xml version=\"1.0\"?><R Name=\"top\"><att Name=\"Count\" Type=\"uint\" Value=\"-1\"/>"
      "<V Type=\"double4\" Value=\"1.000000,-2.500000,1000000.000000,4.000000\"/>"
      "<S Type=\"string\" Value=\"a&lt;&amp;&quot;&#13;&#10;&#09;>\"/>"
      "<\xE5\x9B\xBE\xE5\xB1\x82 Name=\"\xE5\xA2\x99\xE4\xBD\x93\" Type=\"string\" "
      "Value=\"\xE6\x89\xBF\xE9\x87\x8D\xE5\xA2\x99, 3\xC2\xB0\"><Inner/>"
      "</\xE5\x9B\xBE\xE5\xB1\x82></R>";
  EXPECT_EQ(Save(root), expected);

  // Read back (texts narrow again), a second save gives the same bytes.
  boost::shared_ptr<IChunk> back;
  m_io.read(back);
  ASSERT_TRUE(back);
  EXPECT_EQ(Save(back), expected);
}

// A tree as "label:name:type=text(children)", the parts left out when empty.
std::string Outline(const boost::shared_ptr<IChunk>& chunk) {
  std::string text = chunk->label().GetString();
  if (!chunk->name().IsEmpty()) text += std::string(":") + chunk->name().GetString();
  if (!chunk->type().IsEmpty()) text += std::string(":") + chunk->type().GetString() + "=";
  text += chunk->getValueAsString().GetString();
  for (unsigned int i = 0; i < chunk->numChild(); ++i)
    text += (i == 0 ? "(" : " ") + Outline(chunk->Child(i));
  return chunk->numChild() == 0 ? text : text + ")";
}

TEST_F(XmlFile, ElementsToChunksAndTheCallersPointer) {
  // Left out with its subtree: an unknown type. Dropped: a value without a type.
  // Ignored: unknown attributes, text, comments, instructions.
  boost::shared_ptr<IChunk> root = Read(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- header -->\n<R>\n  text <?pi data?><A/>"
      "<C Value=\"v\" Name=\"m\"/><D Type=\"INT\" Value=\"5\"/>"
      "<M Type=\"color\"><A><Z/></A><B Type=\"int\" Value=\"1\"/></M><U/><X Extra=\"1\" "
      "Name=\"a\" Type=\"int\" Value=\"7\" Other=\"q\">words<!-- c --><Y/><?pi d?> more</X>\n"
      "</R>\n");
  ASSERT_TRUE(root);
  EXPECT_EQ(Outline(root), "R(A C:m D:int=5 U X:a:int=7(Y))");
  // The load report says so, counting what went with M, observed (two passes) or not (one).
  std::vector<corvane::LeftOutElement> leftOut;
  const corvane::LoadReport report = corvane::InspectChunkFile(
      m_path.c_str(), [&](const corvane::LeftOutElement& element) { leftOut.push_back(element); });
  EXPECT_TRUE(report.loads && report.elements == 11u && report.leftOut == 4u);
  EXPECT_EQ(corvane::InspectChunkFile(m_path.c_str()).leftOut, 4u);
  ASSERT_EQ(leftOut.size(), 1u);
  EXPECT_EQ(leftOut[0].line, 4u);
  EXPECT_EQ(leftOut[0].path, "/R/M");
  EXPECT_EQ(leftOut[0].reason, "unknown type tag \"color\"");
  EXPECT_EQ(leftOut[0].elementsInside, 3u);
  // The document element left out: the pointer comes back empty.
  EXPECT_FALSE(Read("<R Type=\"int\" Value=\"1.5\"><A/></R>"));
  // A missing file: untouched, and no progress call.
  m_log.calls.clear();
  m_io.setPath(m_folder.Path("absent.xml").c_str());
  m_io.read(root);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->label(), "R");
  EXPECT_TRUE(m_log.calls.empty());
}

// The full-width comma is two separators in code page 936, whichever
// encoding the file has: "1.5，2" has three components, the middle one empty.
TEST_F(XmlFile, FullWidthCommaSeparatesTwice) {
  const std::pair<std::string, const char*> files[] = {
      {"", "\xEF\xBC\x8C"}, {"<?xml version=\"1.0\" encoding=\"GBK\"?>", "\xA3\xAC"}};
  for (const auto& [declaration, comma] : files) {
    const std::string value = std::string("1.5") + comma + "2";
    boost::shared_ptr<IChunk> root = Read(declaration + "<R><V Type=\"double3\" Value=\"" + value +
                                          "\"/><W Type=\"double2\" Value=\"" + value + "\"/></R>");
    ASSERT_TRUE(root) << declaration;
    ASSERT_EQ(root->numChild(), 1u) << declaration;
    EXPECT_EQ(root->Child(0)->getValueAsString(), "1.500000,0.000000,2.000000") << declaration;
  }
}

TEST_F(XmlFile, ReadProgressAndAThrowingStart) {
  // Left-out elements count in the total (7) but their subtrees are not visited.
  boost::shared_ptr<IChunk> root = Read("<R><A/><D Type=\"nope\"><x/><y/></D><B/><C/><E/></R>");
  EXPECT_EQ(m_log.calls, Calls(ReadStart(), {14, 28, 42, 57, 71, 85}, true));
  ASSERT_TRUE(root);
  ASSERT_EQ(root->numChild(), 4u);
  // A throwing start callback stops the run before anything is read.
  m_io.setStartProgressFun([](CString const&, int, int) -> bool { throw 42; });
  boost::shared_ptr<IChunk> before = root;
  EXPECT_THROW(m_io.read(root), int);
  EXPECT_EQ(root, before);
}

// A callback that throws mid-read leaves the pointer with the document
// element's chunk and the children completed before the throw, whole.
TEST_F(XmlFile, ThrowingPositionLeavesTheCompletedChildren) {
  m_io.setSetPosFun([](int position) {
    if (position == 66) throw std::runtime_error("cancelled");  // at b1, the 4th of 6
  });
  WriteText(m_path, "<R><A><a1/></A><B><b1/><b2/></B><C/></R>");
  boost::shared_ptr<IChunk> root = newChunk("Sentinel");
  EXPECT_THROW(m_io.read(root), std::runtime_error);
  ASSERT_TRUE(root);
  EXPECT_EQ(Outline(root), "R(A(a1))");
}

TEST_F(XmlFile, SavesConsumeTheTreeOrWriteNothing) {
  boost::shared_ptr<IChunk> root = newChunk("R"), held = newChunk("Held");
  held->addChild(newChunk("Leaf"));
  root->addChild(held);
  root->addChild(newChunk("Last"));
  m_io.setPath(CString());
  m_io.save(root);  // empty path: untouched
  EXPECT_TRUE(root->Child(0));
  m_io.setPath(m_path.c_str());
  m_io.save(boost::shared_ptr<IChunk>());
  m_io.save(newChunk("R", "childless"));  // with a start callback: nothing at all
  EXPECT_FALSE(Exists(m_path));
  EXPECT_TRUE(m_log.calls.empty());

  EXPECT_EQ(Save(root), "<?xml version=\"1.0\"?><R><Held><Leaf/></Held><Last/></R>");
  EXPECT_EQ(m_log.calls, Calls(SaveStart(), {33, 66, 100, 133}, true));
  EXPECT_FALSE(root->Child(1));
  ASSERT_EQ(held->numChild(), 1u);  // the chunk the caller holds survives, emptied
  EXPECT_FALSE(held->Child(0));
}

TEST_F(XmlFile, FailedOrInterruptedSaveKeepsTheOldFile) {
  WriteText(m_path, "<Old/>");
  boost::shared_ptr<IChunk> root = newChunk("R");
  for (int i = 0; i < 4; ++i) root->addChild(newChunk("C", "", i));
  m_io.setSetPosFun([](int position) {
    if (position == 75) throw std::runtime_error("cancelled");
  });
  EXPECT_THROW(m_io.save(root), std::runtime_error);
  EXPECT_EQ(ReadText(m_path), "<Old/>");
  EXPECT_EQ(m_log.calls, Calls(SaveStart(), {}, false));  // no end call
  EXPECT_FALSE(root->Child(0));                           // written before the throw: consumed
  EXPECT_TRUE(root->Child(2));                            // not reached
  // A path that cannot be opened: no file, no folder, the tree consumed all the same.
  m_io.setPath(m_folder.Path("no/such/folder/out.xml").c_str());
  m_io.setSetPosFun(SetPosFun());
  m_io.save(root);
  EXPECT_FALSE(Exists(m_folder.Path("no")));
  EXPECT_FALSE(root->Child(2));
}

TEST_F(XmlFile, MillionDeepChainIsWrittenToTheDepthReadersAccept) {
  boost::shared_ptr<IChunk> root = newChunk("C"), at = root;
  for (int i = 1; i < 1000000; ++i, at = at->Child(0)) at->addChild(newChunk("C"));
  int lastPosition = 0;
  m_io.setSetPosFun([&lastPosition](int position) { lastPosition = position; });
  // Only the 256 levels a reader accepts are written: the declaration, "<C>"
  // and "</C>" for the first 255, "<C/>".
  EXPECT_EQ(Save(root).size(), 21u + 255u * 7u + 4u);
  EXPECT_EQ(lastPosition, 100);  // 1000000 * 100 / 999999: every chunk is visited
  EXPECT_FALSE(root->Child(0));
}

// Reaches the protected per-element steps, as a derived class of a host may.
struct ElementSteps : XmlFileIO {
  using XmlFileIO::read;
  using XmlFileIO::save;
};

TEST_F(XmlFile, ProtectedStepsWorkOnWrappersAndReplaceAttributes) {
  DomXml::CXml document;
  ASSERT_TRUE(document.Create("Top"));
  boost::shared_ptr<IChunk> chunk = newChunk("Top", "t", 7);
  chunk->addChild(newChunk("", "kid"));
  ElementSteps steps;
  steps.save(newChunk("Top", "first", CString("text")), document.GetRoot());
  steps.save(chunk, document.GetRoot());  // each attribute replaced by the second value
  EXPECT_FALSE(chunk->Child(0));
  boost::shared_ptr<IChunk> back;
  steps.read(back, document.GetRoot());
  ASSERT_TRUE(back);
  EXPECT_EQ(Outline(back), "Top:t:int=7(att:kid)");
}

// Hostile files of up to 1 MB: reading one with progress callbacks (both
// passes) peaks at most at 64 MB, and at no more than three times what the same
// shape at half the size takes. Measured: the peak of live bytes taken through
// operator new, which the reader allocates everything through, libexpat too (it
// is given operator new). Not measured: what the C library allocates on its
// own (the system converter's state).
constexpr std::size_t kFileLimit = 1024 * 1024;

struct Shape {
  const char* what;
  std::string head, unit, tail;  // `unit` as often as fits; its '@' becomes a running count
  bool readable;
};

std::string Fill(const Shape& shape, std::size_t size) {
  std::string text = shape.head;
  for (int count = 0;; ++count) {
    std::string unit = shape.unit;
    if (unit.find('@') != std::string::npos) unit.replace(unit.find('@'), 1, std::to_string(count));
    if (text.size() + unit.size() + shape.tail.size() > size) return text + shape.tail;
    text += unit;
  }
}

// The peak of reading `bytes`; whether a tree came back in `readable`.
std::size_t ReadPeak(const std::string& bytes, bool* readable) {
  ScratchDir folder;
  WriteText(folder.Path("hostile.xml"), bytes);
  XmlFileIO io{CString(folder.Path("hostile.xml").c_str())};
  io.setStartProgressFun([](CString const&, int, int) { return true; });
  io.setSetPosFun([](int) {});
  boost::shared_ptr<IChunk> root;
  AllocationMeter meter;
  io.read(root);
  *readable = static_cast<bool>(root);
  return meter.PeakAboveStart();
}

TEST(XmlFileHostile, MemoryGrowsWithTheFileNotFaster) {
  std::string deep;  // below a document element, 255 more levels reach the depth limit
  for (int i = 0; i < 255; ++i) deep = "<a>" + deep + "</a>";
  const Shape shapes[] = {
      {"deep", "<r>", deep, "</r>", true},
      {"too deep", "<r>", deep, "<a>" + deep + "</a></r>", false},  // refuses the whole file
      {"elements", "<r>", "<a/>", "</r>", true},
      {"attributes", "<r", " a@=\"\"", "/>", true},
      {"huge string", "<r Type=\"string\" Value=\"", "x", "\"/>", true},
      {"narrow code page", "<?xml version=\"1.0\" encoding=\"GB2312\"?><r>",
       "<v Type=\"string\" Value=\"\xD5\xFD&#10;\xA3\xAC\"/>", "</r>", true},
      // A value made only of separators (what one costs: value_text_test.cpp).
      {"separators", "<r Type=\"float3\" Value=\"", ",|\xEF\xBC\x8C", "\"/>", false},
  };
  for (const Shape& shape : shapes) {
    bool readable = false;
    const std::size_t halfPeak = ReadPeak(Fill(shape, kFileLimit / 2), &readable);
    const std::size_t peak = ReadPeak(Fill(shape, kFileLimit), &readable);
    EXPECT_EQ(readable, shape.readable) << shape.what;
    EXPECT_LT(peak, 64u * 1024u * 1024u) << shape.what;
    // Room for lists that grow by doubling and the parser's 1 MB block of the
    // file; memory growing with the square of the size would take four times.
    EXPECT_LE(peak, 3 * halfPeak + kFileLimit) << shape.what << ": " << halfPeak << ", " << peak;
  }
}

// The DOM's Open refuses what is not XML as the parser sees it, not after reading the whole file:
// a large file of zero bytes costs one block of the parser, and a document no more than its
// bytes and tree.
TEST(XmlFileHostile, TheDomRefusesWhatIsNotXmlAtItsFirstBytes) {
  ScratchDir folder;
  const std::string zeros = folder.Path("zeros.xml"), text = folder.Path("text.xml");
  WriteText(zeros, "");
  std::filesystem::resize_file(zeros, 256u << 20);  // sparse: no disk space taken
  WriteText(text, "<r>" + std::string(8u << 20, 'x') + "</r>");
  DomXml::CXml xml;
  {
    AllocationMeter meter;
    EXPECT_FALSE(xml.Open(zeros.c_str()));
    EXPECT_LT(meter.PeakAboveStart(), 4u << 20) << "one block of the parser";
  }
  AllocationMeter meter;
  EXPECT_TRUE(xml.Open(text.c_str()));
  EXPECT_LT(meter.PeakAboveStart(), 20u << 20) << "the file's bytes and a small tree";
}

}  // namespace
