#include "corvane/terminal.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/codepage.h"

namespace corvane {
namespace tool {

CString NarrowPath(const std::string& utf8) {
  const std::string narrow = codepage::Utf8ToNarrow(utf8.data(), utf8.size());
  return CString(narrow.data(), static_cast<int>(narrow.size()));
}

std::string Utf8(const CString& text) {
  return codepage::NarrowToUtf8(text.GetString(), static_cast<std::size_t>(text.GetLength()));
}

std::string Utf8(const std::string& text) { return codepage::NarrowToUtf8(text.data(), text.size()); }

namespace {

struct BarState {
  std::string message;
  int last = -1;
};

void Draw(const BarState& state, int percent) {
  const int width = 30;
  const int shown = std::min(std::max(percent, 0), 100);
  const int filled = shown * width / 100;
  std::fprintf(stderr, "\r%s [%s%s] %3d%%", state.message.c_str(), std::string(filled, '#').c_str(),
               std::string(width - filled, ' ').c_str(), shown);
  std::fflush(stderr);
}

}  // namespace

ProgressBar MakeProgressBar(bool force) {
  ProgressBar bar;
  if (!force && !isatty(fileno(stderr))) return bar;
  auto state = std::make_shared<BarState>();
  bar.start = [state](CString const& message, int, int) {
    state->message = Utf8(message);
    state->last = -1;
    Draw(*state, 0);
    return true;
  };
  bar.position = [state](int percent) {
    if (percent == state->last) return;
    state->last = percent;
    Draw(*state, percent);
  };
  bar.end = [state]() {
    Draw(*state, 100);
    std::fputc('\n', stderr);
  };
  return bar;
}

}  // namespace tool
}  // namespace corvane
