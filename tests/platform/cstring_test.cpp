// The narrow string as hosts use it: bytes kept unchanged, independent copies,
// code page 936 text read as whole characters by every comparison, piece,
// search and edit, the buffer protocol, printf-style formatting with CString
// arguments, and copies released on other threads.
#include <corvane/platform/cstring.h>
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

// 門 and 閠 differ only in a trail byte that reads as 'T' or 't'; 鉆 ends in '@'.
const char kMen[] = "\xE9\x54";
const char kRun[] = "\xE9\x74";
const char kZhengZai[] = "\xD5\xFD\xD4\xDA";

std::string Bytes(const CString& text) { return std::string(text.GetString(), text.GetLength()); }

using Indexes = std::vector<int>;
using Strings = std::vector<std::string>;

Strings Texts(std::initializer_list<CString> texts) {
  Strings bytes;
  for (const CString& text : texts) bytes.push_back(Bytes(text));
  return bytes;
}

TEST(CString, ConstructsAssignsAndConcatenates) {
  const char gbk[] = "\xD5\xFD\xD4\xDA\x80\xFF";
  const CString zero = 0, null = nullptr, none = nullptr, dash = '-', narrow = L"\u6B63\u5728";
  EXPECT_EQ(
      Texts({CString(gbk), CString("a\0b", 3), CString(static_cast<const char*>(nullptr)), zero,
             null, none, dash, CString('=', 3), CString('=', 0), CString('=', -1), narrow,
             CString(L"abc", 2)}),
      (Strings{gbk, std::string("a\0b", 3), "", "", "", "", "-", "===", "", "", kZhengZai, "ab"}));

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
  EXPECT_STREQ(c = 'q', "q");
  EXPECT_STREQ(c = L"\u6B63", "\xD5\xFD");
  EXPECT_TRUE((c = "").IsEmpty());

  const CString s("s");
  EXPECT_STREQ('c' + s, "cs");
  EXPECT_STREQ(s + 'd' + CString("e") + "f", "sdef");
  EXPECT_STREQ("x" + s, "xs");
  c.Append("ab");
  c.Append(nullptr);
  c.Append("cdef", 2);
  c.AppendChar('!');
  c += '?';
  EXPECT_STREQ(c, "abcd!?");
  EXPECT_EQ(sizeof(CString), sizeof(void*));
}

TEST(CString, ComparesBytesAndFoldsOnlySingleByteLetters) {
  const CString layers("Layers");
  EXPECT_EQ(layers.CompareNoCase("LAYERS"), 0);
  EXPECT_GT(layers.Compare("LAYERS"), 0);
  EXPECT_NE(CString("\xC4").CompareNoCase("\xE4"), 0) << "only ASCII letters fold";
  EXPECT_LT(CString(kMen).CompareNoCase(kRun), 0) << "a trail byte never folds";
  EXPECT_GT(CString("\x88\x64").CompareNoCase("\x88\x44"), 0);
  EXPECT_EQ(CString("A\xE9\x54z").CompareNoCase("a\xE9\x54Z"), 0);
  EXPECT_LT(CString("\xE9").CompareNoCase(kMen), 0);
  EXPECT_GT(CString(kMen).CompareNoCase("\xE9"), 0);
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
  EXPECT_TRUE(CString("\x7F") < CString("\x80") && CString("\x80") > "\x7F") << "unsigned";
  EXPECT_TRUE(CString("ab") <= CString("ab") && CString("ab") >= CString("a"));
  const std::map<CString, int> ordered{{"b", 2}, {"B", 1}, {"a", 3}};
  EXPECT_EQ(ordered.size(), 3u);
  EXPECT_STREQ(ordered.begin()->first, "B");
}

TEST(CString, ExtractsWholeCharactersAndClamps) {
  const CString t("a\xD5\xFDq\xD4\xDA");  // a 正 q 在: bytes 0, 1-2, 3, 4-5
  EXPECT_EQ(
      Texts({t.Mid(-3), t.Mid(2), t.Mid(6), t.Mid(9), t.Mid(1, 2), t.Mid(1, 1), t.Mid(-2, 2),
             t.Mid(3, 99), t.Mid(1, -1)}),
      Texts({"a\xD5\xFDq\xD4\xDA", "q\xD4\xDA", "", "", "\xD5\xFD", "", "a", "q\xD4\xDA", ""}));
  EXPECT_EQ(Texts({t.Left(-1), t.Left(2), t.Left(3), t.Left(99)}),
            Texts({"", "a", "a\xD5\xFD", "a\xD5\xFDq\xD4\xDA"}));
  EXPECT_EQ(Texts({t.Right(-1), t.Right(1), t.Right(2), t.Right(5), t.Right(99),
                   CString("ab\x81").Right(1)}),
            Texts({"", "", "\xD4\xDA", "\xD5\xFDq\xD4\xDA", "a\xD5\xFDq\xD4\xDA", "\x81"}));
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
            Texts({"\xE9\x54\xE9\x54T", "", "\xE9\x54s", t}));

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
  for (int start : {-1, 13, 99}) {
    EXPECT_STREQ(list.Tokenize("|", start), "");
    EXPECT_EQ(start, -1);
  }
  int whole = 0, half = 0;
  EXPECT_EQ(Texts({CString("s\xD5\xFDt").Tokenize("\xD5\xFD", whole),
                   CString("s\xD5\xFDt").Tokenize("\xFD", half)}),
            Texts({"s", "s\xD5\xFDt"}));
  EXPECT_EQ((Indexes{whole, half}), (Indexes{3, 4}));
}

TEST(CString, EditsWholeCharacters) {
  CString s("aZ\xE9\x74\xE9\x54q");
  EXPECT_EQ(&s.MakeUpper(), &s);
  EXPECT_STREQ(s, "AZ\xE9\x74\xE9\x54Q");
  EXPECT_STREQ(s.MakeLower(), "az\xE9\x74\xE9\x54q");
  EXPECT_STREQ(CString("xy\xD5\xFD\xD4\xDAz").MakeReverse(), "z\xD4\xDA\xD5\xFDyx");

  s = "\xE9\x54T.T";
  const CString before(s);
  EXPECT_EQ(s.Replace('T', 't'), 2);
  EXPECT_STREQ(s, "\xE9\x54t.t");
  EXPECT_STREQ(before, "\xE9\x54T.T") << "a copy keeps its text";
  EXPECT_EQ(s.Replace('x', 'y') + s.Replace('\xE9', 'y') + s.Remove('\xE9'), 0);
  s = "x.y.z";
  EXPECT_EQ(s.Replace(".", kZhengZai), 2);
  EXPECT_STREQ(s, "x\xD5\xFD\xD4\xDAy\xD5\xFD\xD4\xDAz");
  EXPECT_EQ(s.Replace("\xFD\xD4", "-"), 0);
  s = "sss\xE9\x54";
  EXPECT_EQ(s.Replace("ss", "t"), 1);
  EXPECT_EQ(s.Replace("\xE9", "x") + s.Replace("", "x") + s.Replace(nullptr, "x"), 0);
  EXPECT_EQ(s.Replace("t", nullptr), 1);
  EXPECT_STREQ(s, "s\xE9\x54");
  s = "T\xE9\x54T";
  EXPECT_EQ(s.Remove('T'), 2);
  EXPECT_STREQ(s, kMen);

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

  const CString padded(" \t\r\n\v\fx y \t");
  const CString zheng("\xD5\xFDx\xD5\xFD");
  EXPECT_EQ(Texts({CString(padded).Trim(), CString(padded).TrimLeft(), CString(padded).TrimRight(),
                   CString(" \t ").Trim()}),
            Texts({"x y", "x y \t", " \t\r\n\v\fx y", ""}));
  // "\x81\x20" is one character: its trail byte is no space.
  EXPECT_EQ(Texts({CString("\x81\x20").TrimRight(), CString("\x81\x20 ").Trim(),
                   CString("\xE9\x40@@").TrimRight('@'), CString("@\xE9\x40").TrimLeft('@'),
                   CString("xxaxx").Trim('x')}),
            Texts({"\x81\x20", "\x81\x20", "\xE9\x40", "\xE9\x40", "a"}));
  EXPECT_EQ(Texts({CString(zheng).Trim("\xD5\xFD"), CString(zheng).TrimLeft(kZhengZai),
                   CString(zheng).TrimRight("\xFD")}),
            Texts({"x", "x\xD5\xFD", "\xD5\xFDx\xD5\xFD"}));
  EXPECT_STREQ(padded, " \t\r\n\v\fx y \t");
  const auto truncated = [](CString text, int length) {
    text.Truncate(length);
    return text;
  };
  EXPECT_EQ(Texts({truncated(zheng, 10), truncated(zheng, 4), truncated(zheng, -1)}),
            (Strings{"\xD5\xFDx\xD5\xFD", "\xD5\xFDx", ""}));
}

TEST(CString, LendsItsBuffer) {
  CString owner("abc");
  const CString shared(owner);
  std::strcpy(owner.GetBuffer(10), "hello");
  owner.ReleaseBuffer();
  EXPECT_STREQ(owner, "hello");
  EXPECT_STREQ(shared, "abc");
  EXPECT_STREQ(owner.GetBuffer(), "hello");
  owner.GetBuffer()[0] = 'j';
  owner.ReleaseBuffer(4);
  EXPECT_STREQ(owner, "jell");
  std::memcpy(owner.GetBufferSetLength(5), "ab\0cd", 5);
  owner.ReleaseBuffer();
  EXPECT_EQ(owner.GetLength(), 2) << "-1 stops at the first NUL";
  std::memcpy(owner.GetBufferSetLength(5), "ab\0cd", 5);
  owner.ReleaseBufferSetLength(4);
  EXPECT_EQ(Bytes(owner), std::string("ab\0c", 4));
  owner.ReleaseBuffer(0);
  EXPECT_TRUE(owner.IsEmpty());
}

void FormatInto(CString& out, bool append, const char* format, ...) {
  va_list args;
  va_start(args, format);
  if (append) {
    out.AppendFormatV(format, args);
  } else {
    out.FormatV(format, args);
  }
  va_end(args);
}

TEST(CString, FormatsCStringArgumentsAsText) {
  struct Name : CString {
    using CString::CString;
  };
  const CString zheng("\xD5\xFD");
  const Name name("n");
  CString text;
  text.Format("%d|%f|%s", -5, 1.5, "\xB1\xA3");
  EXPECT_STREQ(text, "-5|1.500000|\xB1\xA3");
  text.Format("%s|%d", CString("x"), 3);
  EXPECT_STREQ(text, "x|3");
  text.Format("%s=%.1f %s %c%s", zheng, 2.5f, "lit", 'c', name);
  EXPECT_STREQ(text, "\xD5\xFD=2.5 lit cn");
  text.AppendFormat("[%u%s]", 7u, zheng);
  EXPECT_STREQ(text, "\xD5\xFD=2.5 lit cn[7\xD5\xFD]");
  text.Format("%s%s", CString('x', 300), zheng);
  EXPECT_EQ(Bytes(text), std::string(300, 'x') + "\xD5\xFD");
  text.AppendFormat("%d", 7);
  EXPECT_EQ(text.GetLength(), 303);
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
