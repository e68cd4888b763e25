// Test support for cases that need a process of their own: a body run in a
// forked child, optionally as the unprivileged user "nobody" (CI runs as
// root, which permissions do not bind), answering through its exit status.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace corvane_test {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

// The body's answer, 99 when privileges could not be dropped, or 128 plus
// the signal that ended the child.
inline int InChild(const std::function<int()>& body, bool asNobody = false) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (asNobody &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNoGroup) != 0 || ::setuid(kNobody) != 0)) {
      ::_exit(99);
    }
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace corvane_test
