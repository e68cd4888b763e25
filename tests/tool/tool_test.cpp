// The corvane tool, run as a person runs it: exit codes and what it prints.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Outcome {
  int exitCode;
  std::string output;  // standard output and standard error together
};

Outcome RunTool(const std::string& arguments) {
  const std::string command = std::string(CORVANE_TOOL_PATH) + " " + arguments + " 2>&1";
  Outcome outcome{-1, ""};
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return outcome;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) outcome.output.append(buffer, got);
  const int status = ::pclose(pipe);
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

class ToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/corvane-tool-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  std::string Write(const std::string& name, const std::string& content) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  std::string dir_;
};

int CountLinesStartingWith(const std::string& text, const std::string& prefix) {
  std::istringstream lines(text);
  int count = 0;
  for (std::string line; std::getline(lines, line);)
    count += line.compare(0, prefix.size(), prefix) == 0;
  return count;
}

const char kMixedFile[] =
    "<?xml version=\"1.0\"?>\n"
    "<FILE_CONVERT>\n"
    "  <SysVar>\n"
    "    <Var Name=\"Good\" Type=\"INT\" Value=\"5\"/>\n"
    "    <Var Name=\"Fraction\" Type=\"int\" Value=\"5.0\"/>\n"
    "    <Var Name=\"Paint\" Type=\"color\" Value=\"red\"><Inner/><Inner/></Var>\n"
    "    <Var Name=\"Short\" Type=\"double3\" Value=\"1,2\"/>\n"
    "    <Var Name=\"Wide\" Type=\"double2\" Value=\"1.5\xEF\xBC\x8C"
    "2\"/>\n"
    "  </SysVar>\n"
    "  <Layers><Layer Name=\"Walls\"><Color Type=\"float3\" Value=\"1,0.5,0\"/></Layer></Layers>\n"
    "</FILE_CONVERT>\n";

TEST_F(ToolTest, CheckExplainsEveryDroppedElement) {
  const Outcome outcome = RunTool("check " + Write("mixed.xml", kMixedFile));
  EXPECT_EQ(outcome.exitCode, 1) << outcome.output;
  EXPECT_NE(outcome.output.find("line 5: /FILE_CONVERT/SysVar/Var[\"Fraction\"]: value \"5.0\" "
                                "is not a number of type int"),
            std::string::npos)
      << outcome.output;
  EXPECT_NE(outcome.output.find("line 6: /FILE_CONVERT/SysVar/Var[\"Paint\"]: unknown type tag "
                                "\"color\" (2 elements inside it go too)"),
            std::string::npos)
      << outcome.output;
  EXPECT_NE(outcome.output.find("line 7: /FILE_CONVERT/SysVar/Var[\"Short\"]: value \"1,2\" has "
                                "the wrong number of components for double3"),
            std::string::npos)
      << outcome.output;
  EXPECT_NE(outcome.output.find("line 8: /FILE_CONVERT/SysVar/Var[\"Wide\"]"), std::string::npos)
      << "the full-width comma splits twice: " << outcome.output;
  EXPECT_EQ(outcome.output.find("Good"), std::string::npos) << "INT in capitals loads";
  EXPECT_NE(outcome.output.find("4 elements left out, 6 of 12 elements lost in all"),
            std::string::npos)
      << outcome.output;
}

TEST_F(ToolTest, CheckPassesAFileThatLoadsWhole) {
  const Outcome outcome =
      RunTool("check " + Write("good.xml",
                               "<FILE_CONVERT><SysVar><Var Type=\"bool\" Value=\"TRUE\"/>"
                               "</SysVar></FILE_CONVERT>"));
  EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
  EXPECT_NE(outcome.output.find("all 3 elements load"), std::string::npos) << outcome.output;
}

TEST_F(ToolTest, CheckSaysWhyAFileDoesNotOpen) {
  struct Case {
    const char* content;
    const char* reason;
  };
  std::string deep;
  for (int i = 0; i < 300; ++i) deep += "<a>";
  for (int i = 0; i < 300; ++i) deep += "</a>";
  const Case cases[] = {
      {"<a>\n<b></a>", "does not load: mismatched tag (line 2, column 6)"},
      {"<!DOCTYPE a [<!ENTITY x \"y\">]><a>&x;</a>", "document type declaration"},
      {deep.c_str(), "deeper than the limit of 256"},
      {"<?xml version=\"1.0\" encoding=\"no-such-code\"?><a/>", "encoding"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = RunTool("check " + Write("bad.xml", c.content));
    EXPECT_EQ(outcome.exitCode, 2) << outcome.output;
    EXPECT_NE(outcome.output.find(c.reason), std::string::npos) << outcome.output;
  }
  const Outcome missing = RunTool("check " + dir_ + "/missing.xml");
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.output.find("cannot be read"), std::string::npos) << missing.output;
}

TEST_F(ToolTest, ShowListsTheLoadedTree) {
  const std::string path = Write("mixed.xml", kMixedFile);
  const Outcome all = RunTool("show " + path);
  EXPECT_EQ(all.exitCode, 0) << all.output;
  EXPECT_EQ(all.output,
            "FILE_CONVERT\n"
            "  SysVar\n"
            "    Var \"Good\" [int] 5\n"
            "  Layers\n"
            "    Layer \"Walls\"\n"
            "      Color [float3] 1.000000,0.500000,0.000000\n");
  const Outcome shallow = RunTool("show --depth 1 " + path);
  EXPECT_EQ(shallow.output, "FILE_CONVERT\n  SysVar\n  Layers\n");
  EXPECT_EQ(RunTool("show " + Write("bad.xml", "<a>")).exitCode, 1);
  EXPECT_EQ(RunTool("show --depth x " + path).exitCode, 2);
}

TEST_F(ToolTest, DemoRunsToTheEndAndMeshExportsIt) {
  const Outcome demo = RunTool("demo " + dir_ + "/demo");
  ASSERT_EQ(demo.exitCode, 0) << demo.output;
  EXPECT_NE(demo.output.find("demo finished: both files round-trip"), std::string::npos);
  EXPECT_NE(demo.output.find("Layer \"\xE5\xA2\x99\xE4\xBD\x93\""), std::string::npos)
      << "Chinese layer names reach the terminal as UTF-8";

  const std::string obj = dir_ + "/demo.obj";
  const Outcome mesh = RunTool("mesh " + dir_ + "/demo/demo.bin --obj " + obj);
  ASSERT_EQ(mesh.exitCode, 0) << mesh.output;
  EXPECT_NE(mesh.output.find("total: 3 meshes, 18 faces, 60 3D points"), std::string::npos)
      << mesh.output;
  std::ifstream file(obj);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(CountLinesStartingWith(text, "v "), 60);
  EXPECT_EQ(CountLinesStartingWith(text, "f "), 18);
  EXPECT_EQ(CountLinesStartingWith(text, "g "), 3);
}

TEST_F(ToolTest, MeshNamesHowFarADamagedFileWasRead) {
  ASSERT_EQ(RunTool("demo " + dir_).exitCode, 0);
  std::ifstream whole(dir_ + "/demo.bin", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(whole)), std::istreambuf_iterator<char>());
  const Outcome cut = RunTool("mesh " + Write("cut.bin", bytes.substr(0, bytes.size() - 10)));
  EXPECT_EQ(cut.exitCode, 1);
  EXPECT_NE(cut.output.find("truncated or corrupt"), std::string::npos) << cut.output;
  EXPECT_NE(cut.output.find("2 were read whole, the data ends inside mesh 3"), std::string::npos)
      << cut.output;
  const Outcome huge = RunTool("mesh " + Write("huge.bin", std::string("\xFF\xFF\xFF\xFF", 4)));
  EXPECT_EQ(huge.exitCode, 1) << huge.output;
}

TEST_F(ToolTest, UsageAndHelp) {
  const Outcome help = RunTool("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.output.find("check FILE.xml"), std::string::npos);
  EXPECT_EQ(RunTool("check --help").exitCode, 0);
  EXPECT_NE(RunTool("--version").output.find("corvane "), std::string::npos);
  const Outcome unknown = RunTool("frobnicate");
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_NE(unknown.output.find("usage: corvane COMMAND"), std::string::npos);
  EXPECT_EQ(RunTool("check").exitCode, 2);
  EXPECT_EQ(RunTool("").exitCode, 2);
}

}  // namespace
