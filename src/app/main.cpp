// vexil.exe: runs a Vexil script.
#include "app/entry.h"
#include "engine/engine.h"
#include "engine/front/loader.h"
#include "engine/os_info.h"
#include "engine/startup_state.h"

#include "app/out_of_memory.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR argumentText, int) {
    vexil::installOutOfMemoryHandler();

    // Process-wide state, built in this order and torn down in reverse.
    const vexil::OsInfo os = vexil::readOsInfo();
    vexil::StartupState startup;
    vexil::Engine engine(startup);
    engine.startConsoleReader();
    vexil::ScriptLoader loader(engine);
    engine.setLoader(&loader);
    engine.setOsInfo(&os);
    return vexil::runEntryFunction(instance, argumentText ? argumentText : L"", os, startup, engine, loader);
}
