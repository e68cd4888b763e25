// The outside judge of every XML file a test writes: a conforming parser
// that is not the library's own (xmllint, from libxml2-utils). A file it
// refuses fails the test. On Windows it is xmllint.exe, built from the same
// libxml2 release.
#pragma once

#include <gtest/gtest.h>
#if defined(_WIN32)
#include <process.h>
#else
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/scratch_dir.h"

namespace corvane_test {

// Runs a shell command; answers its exit status (-1 when it did not run or
// was killed) and appends what it printed to `output`.
inline int RunCommand(const std::string& command, std::string& output) {
#if defined(_WIN32)
  // cmd /c drops the first and last quote of a line that starts with one.
  std::FILE* pipe = ::_popen(('"' + command + '"').c_str(), "rb");
#else
  std::FILE* pipe = ::popen(command.c_str(), "r");
#endif
  if (pipe == nullptr) return -1;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    output.append(buffer, got);
  }
#if defined(_WIN32)
  return ::_pclose(pipe);
#else
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

// A path as one word of the shell that runs commands.
inline std::string Quoted(const std::string& path) {
#if defined(_WIN32)
  return '"' + path + '"';  // Windows paths hold no double quotes
#else
  std::string quoted = "'";
  for (const char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
#endif
}

inline ::testing::AssertionResult IsConformingXml(const std::string& path) {
  std::string judged = path;
#if defined(_WIN32)
  // A Windows program's command line is in the ANSI code page, which cannot
  // name every file: xmllint reads a copy under a plain name.
  const std::filesystem::path copy = std::filesystem::temp_directory_path() /
                                     ("corvane-xmllint-" + std::to_string(::_getpid()) + ".xml");
  std::error_code ignored;
  std::filesystem::copy_file(FsPath(path), copy, std::filesystem::copy_options::overwrite_existing,
                             ignored);
  judged = copy.string();
#endif
  std::string output;
  const int status = RunCommand("xmllint --noout --nonet " + Quoted(judged) + " 2>&1", output);
#if defined(_WIN32)
  std::filesystem::remove(copy, ignored);
#endif
  if (status == 0 && output.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << path << " is refused by xmllint: " << output;
}

}  // namespace corvane_test

// Every file a test has the library write goes through this.
#define EXPECT_CONFORMING_XML(path) EXPECT_TRUE(::corvane_test::IsConformingXml(path))
