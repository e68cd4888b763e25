// The streamed save against the document path. Both share one serializer, so
// a few hostile trees (NULs, "]]>", controls, bytes outside the code page, no
// XML names, empty child entries, values longer than the output buffer) stand
// for all: the streamed text is the document's byte for byte, is XML another
// parser accepts, and the whole tree is visited and consumed.
#include "xmlio/chunk_file_writer.h"

#include <corvane/chunk/chunk_factory.h>
#include <corvane/xmldom/xml.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "support/chunk_tree.h"
#include "support/scratch_dir.h"
#include "support/xml_check.h"
#include "xmldom/dom_access.h"
#include "xmlio/dom_chunk_writer.h"

namespace {

using corvane::xmlio::ProgressRun;
using corvane::xmlio::ProgressState;
using corvane_test::Exists;
using corvane_test::ReadText;

// Saves two equal trees from `make`, one through a document, one streamed;
// answers whether the streamed save wrote its file.
bool ExpectSameBytes(const std::function<boost::shared_ptr<IChunk>()>& make, const char* what) {
  corvane_test::ScratchDir folder;
  const std::string viaDocument = folder.Path("document.xml"), streamed = folder.Path("s.xml");
  const boost::shared_ptr<IChunk> first = make(), second = make();
  ProgressState documentCount, streamCount;
  ProgressRun documentRun(ProgressRun::Kind::kSave, documentCount);
  DomXml::CXml document;
  document.Create(first->label());
  corvane::xmlio::DomChunkWriter(documentRun)
      .Write(first, corvane::xmldom::DomAccess::Handle(*document.GetRoot()));
  const bool documentSaved = document.Save(viaDocument.c_str());
  const std::size_t chunks = corvane_test::ChunkCount(second);
  const bool streamSaved =
      corvane::xmlio::WriteChunkFile(CString(streamed.c_str()), second, streamCount);
  if (streamSaved) {
    EXPECT_CONFORMING_XML(streamed);
  }
  EXPECT_EQ(streamSaved, documentSaved) << what;
  EXPECT_EQ(Exists(streamed), streamSaved) << what;
  EXPECT_EQ(ReadText(streamed), ReadText(viaDocument)) << what;
  EXPECT_EQ(streamCount.positionCount, chunks) << what;
  EXPECT_EQ(documentCount.positionCount, chunks) << what;
  for (const boost::shared_ptr<IChunk>& child : second->children()) EXPECT_FALSE(child) << what;
  return streamSaved;
}

// Every hostile piece once, under the root labelled `label`; each value
// `repeat` times over.
boost::shared_ptr<IChunk> Hostile(const CString& label, int repeat) {
  const char* const kPieces[] = {"<&>\"'", "]]>",  "\t\n\r",           "\x01\x1F\x7F",
                                 "\x81",   "\xFF", "\xD5\xFD\xB1\xA3", "&amp;"};
  boost::shared_ptr<IChunk> root = newChunk(label, CString("n\0after", 7));
  for (const char* piece : kPieces) {
    std::string text;
    for (int i = 0; i < repeat; ++i) text += piece;
    root->addChild(newChunk("S", piece, CString(text.c_str())));
    root->addChild(newChunk("T", "", CString(piece), CString(text.c_str())));  // a custom type
    root->children().push_back(boost::shared_ptr<IChunk>());
  }
  for (const char* bad : {"1bad", "a b", ":n", "", "\x81", "ok&"}) {
    root->addChild(newChunk(bad, "dropped"));
    root->Child(root->numChild() - 1)->addChild(newChunk("Inner"));
  }
  root->addChild(newChunk(CString("ok\0tail", 7), "", CString("v\0after", 7)));
  root->Child(0)->addChild(
      newChunk("\xD5\xFD\xD4\xDA", "", 1e300, -1e-300, -HUGE_VAL, std::nan("")));
  return root;
}

TEST(ChunkFileWriter, HostileTreesGiveTheDocumentBytes) {
  EXPECT_TRUE(ExpectSameBytes([] { return Hostile("FILE_CONVERT", 1); }, "small"));
  // Longer than the output buffer: every value crosses its end. The root's label ends at the NUL.
  EXPECT_TRUE(ExpectSameBytes([] { return Hostile(CString("R\0tail", 6), 40000); }, "long"));
  for (const char* label : {"", "1bad", "a b", "<"}) {  // no file without a root element
    EXPECT_FALSE(ExpectSameBytes([label] { return Hostile(label, 1); }, label));
  }
}

}  // namespace
