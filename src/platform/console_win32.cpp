#include <corvane/extras/console.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cwchar>
#include <utility>

#include "platform/win32_text.h"

namespace corvane {

std::vector<std::string> PrepareConsole(int, char**) {
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
  ::SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> arguments;
  int count = 0;
  if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i) {
      std::string utf8;
      platform::WideToBytes(CP_UTF8, wide[i], std::wcslen(wide[i]), utf8);
      arguments.push_back(std::move(utf8));
    }
    ::LocalFree(wide);
  }
  return arguments;
}

bool IsConsole(std::FILE* stream) {
  DWORD mode = 0;
  return ::GetConsoleMode(reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream))), &mode) !=
         0;
}

}  // namespace corvane
