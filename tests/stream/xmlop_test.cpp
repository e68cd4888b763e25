// Conversions among narrow (code page 936), wide and standard strings. The
// code page's own rules (replacements, threads) are pinned by its tests; these
// check that each wrapper reaches them and how it bounds its input.
#include <corvane/stream/xmlop.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// 正在 in code page 936 and as code points.
const char kGbk[] = "\xD5\xFD\xD4\xDA";
const wchar_t kWide[] = L"\x6B63\x5728";

TEST(XmlOp, NarrowAndWideConvertThroughTheCodePageAndNeverFail) {
  EXPECT_EQ(XmlOp::_a2w(kGbk), kWide);
  EXPECT_EQ(XmlOp::_w2a(kWide), kGbk);
  EXPECT_EQ(XmlOp::CString2wstring(CString(kGbk)), kWide);
  EXPECT_EQ(XmlOp::wstring2CString(kWide), kGbk);
  for (const std::string text : {"mixed \xD5\xFD text \xB0\xA1", "\x81\x40\xFE\x4F"})
    EXPECT_EQ(XmlOp::_w2a(XmlOp::_a2w(text)), text);
  std::string all;  // narrow to narrow keeps every byte
  for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_EQ(XmlOp::CString2string(XmlOp::string2CString(all)), all);
  // What the code page cannot map does not fail.
  EXPECT_EQ(XmlOp::_w2a(L"\U0001F600"), "?");  // outside the basic plane
  // Thai and bytes that are not GBK: platform/codepage_test.cpp.
  EXPECT_EQ(XmlOp::_a2w("\x80"), L"\x20AC");  // the code page's single-byte euro sign
  EXPECT_EQ(XmlOp::_w2a(L"\x20AC"), "\x80");
}

TEST(XmlOp, EmptyInputAndEmbeddedNul) {
  EXPECT_TRUE(XmlOp::_a2w("").empty());
  EXPECT_TRUE(XmlOp::_w2a(L"").empty());
  EXPECT_TRUE(XmlOp::_a2w(static_cast<const char*>(nullptr)).empty());
  EXPECT_EQ(XmlOp::_a2w(std::string("ab\0cd", 5)), L"ab");
  EXPECT_EQ(XmlOp::_w2a(std::wstring(L"ab\0cd", 5)), "ab");
  EXPECT_EQ(XmlOp::CString2string(CString("ab\0cd", 5)), "ab");
  EXPECT_EQ(XmlOp::CString2wstring(CString("\xD5\xFD\0x", 4)), L"\x6B63");
  EXPECT_EQ(XmlOp::wstring2CString(std::wstring(L"\x6B63\0x", 3)), "\xD5\xFD");
}

}  // namespace
