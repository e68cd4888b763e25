// The streamed save against the document path: for random trees (every value
// kind, labels that are and are not XML names, texts with markup, control
// characters, narrow double-byte and invalid bytes, NULs, empty child
// entries), writing the text directly gives the same bytes as building the
// document and saving it, visits every chunk and consumes the tree. Also the
// cases with no file, and attribute values longer than the output buffer.
#include "xmlio/chunk_file_writer.h"

#include <random>
#include <string>

#include <gtest/gtest.h>

#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmldom/xml.h>

#include "xmldom/dom_access.h"
#include "xmlio/chunk_tree_writer.h"
#include "xmlio/xmlio_test_support.h"

namespace {

using corvane::xmlio::ChunkTreeWriter;
using corvane::xmlio::ProgressCursor;
using corvane::xmlio::WriteChunkFile;
using xmlio_test::Exists;
using xmlio_test::ReadBytes;
using xmlio_test::ScratchFolder;

// Counts visits without reporting them.
struct Counter {
  StartProgressFun start;
  SetPosFun setPos;
  unsigned int position = 0;
  unsigned int total = 0;
  ProgressCursor Cursor() { return ProgressCursor(&start, &setPos, &position, &total); }
};

class TreeMaker {
 public:
  explicit TreeMaker(unsigned seed) : m_random(seed) {}

  boost::shared_ptr<IChunk> Tree(const CString& rootLabel, int depth) {
    boost::shared_ptr<IChunk> root = Chunk(rootLabel);
    Fill(root, depth);
    return root;
  }

 private:
  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }

  CString Text() {
    static const char* const kPieces[] = {"a",    "Zz9",  "&",    "<",        ">",    "\"",  "'",
                                          "\t",   "\n",   "\r",   "\x01",     "\x1F", " ",   "\x7F",
                                          "\xD5\xFD", "\xB1\xA3", "\x81", "\xFF", "&amp;", "]]>", "-1.5"};
    std::string text;
    const int pieces = Pick(6);
    for (int i = 0; i < pieces; ++i) text += kPieces[Pick(sizeof kPieces / sizeof kPieces[0])];
    if (Pick(12) == 0) text += std::string("\0after", 6);
    return CString(text.data(), static_cast<int>(text.size()));
  }

  CString Label() {
    static const char* const kLabels[] = {"A",  "b_c", "x.y-z", "", "1bad", "a b", ":n",  "_u",
                                          "\xD5\xFD\xD4\xDA", "\x81", "ok&", "Entity", "Q9"};
    if (Pick(10) == 0) return CString("ok\0tail", 7);
    return CString(kLabels[Pick(sizeof kLabels / sizeof kLabels[0])]);
  }

  double Number() {
    switch (Pick(6)) {
      case 0:
        return std::uniform_real_distribution<double>(-1e6, 1e6)(m_random);
      case 1:
        return Pick(2) ? 1e300 : -1e-300;
      case 2:
        return std::numeric_limits<double>::infinity() * (Pick(2) ? 1 : -1);
      case 3:
        return std::numeric_limits<double>::quiet_NaN();
      case 4:
        return Pick(4001) / 128.0;
      default:
        return 0.0;
    }
  }

  boost::shared_ptr<IChunk> Chunk(const CString& label) {
    const CString name = Pick(3) ? Text() : CString();
    const float f = static_cast<float>(Number());
    const double d = Number();
    switch (Pick(12)) {
      case 0: return newChunk(label, name);
      case 1: return newChunk(label, name, static_cast<int>(m_random()));
      case 2: return newChunk(label, name, static_cast<unsigned __int64>(m_random()));
      case 3: return newChunk(label, name, f);
      case 4: return newChunk(label, name, d);
      case 5: return newChunk(label, name, Pick(2) == 0);
      case 6: return newChunk(label, name, f, static_cast<float>(d), f);
      case 7: return newChunk(label, name, d, Number(), Number(), d);
      case 8: return newChunk(label, name, Text());
      case 9: return newChunk(label, name, Text(), Text());
      case 10: return newChunk(label, name, d, Number());
      default: return newChunk(label);
    }
  }

  void Fill(const boost::shared_ptr<IChunk>& parent, int depth) {
    if (depth == 0) return;
    const int children = Pick(5);
    for (int i = 0; i < children; ++i) {
      if (Pick(8) == 0) parent->children().push_back(boost::shared_ptr<IChunk>());
      boost::shared_ptr<IChunk> child = Chunk(Label());
      Fill(child, depth - 1);
      parent->addChild(child);
    }
  }

  std::mt19937 m_random;
};

// The chunks in the tree; empty child entries are not chunks.
unsigned int Count(const boost::shared_ptr<IChunk>& root) {
  unsigned int count = 1;
  for (const boost::shared_ptr<IChunk>& child : root->children()) {
    if (child) count += Count(child);
  }
  return count;
}

bool Consumed(const boost::shared_ptr<IChunk>& root) {
  for (const boost::shared_ptr<IChunk>& child : root->children()) {
    if (child) return false;
  }
  return true;
}

// What saving through a document writes: the root element made by the DOM
// layer, the walk into it, the DOM layer's save.
bool SaveThroughDocument(const boost::shared_ptr<IChunk>& root, const std::string& path, Counter& counter) {
  DomXml::CXml document;
  document.Create(root->label());
  std::tr1::shared_ptr<DomXml::CXmlNode> element = document.GetRoot();
  ChunkTreeWriter(counter.Cursor()).Write(root, DomXml::NodeAccess::Handle(*element));
  return document.Save(path.c_str());
}

class StreamedSave : public ::testing::Test {
 protected:
  // Saves the same tree both ways; the bytes must agree.
  void ExpectSameBytes(unsigned seed, const CString& rootLabel, int depth) {
    const std::string viaDocument = m_folder.File("document.xml");
    const std::string streamed = m_folder.File("streamed.xml");
    boost::shared_ptr<IChunk> first = TreeMaker(seed).Tree(rootLabel, depth);
    boost::shared_ptr<IChunk> second = TreeMaker(seed).Tree(rootLabel, depth);
    const unsigned int chunks = Count(first);
    Counter documentCount, streamCount;
    const bool documentSaved = SaveThroughDocument(first, viaDocument, documentCount);
    const bool streamSaved = WriteChunkFile(CString(streamed.c_str()), second, streamCount.Cursor());
    EXPECT_EQ(streamSaved, documentSaved) << seed;
    EXPECT_EQ(Exists(streamed), Exists(viaDocument)) << seed;
    EXPECT_EQ(ReadBytes(streamed), ReadBytes(viaDocument)) << seed;
    EXPECT_EQ(streamCount.position, chunks) << seed;
    EXPECT_EQ(documentCount.position, chunks) << seed;
    EXPECT_TRUE(Consumed(second)) << seed;
  }

  ScratchFolder m_folder;
};

TEST_F(StreamedSave, RandomTreesGiveTheDocumentBytes) {
  for (unsigned seed = 1; seed <= 300; ++seed) ExpectSameBytes(seed, CString("FILE_CONVERT"), 1 + seed % 6);
}

TEST_F(StreamedSave, RootLabelsThatAreNotNamesWriteNoFile) {
  for (const char* label : {"", "1bad", "a b", "<"}) ExpectSameBytes(7, CString(label), 3);
  ExpectSameBytes(8, CString("\xD5\xFD\xD4\xDA"), 3);  // a double-byte name is a name
  ExpectSameBytes(9, CString("R\0tail", 6), 3);       // the name ends at the NUL
}

TEST_F(StreamedSave, EmptyRootAndChildlessElements) {
  const std::string path = m_folder.File("small.xml");
  boost::shared_ptr<IChunk> root = newChunk("R", "n");
  root->addChild(newChunk("1bad"));  // dropped: R stays empty
  Counter counter;
  ASSERT_TRUE(WriteChunkFile(CString(path.c_str()), root, counter.Cursor()));
  EXPECT_EQ(ReadBytes(path), "<?xml version=\"1.0\"?><R Name=\"n\"/>");
  EXPECT_EQ(counter.position, 2u);
}

TEST_F(StreamedSave, ValuesLongerThanTheOutputBuffer) {
  for (const char* piece : {"abcdefgh", "a\t<\"&\x01", "\xD5\xFD"}) {
    std::string text;
    while (text.size() < 200000) text += piece;
    const std::string viaDocument = m_folder.File("document.xml");
    const std::string streamed = m_folder.File("streamed.xml");
    boost::shared_ptr<IChunk> first = newChunk("R", CString(text.c_str()), CString(text.c_str()));
    first->addChild(newChunk("C", "c", CString(text.c_str())));
    boost::shared_ptr<IChunk> second = newChunk("R", CString(text.c_str()), CString(text.c_str()));
    second->addChild(newChunk("C", "c", CString(text.c_str())));
    Counter documentCount, streamCount;
    ASSERT_TRUE(SaveThroughDocument(first, viaDocument, documentCount));
    ASSERT_TRUE(WriteChunkFile(CString(streamed.c_str()), second, streamCount.Cursor()));
    EXPECT_EQ(ReadBytes(streamed), ReadBytes(viaDocument)) << piece;
  }
}

TEST_F(StreamedSave, UnwritableFolderStillConsumesTheTree) {
  const std::string path = m_folder.File("missing/out.xml");
  boost::shared_ptr<IChunk> root = TreeMaker(3).Tree(CString("R"), 4);
  const unsigned int chunks = Count(root);
  Counter counter;
  EXPECT_FALSE(WriteChunkFile(CString(path.c_str()), root, counter.Cursor()));
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(counter.position, chunks);
  EXPECT_TRUE(Consumed(root));
}

}  // namespace
