#pragma once
// Runtime options: named settings a script reads and changes with OPT (VEXILSETOPTION). The
// members' initial values are the options' defaults, the only place they are written; the
// option table names each member and the rule a new value follows.
#include <cstdint>

namespace vexil {

class Variant;

struct RuntimeOptions {
    int32_t caretCoordMode = 1;
    uint8_t expandEnvStrings = 0;
    uint8_t expandVarStrings = 0;
    uint8_t guiCloseOnEsc = 1;
    int32_t guiCoordMode = 1;
    wchar_t guiDataSeparator[2] = {L'|', 0};
    int32_t guiEventOptions = 0;
    uint8_t guiOnEventMode = 0;
    int32_t guiResizeMode = 0;
    int32_t mouseClickDelay = 10;
    int32_t mouseClickDownDelay = 10;
    int32_t mouseClickDragDelay = 250;
    int32_t mouseCoordMode = 1;
    uint8_t mustDeclareVars = 0;
    int32_t pixelCoordMode = 1;
    uint8_t sendAttachMode = 0;
    uint8_t sendCapsLockMode = 1;
    int32_t sendKeyDelay = 5;
    int32_t sendKeyDownDelay = 5;
    uint8_t setExitCode = 0;
    int32_t tcpTimeout = 100;
    uint8_t trayAutoPause = 1;
    uint8_t trayIconDebug = 0;
    uint8_t trayIconHidden = 0;
    int32_t trayMenuMode = 0;
    uint8_t trayOnEventMode = 0;
    uint8_t winDetectHiddenText = 0;
    uint8_t winSearchChildren = 0;
    int32_t winTextMatchMode = 1;
    int32_t winTitleMatchMode = 1;
    int32_t winWaitDelay = 250;
};

struct OptionEntry;

// The option a script value names (a text, any case), or nullptr.
const OptionEntry* findOption(const Variant& name);
// An option's value as OPT returns it.
Variant optionValue(const RuntimeOptions& options, const OptionEntry& option);
// Sets an option from a script value; the keyword Default restores the default. False when the
// option refuses the value and keeps its own.
bool setOption(RuntimeOptions& options, const OptionEntry& option, const Variant& value);

} // namespace vexil
