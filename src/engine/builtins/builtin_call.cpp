// Calling a built-in function with its evaluated arguments: the count checked against the table,
// the result preset to 1 and @ERROR/@EXTENDED cleared, then the handler.
#include "engine/builtins/builtin_api.h"
#include "engine/builtins/builtins.h"
#include "engine/builtins/handle_table.h"
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/eval/arguments.h"

namespace vexil {

int Engine::invokeBuiltin(int index, ArgumentList& arguments, int nameColumn, Variant& result, bool fromCall) {
    const BuiltinEntry& entry = builtinEntry(index);
    size_t count = arguments.size();
    if (count < static_cast<size_t>(entry.minArgs) || count > static_cast<size_t>(entry.maxArgs))
        return fromCall ? kCallFailed : reportRuntimeError(MessageId::IncorrectParameterCount, nameColumn);
    if (!entry.handler) {
        std::wstring message = L"\"";
        message += entry.name;
        message += L"\" is not available in this version of Vexil.";
        return reportRuntimeErrorText(message, MessageId::UnknownFunction, nameColumn);
    }
    handles_->beforeBuiltin(index);
    result = Variant::int32(1);
    status().reset();
    BuiltinContext context(*this);
    int status = entry.handler(context, arguments.view(), result);
    if (status < 0 || runState_ == RunState::Ending) return -1;
    return 0;
}

} // namespace vexil
