// The narrow string as hosts use it: bytes kept unchanged, independent copies,
// code page 936 text read as whole characters by every comparison, piece,
// search and edit, the buffer protocol, printf-style formatting with CString
// arguments, and copies released on other threads.
#include <corvane/platform/cstring.h>
#include <gtest/gtest.h>

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
  const CString zero = 0, null = nullptr, dash = '-';
  EXPECT_EQ(
      Texts({CString(gbk), CString("a\0b", 3), CString(static_cast<const char*>(nullptr)), zero,
             null, dash, CString('=', 3), CString('=', 0), CString('=', -1),
             CString(L"\u6B63\u5728"), CString(L"abc", 2)}),
      (Strings{gbk, std::string("a\0b", 3), "", "", "", "-", "===", "", "", kZhengZai, "ab"}));

  CString a("Layers"), b(a), c, d;
  (b += "X").SetAt(0, 'l');
  CString& self = a;
  (a = self) += self;
  c.Append("ab");
  c.Append(nullptr);
  c.Append("cdef", 2);
  c.AppendChar('!');
  c += '?';
  d = c;
  d += d.GetString() + 2;  // a piece of itself
  EXPECT_EQ(
      Texts({a, b, c, d, CString(a) = 'q', CString(a) = L"\u6B63", CString(a) = "",
             'c' + CString("s"), "x" + CString("s"), CString("s") + 'd' + CString("e") + "f"}),
      (Strings{"LayersLayers", "layersX", "abcd!?", "abcd!?cd!?", "q", "\xD5\xFD", "", "cs", "xs",
               "sdef"}));
}

int Sign(int compared) { return (compared > 0) - (compared < 0); }

TEST(CString, ComparesBytesAndFoldsOnlySingleByteLetters) {
  const CString layers("Layers");
  // Only ASCII letters fold, and never a trail byte ('T' and 't' in 門 and 閠).
  EXPECT_EQ(
      (Indexes{Sign(layers.CompareNoCase("LAYERS")), Sign(layers.Compare("LAYERS")),
               Sign(CString("\xC4").CompareNoCase("\xE4")), Sign(CString(kMen).CompareNoCase(kRun)),
               Sign(CString("\x88\x64").CompareNoCase("\x88\x44")),
               Sign(CString("A\xE9\x54z").CompareNoCase("a\xE9\x54Z")),
               Sign(CString("\xE9").CompareNoCase(kMen)),
               Sign(CString(kMen).CompareNoCase("\xE9"))}),
      (Indexes{0, 1, -1, -1, 1, 0, -1, 1}));
  EXPECT_TRUE(layers == "Layers" && "Layers" == layers && layers != CString("layers"));

  const CString b("b");
  std::string orders;  // x < b, x > b, x <= b, x >= b, then b against x the same way
  for (const char* x : {"a", "b", "c"}) {
    for (bool is : {(x < b), (x > b), (x <= b), (x >= b), (b < x), (b > x), (b <= x), (b >= x)}) {
      orders += "01"[is];
    }
    orders += ' ';
  }
  EXPECT_EQ(orders, "10100101 00110011 01011010 ");
  EXPECT_TRUE(CString("\x7F") < CString("\x80") && CString("B") < CString("a")) << "unsigned";
}

TEST(CString, ExtractsWholeCharactersAndClamps) {
  const CString t("a\xD5\xFDq\xD4\xDA");  // a 正 q 在: bytes 0, 1-2, 3, 4-5
  const std::string all(t);
  EXPECT_EQ(
      Texts({t.Mid(-3), t.Mid(2), t.Mid(9), t.Mid(1, 2), t.Mid(1, 1), t.Mid(-2, 2), t.Mid(3, 99),
             t.Mid(1, -1), t.Left(-1), t.Left(2), t.Left(3), t.Left(99), t.Right(-1), t.Right(1),
             t.Right(2), t.Right(5), t.Right(99), CString("ab\x81").Right(1)}),
      (Strings{all, "q\xD4\xDA", "", "\xD5\xFD", "", "a", "q\xD4\xDA", "", "", "a", "a\xD5\xFD",
               all, "", "", "\xD4\xDA", all.substr(1), all, "\x81"}));
}

TEST(CString, SearchesAtCharacterBoundaries) {
  // 門 s T 鉆 @ , 正 , z: bytes 0-1, 2, 3, 4-5, 6, 7, 8-9, 10, 11
  const CString t("\xE9\x54sT\xE9\x40@,\xD5\xFD,z");
  // 'T' and '@' are also the trail bytes of 門 and 鉆, \xE9 their lead byte.
  EXPECT_EQ((Indexes{t.Find('T'), t.Find('@'), t.Find('T', 4), t.Find('T', -5), t.Find('z', 12),
                     t.Find('\xE9'), t.ReverseFind(','), t.ReverseFind('@'), t.ReverseFind('y'),
                     t.ReverseFind('\xE9')}),
            (Indexes{3, 6, -1, 3, -1, -1, 10, 6, -1, -1}));
  // "Ts" starts inside 門, "\xE9" is half of it, "\xFD\xD4" spans two characters.
  EXPECT_EQ(
      (Indexes{t.Find("Ts"), t.Find("sT"), t.Find("\xE9"), t.Find("\xD5\xFD,", 1), t.Find("", 4),
               t.Find("", 12), t.Find("", 13), CString(kZhengZai).Find("\xFD\xD4")}),
      (Indexes{-1, 2, -1, 8, 4, 12, -1, -1}));
  EXPECT_EQ((Indexes{t.FindOneOf("@T"), t.FindOneOf("\xD4\xDA\xD5\xFD"), t.FindOneOf("\xFD"),
                     t.FindOneOf(kRun), t.FindOneOf("")}),
            (Indexes{3, 8, -1, -1, -1}));
  EXPECT_EQ(Texts({CString("\xE9\x54\xE9\x54T!").SpanIncluding("T\xE9\x54"), t.SpanIncluding("T"),
                   t.SpanExcluding("@T"), t.SpanExcluding("")}),
            (Strings{"\xE9\x54\xE9\x54T", "", "\xE9\x54s", std::string(t)}));

  // '@' and '|' are delimiters, and trail bytes of 鉆 and \x95\x7C.
  const CString list("|\xD5\xFD|s@@\xE9\x40|\x95\x7C@");
  Strings tokens;
  Indexes starts;
  for (int start = 0; start != -1;) {
    tokens.push_back(list.Tokenize("|@", start).GetString());
    starts.push_back(start);
  }
  EXPECT_EQ(tokens, (Strings{"\xD5\xFD", "s", "\xE9\x40", "\x95\x7C", ""}));
  EXPECT_EQ(starts, (Indexes{4, 6, 10, 13, -1}));
  int whole = 0, half = 0, before = -1, past = 13;
  EXPECT_EQ(Texts({CString("s\xD5\xFDt").Tokenize("\xD5\xFD", whole),
                   CString("s\xD5\xFDt").Tokenize("\xFD", half), list.Tokenize("|", before),
                   list.Tokenize("|", past)}),
            (Strings{"s", "s\xD5\xFDt", "", ""}));
  EXPECT_EQ((Indexes{whole, half, before, past}), (Indexes{3, 4, -1, -1}));
}

TEST(CString, EditsWholeCharacters) {
  CString s("aZ\xE9\x74\xE9\x54q"), lower;
  s.MakeUpper();
  lower = s;
  lower.MakeLower().MakeReverse();
  EXPECT_EQ(Texts({s, lower}), (Strings{"AZ\xE9\x74\xE9\x54Q", "q\xE9\x54\xE9\x74za"}));

  s = "\xE9\x54T.T";  // 門 hides a 'T', and \xE9 leads it
  const CString before(s);
  EXPECT_EQ(s.Replace('T', 't'), 2);
  EXPECT_EQ(s.Replace('x', 'y') + s.Replace('\xE9', 'y') + s.Remove('\xE9'), 0);
  EXPECT_EQ(Texts({s, before}), (Strings{"\xE9\x54t.t", "\xE9\x54T.T"}));
  s = "x.y.z";
  EXPECT_EQ(s.Replace(".", kZhengZai) + s.Replace("\xFD\xD4", "-"), 2);
  EXPECT_STREQ(s, "x\xD5\xFD\xD4\xDAy\xD5\xFD\xD4\xDAz");
  s = "sssT\xE9\x54";
  EXPECT_EQ(
      s.Replace("ss", "t") + s.Replace("\xE9", "x") + s.Replace("", "x") + s.Replace(nullptr, "x"),
      1);
  EXPECT_EQ(s.Replace("t", nullptr) + s.Remove('T'), 2);
  EXPECT_STREQ(s, "s\xE9\x54");

  // An insertion inside a character goes after it; a deletion takes all of it.
  s = kZhengZai;
  EXPECT_EQ((Indexes{s.Insert(1, '-'), s.Insert(-5, "<"), s.Insert(99, ">")}), (Indexes{5, 6, 7}));
  EXPECT_STREQ(s, "<\xD5\xFD-\xD4\xDA>");
  s = "abc";
  EXPECT_EQ(s.Insert(0, s.GetString() + 1), 5);
  EXPECT_STREQ(s, "bcabc");
  s = "s\xD5\xFDtu\xD4\xDAv";
  EXPECT_EQ((Indexes{s.Delete(2), s.Delete(-1), s.Delete(9), s.Delete(0, 0), s.Delete(1, 2),
                     s.Delete(1, 99)}),
            (Indexes{6, 5, 5, 5, 2, 1}));
  EXPECT_STREQ(s, "t");

  const CString padded(" \t\r\n\v\fx y \t"), zheng("\xD5\xFDx\xD5\xFD");
  const auto truncated = [](CString text, int length) {
    text.Truncate(length);
    return text;
  };
  // "\x81\x20" is one character: its trail byte is no space.
  EXPECT_EQ(
      Texts({CString(padded).Trim(), CString(padded).TrimLeft(), CString(padded).TrimRight(),
             CString(" \t ").Trim(), CString("\x81\x20").TrimRight(), CString("\x81\x20 ").Trim(),
             CString("\xE9\x40@@").TrimRight('@'), CString("@\xE9\x40").TrimLeft('@'),
             CString("xxaxx").Trim('x'), CString(zheng).Trim("\xD5\xFD"),
             CString(zheng).TrimLeft(kZhengZai), CString(zheng).TrimRight("\xFD"), padded,
             truncated(zheng, 10), truncated(zheng, 4), truncated(zheng, -1)}),
      (Strings{"x y", "x y \t", " \t\r\n\v\fx y", "", "\x81\x20", "\x81\x20", "\xE9\x40",
               "\xE9\x40", "a", "x", "x\xD5\xFD", std::string(zheng), " \t\r\n\v\fx y \t",
               std::string(zheng), "\xD5\xFDx", ""}));
}

TEST(CString, LendsItsBuffer) {
  CString owner("abc");
  const CString shared(owner);
  std::strcpy(owner.GetBuffer(10), "hello");
  owner.ReleaseBuffer();
  const CString hello(owner);
  owner.GetBuffer()[0] = 'j';  // the text is in the buffer
  owner.ReleaseBuffer(4);
  const CString jell(owner);
  std::memcpy(owner.GetBufferSetLength(5), "ab\0cd", 5);
  owner.ReleaseBuffer();  // -1: up to the first NUL
  const CString ab(owner);
  std::memcpy(owner.GetBufferSetLength(5), "ab\0cd", 5);
  owner.ReleaseBufferSetLength(4);
  EXPECT_EQ(Texts({shared, hello, jell, ab, owner}),
            (Strings{"abc", "hello", "jell", "ab", std::string("ab\0c", 4)}));
}

void FormatInto(CString& out, bool append, const char* format, ...) {
  va_list args;
  va_start(args, format);
  append ? out.AppendFormatV(format, args) : out.FormatV(format, args);
  va_end(args);
}

TEST(CString, FormatsCStringArgumentsAsText) {
  struct Name : CString {
    using CString::CString;
  };
  const CString zheng("\xD5\xFD");
  CString text, plain, big;
  plain.Format("%d|%f|%s", -5, 1.5, "\xB1\xA3");
  text.Format("%s=%.1f %s %c%s", zheng, 2.5f, "lit", 'c', Name("n"));
  text.AppendFormat("[%u%s]", 7u, zheng);
  big.Format("%s%s", CString('x', 300), zheng);  // longer than any first guess
  big.AppendFormat("%d", 7);
  EXPECT_EQ(Texts({plain, text, big}),
            (Strings{"-5|1.500000|\xB1\xA3", "\xD5\xFD=2.5 lit cn[7\xD5\xFD]",
                     std::string(300, 'x') + "\xD5\xFD" + "7"}));
  FormatInto(text, false, "%s-%d", "v", 1);
  FormatInto(text, true, "+%s", std::string(400, 'y').c_str());
  EXPECT_EQ(Bytes(text), "v-1+" + std::string(400, 'y'));
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
