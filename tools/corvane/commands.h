// The tool's commands. Each takes the arguments after its name and answers
// the process exit code; errors go to standard error.
#pragma once

#include <string>
#include <vector>

namespace corvane {
namespace tool {

typedef std::vector<std::string> Arguments;

// Exit codes shared by the commands.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the work failed (check: data would be lost; diff: differences)
constexpr int kExitUsage = 2;    // bad arguments (check, diff, convert: an input does not load)

int DemoCommand(const Arguments& args);
int ShowCommand(const Arguments& args);
int CheckCommand(const Arguments& args);
int MeshCommand(const Arguments& args);
int DiffCommand(const Arguments& args);
int ConvertCommand(const Arguments& args);

extern const char kDemoUsage[];
extern const char kShowUsage[];
extern const char kCheckUsage[];
extern const char kMeshUsage[];
extern const char kDiffUsage[];
extern const char kConvertUsage[];

// Prints "corvane: <message>" and the usage text to standard error; answers kExitUsage.
int UsageError(const std::string& message, const char* usage);
bool WantsHelp(const Arguments& args);

}  // namespace tool
}  // namespace corvane
