// Fuzz target: the text conversions. The first byte picks the function; the
// rest is narrow text, or wide text of 4-byte units (any value). Conversions
// stop at the first NUL, narrow to narrow keeps every byte, and wide to narrow
// and back is stable.
#include <corvane/platform/cstring.h>
#include <corvane/stream/xmlop.h>

#include "fuzz_support.h"

using corvane_fuzz::Require;

namespace {

bool HasNul(const std::string& text) { return text.find('\0') != std::string::npos; }
bool HasNul(const std::wstring& text) { return text.find(L'\0') != std::wstring::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  corvane_fuzz::Execution execution("a conversion with text");
  if (size == 0) return 0;
  if (size > 1) execution.Reached();  // the function picked has text to work on
  const std::uint8_t selector = *data++;
  --size;
  const std::string narrow(reinterpret_cast<const char*>(data), size);
  const std::string narrowToNul(narrow.c_str());
  std::wstring units(size / sizeof(wchar_t), L'\0');
  std::memcpy(units.data(), data, units.size() * sizeof(wchar_t));
  switch (selector % 8) {
    case 0: {
      const std::wstring wide = XmlOp::_a2w(narrow);
      Require(!HasNul(wide) && wide == XmlOp::_a2w(narrowToNul.c_str()));
      Require(wide == XmlOp::CString2wstring(CString(narrow.c_str())));
      // Narrow text that came from wide text is stable from then on.
      const std::string back = XmlOp::_w2a(wide);
      Require(XmlOp::_w2a(XmlOp::_a2w(back)) == back);
      break;
    }
    case 1: {
      const std::string back = XmlOp::_w2a(units);
      Require(!HasNul(back) && back == XmlOp::_w2a(units.c_str()));
      Require(back == XmlOp::wstring2CString(units).GetString());
      Require(XmlOp::_w2a(XmlOp::_a2w(back)) == back);
      break;
    }
    case 2: {
      Require(XmlOp::CString2string(CString(narrow.c_str())) == narrowToNul);
      Require(XmlOp::string2CString(narrow).GetString() == narrowToNul);
      break;
    }
    case 3: {
      // The wide constructors: counted (NULs and all) and up to a NUL.
      const CString counted(units.data(), static_cast<int>(units.size()));
      const CString terminated(units.c_str());
      Require(counted.GetLength() >= terminated.GetLength());
      Require(std::strlen(terminated.GetString()) ==
              static_cast<std::size_t>(terminated.GetLength()));
      Require(terminated.GetString() == XmlOp::_w2a(units.c_str()));
      break;
    }
    case 4: {
      // A counted narrow CString keeps embedded NULs; conversions stop there.
      const CString counted(narrow.data(), static_cast<int>(narrow.size()));
      Require(counted.GetLength() == static_cast<int>(narrow.size()) &&
              std::memcmp(counted.GetString(), narrow.data(), narrow.size()) == 0);
      Require(XmlOp::CString2string(counted) == narrowToNul);
      Require(XmlOp::CString2wstring(counted) == XmlOp::_a2w(narrowToNul));
      break;
    }
    case 5: {
      // Format with CString arguments (their text goes to %s), then appended to.
      const CString text(narrow.c_str());
      CString format_result;
      format_result.Format("[%s|%d|%s]", text, text.GetLength(), narrowToNul.c_str());
      const std::string expected =
          "[" + narrowToNul + "|" + std::to_string(narrowToNul.size()) + "|" + narrowToNul + "]";
      Require(format_result.GetString() == expected &&
              format_result.GetLength() == static_cast<int>(expected.size()));
      format_result.Format("%s", format_result);
      Require(format_result.GetString() == expected);
      format_result.AppendFormat("%s%c", text, 'x');
      Require(format_result.GetString() == expected + narrowToNul + "x");
      CString joined = text;
      joined += text;
      Require(joined.GetLength() == 2 * text.GetLength() && joined.CompareNoCase(joined) == 0);
      break;
    }
    default: {
      // 2-byte units widened one by one, as from a host with 16-bit wchar_t.
      std::wstring wide;
      for (std::size_t i = 0; i + 1 < size; i += 2) {
        wide.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
      }
      const std::string back = XmlOp::_w2a(wide);
      Require(!HasNul(back) && XmlOp::_w2a(XmlOp::_a2w(back)) == back);
      break;
    }
  }
  return 0;
}
