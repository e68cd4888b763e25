// The narrow string: bytes kept unchanged, independent copies, byte-wise and
// case-blind comparison, printf-style formatting, buffers, and copies
// released on other threads.
#include <corvane/platform/cstring.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(CString, KeepsBytesAndCopiesAreIndependentValues) {
  const char gbk[] = "\xD5\xFD\xD4\xDA\x80\xFF";
  EXPECT_EQ(std::string(CString(gbk).GetString()), gbk);
  EXPECT_EQ(CString(gbk).GetLength(), 6);
  EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
  EXPECT_STREQ(CString().GetString(), "");
  EXPECT_EQ(CString("a\0b", 3)[2], 'b');

  CString a("Layers");
  CString b(a);
  EXPECT_EQ(a.GetString(), b.GetString()) << "a copy shares the buffer";
  b += "X";
  b.SetAt(0, 'l');
  EXPECT_STREQ(a, "Layers");
  EXPECT_STREQ(b, "layersX");
  CString& self = a;
  a = self;
  a += self;
  EXPECT_STREQ(a, "LayersLayers");
  CString c(std::move(a));
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_STREQ(c, "LayersLayers");
  c.Empty();
  EXPECT_TRUE(c.IsEmpty());
}

TEST(CString, ComparesByBytesAndWithoutCase) {
  const CString layers("Layers");
  EXPECT_EQ(layers.CompareNoCase("LAYERS"), 0);
  EXPECT_GT(layers.Compare("LAYERS"), 0);
  EXPECT_LT(CString("\x7F").Compare("\x80"), 0) << "bytes compare unsigned";
  EXPECT_EQ(CString("\xD5\xFD").Compare("\xD5\xFD"), 0);
  EXPECT_NE(CString("\xC4").CompareNoCase("\xE4"), 0) << "only ASCII letters fold";
  EXPECT_TRUE(layers == "Layers" && layers != CString("layers"));
  const std::map<CString, int> ordered{{"b", 2}, {"B", 1}, {"a", 3}};
  EXPECT_EQ(ordered.size(), 3u);
  EXPECT_STREQ(ordered.begin()->first, "B");
}

TEST(CString, FormatsConcatenatesAndUsesBuffers) {
  CString text;
  text.Format("%d|%f|%s", -5, 1.5, "\xB1\xA3");
  EXPECT_STREQ(text, "-5|1.500000|\xB1\xA3");
  const std::string longText(1000, 'x');
  text.Format("%s%s", longText.c_str(), "y");
  text.AppendFormat("%d", 7);
  EXPECT_EQ(std::string(text.GetString()), longText + "y7");
  EXPECT_STREQ(CString("a") + "b" + CString("c") + 'd', "abcd");
  EXPECT_STREQ("x" + CString("y"), "xy");

  CString owner("abc");
  const CString shared(owner);
  std::strcpy(owner.GetBuffer(10), "hello");
  owner.ReleaseBuffer();
  EXPECT_STREQ(owner, "hello");
  EXPECT_STREQ(shared, "abc");
  EXPECT_EQ(sizeof(CString), sizeof(void*));
}

TEST(CString, CopiesMayBeReleasedOnOtherThreads) {
  const CString source("shared text");
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([source] {
      for (int i = 0; i < 2000; ++i) ASSERT_EQ(CString(source).GetLength(), 11);
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_STREQ(source, "shared text");
}

}  // namespace
