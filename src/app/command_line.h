#pragma once
// The command line: splitting the argument text, the switches, $CMDLINE and $CMDLINERAW.
#include <string>
#include <string_view>
#include <vector>

namespace vexil {

class Engine;
struct StartupState;

constexpr size_t kMaxArgumentLength = 4096;

std::vector<std::wstring> splitArguments(std::wstring_view text);

// `packaged`: this program holds a packaged script; `forbidden`: that script forbids the
// command-line execution switches.
void parseCommandLine(std::wstring_view argumentText, bool packaged, bool forbidden, StartupState& startup,
                      Engine& engine);

} // namespace vexil
