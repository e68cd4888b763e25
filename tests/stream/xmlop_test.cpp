// Conversions among narrow (code page 936), wide and standard strings.
#include <corvane/stream/xmlop.h>

#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

// 正在 in code page 936 and as code points.
const char kGbk[] = "\xD5\xFD\xD4\xDA";
const wchar_t kWide[] = L"\x6B63\x5728";

TEST(XmlOp, NarrowAndWideConvertThroughTheCodePage) {
  EXPECT_EQ(XmlOp::_a2w(kGbk), kWide);
  EXPECT_EQ(XmlOp::_a2w(std::string(kGbk)), kWide);
  EXPECT_EQ(XmlOp::_w2a(kWide), kGbk);
  EXPECT_EQ(XmlOp::_w2a(std::wstring(kWide)), kGbk);
  EXPECT_EQ(XmlOp::CString2wstring(CString(kGbk)), kWide);
  EXPECT_EQ(XmlOp::wstring2CString(kWide), kGbk);
  for (const std::string text : {"mixed \xD5\xFD text \xB0\xA1", "\xA3\xAC", "\x81\x40\xFE\x4F"}) {
    EXPECT_EQ(XmlOp::_w2a(XmlOp::_a2w(text)), text);
  }
  std::string all;  // narrow to narrow keeps every byte
  for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_EQ(XmlOp::CString2string(XmlOp::string2CString(all)), all);
}

TEST(XmlOp, UnrepresentableOrMalformedTextDoesNotFail) {
  EXPECT_EQ(XmlOp::_w2a(L"a\x0E01" L"b"), "a?b");
  EXPECT_EQ(XmlOp::_w2a(L"\x1F600"), "?");  // outside the basic plane
  EXPECT_EQ(XmlOp::wstring2CString(L"\x0E01\x6B63"), "?\xD5\xFD");
  const std::wstring lone = XmlOp::_a2w("a\xD5");  // a lead byte without its trail
  ASSERT_EQ(lone.size(), 2u);
  EXPECT_TRUE(lone[0] == L'a' && lone[1] != L'\0');
  EXPECT_EQ(XmlOp::_a2w("\xFF" "z"), L"\xFFFD" L"z");
  EXPECT_EQ(XmlOp::_w2a(XmlOp::_a2w("\xFF" "z")), "?z");  // the replacement does not survive
  EXPECT_EQ(XmlOp::_a2w("\x80"), L"\x20AC");  // the code page's single-byte euro sign
  EXPECT_EQ(XmlOp::_w2a(L"\x20AC"), "\x80");
}

TEST(XmlOp, EmptyInputAndEmbeddedNul) {
  EXPECT_TRUE(XmlOp::_a2w("").empty() && XmlOp::_a2w(std::string()).empty());
  EXPECT_TRUE(XmlOp::_w2a(L"").empty() && XmlOp::_w2a(std::wstring()).empty());
  EXPECT_TRUE(XmlOp::CString2string(CString()).empty());
  EXPECT_TRUE(XmlOp::string2CString(std::string()).IsEmpty());
  EXPECT_TRUE(XmlOp::_a2w(static_cast<const char*>(nullptr)).empty());
  EXPECT_TRUE(XmlOp::_w2a(static_cast<const wchar_t*>(nullptr)).empty());
  EXPECT_EQ(XmlOp::_a2w(std::string("ab\0cd", 5)), L"ab");
  EXPECT_EQ(XmlOp::_w2a(std::wstring(L"ab\0cd", 5)), "ab");
  EXPECT_EQ(XmlOp::CString2string(CString("ab\0cd", 5)), "ab");
  EXPECT_EQ(XmlOp::string2CString(std::string("ab\0cd", 5)).GetLength(), 2);
  EXPECT_EQ(XmlOp::CString2wstring(CString("\xD5\xFD\0x", 4)), L"\x6B63");
  EXPECT_EQ(XmlOp::wstring2CString(std::wstring(L"\x6B63\0x", 3)), "\xD5\xFD");
}

TEST(XmlOp, ConversionsFromSeveralThreads) {
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < 2000; ++i) {
        const std::string text = std::string(kGbk) + std::to_string(i * 4 + t);
        if (XmlOp::_w2a(XmlOp::_a2w(text)) != text) ++failures[t];
        if (XmlOp::_w2a(L"\x0E01") != "?") ++failures[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(4, 0));
}

}  // namespace
