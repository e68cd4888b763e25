// Windows only: the system converter's two directions, shared by the code
// page 936 conversions and the strict converter. Texts are below 2 GiB.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace corvane {
namespace platform {

// Appends the UTF-16 form of the bytes, or appends nothing and answers false
// when they are not valid text of `codePage`.
bool StrictToWide(UINT codePage, const char* text, std::size_t length, std::wstring& out);
// Appends `text` in `codePage`; in code page 936 a character it cannot hold
// becomes the default character (no look-alike substitutes).
void WideToBytes(UINT codePage, const wchar_t* text, std::size_t length, std::string& out);

}  // namespace platform
}  // namespace corvane
