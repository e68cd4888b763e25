// The outside judge of every XML file a test writes: a conforming parser
// that is not the library's own (xmllint, from libxml2-utils). A file it
// refuses fails the test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace corvane_test {

inline ::testing::AssertionResult IsConformingXml(const std::string& path) {
  const std::string command = "xmllint --noout --nonet '" + path + "' 2>&1";
  std::string output;
  if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[512];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
      output.append(buffer, got);
    }
    if (::pclose(pipe) == 0 && output.empty()) return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << path << " is refused by xmllint: " << output;
}

}  // namespace corvane_test

// Every file a test has the library write goes through this.
#define EXPECT_CONFORMING_XML(path) EXPECT_TRUE(::corvane_test::IsConformingXml(path))
