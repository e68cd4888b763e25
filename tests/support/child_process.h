// Test support for cases that need a process of their own: a body run in a
// forked child, optionally as the unprivileged user "nobody" (CI runs as
// root, which permissions do not bind), answering through its exit status;
// and mounts that only such a child sees.
#pragma once

#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
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

// In a child: gives it a mount namespace of its own and mounts `source` of
// `type` at `where` (a bind mount when `type` is null). False where mounting
// is not allowed; the caller then skips.
inline bool MountInOwnNamespace(const char* source, const char* where, const char* type,
                                const char* options = nullptr) {
  return ::unshare(CLONE_NEWNS) == 0 &&
         ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
         ::mount(source, where, type, type == nullptr ? MS_BIND : 0, options) == 0;
}

// The exit status a child answers with when mounting is not allowed.
constexpr int kCannotMount = 77;

}  // namespace corvane_test
