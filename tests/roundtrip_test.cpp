// Round trip through the shared library exactly as a host drives it: fill a
// conversion document with the stream operators, let its destruction write
// the file, load it into a new document and read every value back.
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include <corvane/chunk/chunk_factory.h>
#include <corvane/chunk/value_records.h>
#include <corvane/stream/chunk_stream.h>
#include <corvane/xmlio/file_convert.h>

namespace {

std::string ScratchPath() {
  char pattern[] = "/tmp/corvane-roundtrip-XXXXXX";
  int fd = mkstemp(pattern);
  EXPECT_GE(fd, 0);
  if (fd >= 0) close(fd);
  return pattern;
}

void Put(const char* label, const char* name) {
  CIoPubHelp::h_StrLabel = label;
  CIoPubHelp::h_strName = name;
}

TEST(RoundTrip, StreamedValuesComeBackThroughAFile) {
  const std::string path = ScratchPath();
  int ends = 0;
  {
    FileConvert document;
    document.SetEndProgressFun([&ends]() { ++ends; });
    document.SetPath(path.c_str(), false);
    boost::shared_ptr<IChunk> sysVar = document.GetSysVar();
    Put("Var", "Count");
    sysVar << 42;
    Put("Var", "Big");
    sysVar << static_cast<unsigned __int64>(18446744073709551615ull);
    Put("Var", "Scale");
    sysVar << 0.125;
    Put("Var", "On");
    sysVar << true;
    Put("Var", "Title");
    sysVar << CString("\xCD\xBC\xD6\xBD");  // GBK text
    Put("Entity", "E1");
    boost::shared_ptr<IChunk> entity = document.GetEntitys() << std::string("line");
    Put("Start", "");
    TmpDouble3 start = {1.0, -2.5, 1e6};
    entity << start;
    Put("Color", "");
    TmpFloat4 color = {0.25f, 0.5f, 0.75f, 1.0f};
    entity << color;
  }
  EXPECT_EQ(ends, 1);

  FileConvert loaded;
  loaded.SetPath(path.c_str(), true);
  boost::shared_ptr<IChunk> sysVar = loaded.GetSysVar();
  ASSERT_TRUE(sysVar);
  std::map<CString, CString> texts;
  EXPECT_EQ(sysVar->getValues(texts), 5u);
  EXPECT_EQ(texts[CString("Count")], "42");
  EXPECT_EQ(texts[CString("Big")], "-1");
  EXPECT_EQ(texts[CString("Scale")], "0.125000");
  EXPECT_EQ(texts[CString("On")], "true");
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
  EXPECT_DOUBLE_EQ(start.x, 1.0);
  EXPECT_DOUBLE_EQ(start.y, -2.5);
  EXPECT_DOUBLE_EQ(start.z, 1e6);
  TmpFloat4 color = {};
  entity->ChildByLabel("Color") >> color;
  EXPECT_FLOAT_EQ(color.z, 0.75f);
  EXPECT_EQ(entity->ChildByLabel("Color")->label(), "Color");
  std::remove(path.c_str());
}

}  // namespace
