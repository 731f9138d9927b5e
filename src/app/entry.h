#pragma once
// The entry function: decides what to run, runs it, and gives the exit code.
#include <windows.h>

#include <string_view>

namespace vexil {

class Engine;
class ScriptLoader;
struct OsInfo;
struct StartupState;

int runEntryFunction(HINSTANCE instance, std::wstring_view argumentText, const OsInfo& os, StartupState& startup,
                     Engine& engine, ScriptLoader& loader);

} // namespace vexil
