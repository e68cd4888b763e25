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

const char kZhengZaiGbk[] = "\xD5\xFD\xD4\xDA";  // 正在
const char kZhengZaiUtf8[] = "\xE6\xAD\xA3\xE5\x9C\xA8";

// The appending forms, starting from an empty string.
template <void (*Append)(std::string&, const char*, std::size_t)>
std::string Converted(const char* text, std::size_t length) {
  std::string out;
  Append(out, text, length);
  return out;
}
const auto ToUtf8 = Converted<AppendNarrowAsUtf8>;
const auto FromUtf8 = Converted<AppendUtf8AsNarrow>;

TEST(CodePage, ConvertsBothWaysStopsAtTheFirstNulAndReplacesWhatItCannotConvert) {
  const unsigned char utf16[] = {0x63, 0x6B, 0x28, 0x57, 'A', 0};
  // Thai (U+0E01) is not in code page 936; \xFF and a lone lead byte are no text.
  EXPECT_EQ((Strings{ToUtf8(kZhengZaiGbk, 4), FromUtf8(kZhengZaiUtf8, 6),
                     WideToNarrow(L"\x6B63\x5728", 2), Utf16LeToNarrow(utf16, 3),
                     ToUtf8("ab\0\xD5\xFD", 5), WideToNarrow(L"a\x0E01z", 3), FromUtf8("a\xFFz", 3),
                     ToUtf8("\xD5", 1)}),
            (Strings{kZhengZaiUtf8, kZhengZaiGbk, kZhengZaiGbk, std::string(kZhengZaiGbk) + "A",
                     "ab", "a?z", "a?z", "\xEF\xBF\xBD"}));
  EXPECT_TRUE(IsAscii("plain text, longer than eight bytes", 35));
  EXPECT_FALSE(IsAscii("plain text\x80", 11));
}

TEST(CodePage, NamesAndPathsAreRefusedWholeWhenNotCodePage936) {
  std::string strict = "kept";
  EXPECT_TRUE(AppendNarrowAsUtf8Strict(strict, "a\0\xD5\xFD\xD4\xDA", 6));  // NULs included
  EXPECT_EQ(strict, std::string("kepta\0", 6) + kZhengZaiUtf8);
  for (const char* bad : {"a\xFF", "\xD5", "a\x81\x20"})
    EXPECT_FALSE(AppendNarrowAsUtf8Strict(strict, bad, std::char_traits<char>::length(bad)));
  EXPECT_EQ(strict, std::string("kepta\0", 6) + kZhengZaiUtf8) << "nothing appended on refusal";
}

TEST(CodePage, ThreadsConvertIndependently) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([] {  // each way through the thread's own converters
      for (int i = 0; i < 500; ++i)
        ASSERT_EQ(WideToNarrow(NarrowToWide(kZhengZaiGbk, 4).c_str(), 2), kZhengZaiGbk);
    });
  }
  for (auto& thread : threads) thread.join();
}

}  // namespace
