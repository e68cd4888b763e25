// Code page 936 conversions: both directions, text ending at the first NUL,
// replacement of what cannot be converted (or refusal, for names and paths),
// and conversions on several threads at once.
#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using namespace corvane::platform;
using Strings = std::vector<std::string>;
using Wides = std::vector<std::wstring>;

const char kZhengZaiGbk[] = "\xD5\xFD\xD4\xDA";  // 正在
const char kZhengZaiUtf8[] = "\xE6\xAD\xA3\xE5\x9C\xA8";

std::string ToUtf8(const char* text, std::size_t length) {
  std::string out;
  AppendNarrowAsUtf8(out, text, length);
  return out;
}

std::string FromUtf8(const char* text, std::size_t length) {
  std::string out;
  AppendUtf8AsNarrow(out, text, length);
  return out;
}

TEST(CodePage, ConvertsBothWaysStopsAtTheFirstNulAndReplacesWhatItCannotConvert) {
  const unsigned char utf16[] = {0x63, 0x6B, 0x28, 0x57, 'A', 0};
  EXPECT_EQ((Strings{ToUtf8(kZhengZaiGbk, 4), FromUtf8(kZhengZaiUtf8, 6),
                     WideToNarrow(L"\x6B63\x5728", 2), Utf16LeToNarrow(utf16, 3),
                     ToUtf8("FILE_CONVERT", 12), FromUtf8("", 0), ToUtf8("ab\0\xD5\xFD", 5),
                     WideToNarrow(L"a\0b", 3), WideToNarrow(L"a\x0E01z", 3),
                     FromUtf8("a\xE0\xB8\x81z", 5), FromUtf8("a\xFFz", 3), ToUtf8("\xD5", 1)}),
            (Strings{kZhengZaiUtf8, kZhengZaiGbk, kZhengZaiGbk, std::string(kZhengZaiGbk) + "A",
                     "FILE_CONVERT", "", "ab", "a", "a?z", "a?z", "a?z", "\xEF\xBF\xBD"}));
  // Thai (U+0E01) is not in code page 936; \xFF and a lone lead byte are no text.
  EXPECT_EQ((Wides{NarrowToWide(kZhengZaiGbk, 4), NarrowToWide("\xD5\xFD\0z", 4),
                   NarrowToWide("a\xFFz", 3), NarrowToWide("a\xD5", 2)}),
            (Wides{L"\x6B63\x5728", L"\x6B63", L"a\xFFFDz", L"a\xFFFD"}));
  EXPECT_TRUE(IsAscii("plain text, longer than eight bytes", 35));
  EXPECT_FALSE(IsAscii("plain text\x80", 11));
}

TEST(CodePage, NamesAndPathsAreRefusedWholeWhenNotCodePage936) {
  std::string strict = "kept";
  EXPECT_TRUE(AppendNarrowAsUtf8Strict(strict, "a\0\xD5\xFD\xD4\xDA", 6));  // NULs included
  EXPECT_EQ(strict, std::string("kepta\0", 6) + kZhengZaiUtf8);
  for (const char* bad : {"a\xFF", "\xD5", "a\x81\x20"}) {
    EXPECT_FALSE(AppendNarrowAsUtf8Strict(strict, bad, std::char_traits<char>::length(bad)));
  }
  EXPECT_EQ(strict, std::string("kepta\0", 6) + kZhengZaiUtf8) << "nothing appended on refusal";
}

TEST(CodePage, ThreadsConvertIndependently) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([] {
      for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(ToUtf8(kZhengZaiGbk, 4), kZhengZaiUtf8);
        ASSERT_EQ(WideToNarrow(L"\x6B63\x5728", 2), kZhengZaiGbk);
      }
    });
  }
  for (auto& thread : threads) thread.join();
}

}  // namespace
