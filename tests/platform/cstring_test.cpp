// The narrow string as hosts use it: bytes kept unchanged, independent copies, code page 936 text
// read as whole characters by every comparison, piece, search and edit, the buffer protocol,
// printf-style formatting with CString arguments, and copies released on other threads.
#include <corvane/platform/cstring.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdarg>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

// 門 and 閠 differ only in a trail byte that reads as 'T' or 't'; 鉆 ends in '@'.
const char kMen[] = "\xE9\x54";
const char kRun[] = "\xE9\x74";
const char kZhengZai[] = "\xD5\xFD\xD4\xDA";  // 正在

std::string Bytes(const CString& text) { return std::string(text.GetString(), text.GetLength()); }

using Indexes = std::vector<int>;
using Strings = std::vector<std::string>;

Strings Texts(std::initializer_list<CString> texts) {
  Strings bytes;
  for (const CString& text : texts) bytes.push_back(Bytes(text));
  return bytes;
}

TEST(CString, ConstructsAssignsAndConcatenates) {
  // One pointer, as the framework's: host code passes it through `...` for %s.
  static_assert(sizeof(CString) == sizeof(void*), "a CString is its text pointer");
  const char gbk[] = "\xD5\xFD\xD4\xDA\x80\xFF";
  EXPECT_EQ(
      Texts({CString(gbk), CString("a\0b", 3), CString(static_cast<const char*>(nullptr)),
             CString('=', 3), CString('=', -1), CString(L"\u6B63\u5728"), CString(L"abc", 2)}),
      (Strings{gbk, std::string("a\0b", 3), "", "===", "", kZhengZai, "ab"}));

  CString a("Layers"), b(a), c;
  (b += "X").SetAt(0, 'l');  // a copy of its own
  CString& self = a;
  (a = self) += self;
  c.Append("cdef", 2);
  c += '?';
  c += c.GetString() + 1;  // a piece of itself
  EXPECT_EQ(Texts({a, b, c, CString(a) = L"\u6B63", 'c' + CString("s"),
                   CString("s") + 'd' + CString("e") + "f"}),
            (Strings{"LayersLayers", "layersX", "cd?d?", "\xD5\xFD", "cs", "sdef"}));
}

int Sign(int compared) { return (compared > 0) - (compared < 0); }

TEST(CString, ComparesBytesAndFoldsOnlySingleByteLetters) {
  const CString layers("Layers");
  // Only ASCII letters fold, and never a trail byte ('T' and 't' in 門 and 閠).
  EXPECT_EQ(
      (Indexes{Sign(layers.CompareNoCase("LAYERS")), Sign(layers.Compare("LAYERS")),
               Sign(CString("\xC4").CompareNoCase("\xE4")), Sign(CString(kMen).CompareNoCase(kRun)),
               Sign(CString("A\xE9\x54z").CompareNoCase("a\xE9\x54Z"))}),
      (Indexes{0, 1, -1, -1, 0}));
  EXPECT_TRUE(layers == "Layers");
  EXPECT_TRUE("Layers" == layers);
  EXPECT_TRUE(layers != CString("layers"));

  const CString b("b");  // each order with a plain string on either side
  EXPECT_TRUE("a" < b);
  EXPECT_TRUE(b < "c");
  EXPECT_TRUE("c" > b);
  EXPECT_TRUE(b > "a");
  EXPECT_TRUE("b" <= b);
  EXPECT_TRUE(b <= "b");
  EXPECT_TRUE("b" >= b);
  EXPECT_TRUE(b >= "b");
  EXPECT_FALSE("b" < b);
  EXPECT_FALSE(b < "b");
  EXPECT_FALSE("b" > b);
  EXPECT_FALSE(b > "b");
  EXPECT_FALSE("c" <= b);
  EXPECT_FALSE(b <= "a");
  EXPECT_FALSE("a" >= b);
  EXPECT_FALSE(b >= "c");
  EXPECT_TRUE(CString("\x7F") < CString("\x80")) << "unsigned";
  EXPECT_TRUE(CString("B") < CString("a"));
}

TEST(CString, ExtractsWholeCharactersAndClamps) {
  const CString t("a\xD5\xFDq\xD4\xDA");  // a 正 q 在: bytes 0, 1-2, 3, 4-5
  const std::string all(t);
  EXPECT_EQ(Texts({t.Mid(-3), t.Mid(2), t.Mid(9), t.Mid(1, 1), t.Mid(3, 99), t.Left(-1), t.Left(2),
                   t.Right(1), t.Right(5), t.Right(99), CString("ab\x81").Right(1),
                   t.Right(INT_MIN), t.Right(INT_MAX), t.Left(INT_MIN), t.Left(INT_MAX),
                   t.Mid(INT_MAX, INT_MAX), t.Mid(INT_MIN, INT_MAX), t.Mid(3, INT_MIN)}),
            (Strings{all, "q\xD4\xDA", "", "", "q\xD4\xDA", "", "a", "", all.substr(1), all, "\x81",
                     "", all, "", all, "", all, ""}));
}

TEST(CString, SearchesAtCharacterBoundaries) {
  // 門 s T 鉆 @ , 正 , z: bytes 0-1, 2, 3, 4-5, 6, 7, 8-9, 10, 11
  const CString t("\xE9\x54sT\xE9\x40@,\xD5\xFD,z");
  // 'T' and '@' are also the trail bytes of 門 and 鉆, \xE9 their lead byte.
  EXPECT_EQ((Indexes{t.Find('T'), t.Find('@'), t.Find('T', 4), t.Find('T', -5), t.Find('\xE9'),
                     t.ReverseFind('@'), t.ReverseFind('\xE9')}),
            (Indexes{3, 6, -1, 3, -1, 6, -1}));
  // "Ts" starts inside 門, "\xE9" is half of it, "\xFD\xD4" spans two characters.
  EXPECT_EQ(
      (Indexes{t.Find("Ts"), t.Find("\xE9"), t.Find("\xD5\xFD,", 1), t.Find("", 4), t.Find("", 13),
               CString(kZhengZai).Find("\xFD\xD4"), t.FindOneOf("@T"), t.FindOneOf(kRun)}),
      (Indexes{-1, -1, 8, 4, -1, -1, 3, -1}));
  EXPECT_EQ(
      Texts({CString("\xE9\x54\xE9\x54T!").SpanIncluding("T\xE9\x54"), t.SpanExcluding("@T")}),
      (Strings{"\xE9\x54\xE9\x54T", "\xE9\x54s"}));

  // '@' and '|' are delimiters, and trail bytes of 鉆 and \x95\x7C.
  const CString list("|\xD5\xFD|s@@\xE9\x40|\x95\x7C@");
  Strings tokens;  // each with the start it leaves
  for (int start = 0; start != -1;) {
    const std::string token = Bytes(list.Tokenize("|@", start));
    tokens.push_back(token + ":" + std::to_string(start));
  }
  EXPECT_EQ(tokens, (Strings{"\xD5\xFD:4", "s:6", "\xE9\x40:10", "\x95\x7C:13", ":-1"}));
  int whole = 0, half = 0, past = 13;
  EXPECT_EQ(Texts({CString("s\xD5\xFDt").Tokenize("\xD5\xFD", whole),
                   CString("s\xD5\xFDt").Tokenize("\xFD", half), list.Tokenize("|", past)}),
            (Strings{"s", "s\xD5\xFDt", ""}));
  EXPECT_EQ((Indexes{whole, half, past}), (Indexes{3, 4, -1}));
}

TEST(CString, EditsWholeCharacters) {
  CString s("aZ\xE9\x74\xE9\x54q");
  EXPECT_STREQ(s.MakeUpper(), "AZ\xE9\x74\xE9\x54Q");
  EXPECT_STREQ(CString(s).MakeLower().MakeReverse(), "q\xE9\x54\xE9\x74za");

  s = "\xE9\x54T.T";  // 門 hides a 'T', and \xE9 leads it
  EXPECT_EQ(s.Replace('T', 't'), 2);
  EXPECT_EQ(s.Replace('x', 'y') + s.Replace('\xE9', 'y') + s.Remove('\xE9'), 0);
  EXPECT_STREQ(s, "\xE9\x54t.t");
  s = "x.y.z";
  EXPECT_EQ(s.Replace(".", kZhengZai) + s.Replace("\xFD\xD4", "-"), 2);
  EXPECT_STREQ(s, "x\xD5\xFD\xD4\xDAy\xD5\xFD\xD4\xDAz");
  s = "sssT\xE9\x54";
  EXPECT_EQ(s.Replace("ss", "t") + s.Replace("\xE9", "x") + s.Replace("", "x"), 1);
  EXPECT_EQ(s.Remove('T'), 1);
  EXPECT_STREQ(s, "ts\xE9\x54");

  // An insertion inside a character goes after it; a deletion takes all of it.
  s = kZhengZai;
  EXPECT_EQ((Indexes{s.Insert(1, '-'), s.Insert(-5, "<"), s.Insert(99, ">")}), (Indexes{5, 6, 7}));
  EXPECT_STREQ(s, "<\xD5\xFD-\xD4\xDA>");
  s = "s\xD5\xFDtu\xD4\xDAv";
  EXPECT_EQ((Indexes{s.Delete(2), s.Delete(-1), s.Delete(9), s.Delete(1, 2), s.Delete(1, 99)}),
            (Indexes{6, 5, 5, 2, 1}));
  EXPECT_STREQ(s, "t");

  const CString padded(" \t\r\n\v\fx y \t"), zheng("\xD5\xFDx\xD5\xFD");
  const auto truncated = [](CString text, int length) {
    text.Truncate(length);
    return text;
  };
  // "\x81\x20" is one character: its trail byte is no space.
  EXPECT_EQ(Texts({CString(padded).Trim(), CString(padded).TrimLeft(), CString(padded).TrimRight(),
                   CString("\x81\x20").TrimRight(), CString("\xE9\x40@@").TrimRight('@'),
                   CString("xxaxx").Trim('x'), CString(zheng).Trim("\xD5\xFD"),
                   CString(zheng).TrimRight("\xFD"), truncated(zheng, 4), truncated(zheng, -1)}),
            (Strings{"x y", "x y \t", " \t\r\n\v\fx y", "\x81\x20", "\xE9\x40", "a", "x",
                     std::string(zheng), "\xD5\xFDx", ""}));
}

TEST(CString, LendsItsBuffer) {
  CString owner("abc");
  const CString shared(owner);
  std::strcpy(owner.GetBuffer(10), "hello");
  owner.ReleaseBuffer();
  const CString hello(owner);
  std::memcpy(owner.GetBufferSetLength(5), "ab\0cd", 5);
  owner.ReleaseBuffer();  // -1: up to the first NUL
  const CString ab(owner);
  std::memcpy(owner.GetBufferSetLength(5), "ab\0cd", 5);
  owner.ReleaseBufferSetLength(4);
  EXPECT_EQ(Texts({shared, hello, ab, owner}),
            (Strings{"abc", "hello", "ab", std::string("ab\0c", 4)}));
}

void FormatInto(CString& out, bool append, const char* format, ...) {
  va_list args;
  va_start(args, format);
  append ? out.AppendFormatV(format, args) : out.FormatV(format, args);
  va_end(args);
}

TEST(CString, FormatsCStringArgumentsAsText) {
  const CString zheng("\xD5\xFD");
  CString text, big;
  text.Format("%s=%.1f %s %c", zheng, 2.5f, "lit", 'c');
  text.AppendFormat("[%u%s]", 7u, zheng);
  big.Format("%s%s", CString('x', 300), zheng);  // longer than any first guess
  EXPECT_EQ(Texts({text, big}),
            (Strings{"\xD5\xFD=2.5 lit c[7\xD5\xFD]", std::string(300, 'x') + "\xD5\xFD"}));
  FormatInto(text, false, "%s-%d", "v", 1);
  FormatInto(text, true, "+%s", std::string(400, 'y').c_str());
  EXPECT_EQ(Bytes(text), "v-1+" + std::string(400, 'y'));
  // The framework's 64-bit size prefix, as the Windows runtime reads it.
  FormatInto(text, false, "%I64d|%I64u|%I64x|%-12I64X|%%I64d", -5000000000LL,
             18446744073709551615ULL, 0x123456789abcLL, 0xABCDEF012LL);
  FormatInto(text, true, "|%s%5I64d", "s", 7LL);
  EXPECT_EQ(Bytes(text), "-5000000000|18446744073709551615|123456789abc|ABCDEF012   |%I64d|s    7");
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
