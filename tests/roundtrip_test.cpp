// Round trip through the shared library exactly as a host drives it: fill a
// conversion document with the stream operators, let its destruction write
// the file, load it into a new document and read the values back.
#include <corvane/chunk/chunk_factory.h>
#include <corvane/chunk/value_records.h>
#include <corvane/stream/chunk_stream.h>
#include <corvane/xmlio/file_convert.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

// Sets the pending label and name that the next << gives its new chunk.
const boost::shared_ptr<IChunk>& Put(const boost::shared_ptr<IChunk>& parent, const char* label,
                                     const char* name) {
  CIoPubHelp::h_StrLabel = label;
  CIoPubHelp::h_strName = name;
  return parent;
}

TEST(RoundTrip, StreamedValuesComeBackThroughAFile) {
  char path[] = "/tmp/corvane-roundtrip-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  {
    FileConvert document;
    document.SetPath(path, false);
    boost::shared_ptr<IChunk> sysVar = document.GetSysVar();
    Put(sysVar, "Var", "Count") << 42;
    Put(sysVar, "Var", "Big") << static_cast<unsigned __int64>(18446744073709551615ull);
    Put(sysVar, "Var", "Title") << CString("\xCD\xBC\xD6\xBD");  // GBK text
    boost::shared_ptr<IChunk> entity = Put(document.GetEntitys(), "Entity", "E1")
                                       << std::string("line");
    Put(entity, "Start", "") << TmpDouble3{1.0, -2.5, 1e6};
  }
  FileConvert loaded;
  loaded.SetPath(path, true);
  std::remove(path);
  boost::shared_ptr<IChunk> sysVar = loaded.GetSysVar();
  ASSERT_TRUE(sysVar);
  std::map<CString, CString> texts;
  EXPECT_EQ(sysVar->getValues(texts), 3u);
  EXPECT_EQ(texts[CString("Count")], "42");
  EXPECT_EQ(texts[CString("Big")], "-1");
  EXPECT_EQ(texts[CString("Title")], "\xCD\xBC\xD6\xBD");
  unsigned __int64 big = 0;
  sysVar->ChildByName("Big") >> big;
  EXPECT_EQ(big, 18446744073709551615ull);

  boost::shared_ptr<IChunk> entity = loaded.GetEntitys()->ChildByName("e1");
  ASSERT_TRUE(entity);
  std::string kind;
  entity >> kind;
  EXPECT_EQ(kind, "line");
  TmpDouble3 start = {};
  entity->ChildByLabel("Start") >> start;
  EXPECT_EQ(start.y, -2.5);
  EXPECT_EQ(start.z, 1e6);
}

}  // namespace
