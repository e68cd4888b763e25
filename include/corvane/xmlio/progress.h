// The three optional progress callbacks that XmlFileIO and FileConvert carry.
// start(message, 0, 100) once before a run (its result is ignored),
// position(percent) once per chunk or element handled, end() once after.
// An empty slot is never called; an exception from a callback passes through
// and stops the run.
#pragma once

#include <corvane/platform/cstring.h>

#include <boost/function.hpp>

typedef boost::function<bool(CString const&, int, int)> StartProgressFun;
typedef boost::function<void(int)> SetPosFun;
typedef boost::function<void()> EndProgressFun;

namespace corvane {
namespace xmlio {

// What an XmlFileIO or a FileConvert keeps for its runs: the callbacks and
// the two counters the progress protocol carries from run to run. Empty, it
// is a run nobody watches.
struct ProgressState {
  StartProgressFun start;
  SetPosFun position;
  EndProgressFun end;
  unsigned int positionCount = 0;
  unsigned int total = 0;
};

}  // namespace xmlio
}  // namespace corvane
