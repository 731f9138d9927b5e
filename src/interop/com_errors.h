#pragma once
// Failures of automation calls and the script's error handler. A failure goes to the most recently
// registered live handler, whose function runs with the handler object (not while a handler runs:
// a failure inside one only sets @ERROR there); without a handler @ERROR is set and the caller
// decides whether the run ends.
#include "engine/eval/object_members.h"

#include <windows.h>
#include <oaidl.h>

#include <string_view>

namespace vexil {

// Done when a handler saw the failure or one is running, Failed otherwise; @ERROR = `hr` either way.
MemberOutcome reportComFailure(BuiltinContext& context, HRESULT hr, const EXCEPINFO* exception = nullptr,
                               std::wstring_view description = {});

// A new handler object calling `function` (a user-function name), now the active one.
Variant registerErrorHandler(std::wstring_view function);
// The function of the active handler, or "".
Variant activeHandlerFunction();

} // namespace vexil
