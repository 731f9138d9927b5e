// The standard streams of started programs (STDOUTREAD, STDERRREAD, STDINWRITE, STDIOCLOSE) and
// of this program's own standard input (CONSOLEREAD). Reads hand over what the reader threads
// have buffered so far; a stream is done once its writer has closed it and it is drained. A
// program's record goes once nothing can pass any more: no reader has bytes or runs, and its
// input is closed.
#include "base/child_streams.h"
#include "base/console_streams.h"
#include "engine/builtins/builtin_api.h"

#include <windows.h>

#include <algorithm>

namespace vexil {

namespace {

bool flagArg(BuiltinArgs args, size_t i) { return given(args, i) && args[i].dereferenced().toBool(); }

Variant emptyText() { return Variant::string(WString()); }

Variant byteCount(size_t count) {
    if (count <= INT32_MAX) return Variant::int32(static_cast<int32_t>(count));
    return Variant::int64(static_cast<int64_t>(count));
}

// Buffered bytes as a Binary or as their ANSI text; @EXTENDED is their count.
void takeBuffered(BuiltinContext& context, PipeReader& reader, bool peek, bool binary, Variant& result) {
    std::string bytes = reader.take(peek);
    context.setExtended(byteCount(bytes.size()));
    result = binary ? Variant::binary(std::move(bytes)) : Variant::string(WString(ansiText(bytes)));
}

int readChildStream(BuiltinContext& context, BuiltinArgs args, Variant& result, bool errorStream) {
    const double processId = args[0].dereferenced().toDouble();
    const bool peek = flagArg(args, 1);
    const bool binary = flagArg(args, 2);
    ChildStreams& streams = context.childStreams();
    ChildStreamRecord* record = streams.find(processId);
    if (!record) return context.fail(result, emptyText(), 2);
    // Merged standard error has no reader of its own: it arrives as standard output.
    PipeReader* reader = errorStream ? record->errorReader.get() : record->outputReader.get();
    if (reader && reader->available()) {
        takeBuffered(context, *reader, peek, binary, result);
        return 0;
    }
    // The read that finds its stream done (not the one that drained it) lets a dead record go:
    // a loop reading until @ERROR 1 sees 1 once.
    streams.removeIfDead(record);
    return context.fail(result, emptyText(), 1);
}

} // namespace

int builtinStdoutRead(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return readChildStream(context, args, result, false);
}

int builtinStderrRead(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return readChildStream(context, args, result, true);
}

int builtinStdinWrite(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    ChildStreams& streams = context.childStreams();
    ChildStreamRecord* record = streams.find(args[0].dereferenced().toDouble());
    if (!record) return context.fail(result, Variant::int32(0), 2);
    if (args.size() < 2) {
        record->closeInput(); // the child reads the end of its input
    } else if (!record->input) {
        context.fail(result, Variant::int32(0), 1);
    } else {
        const Variant& data = args[1].dereferenced();
        const std::string bytes = data.is(VarKind::Binary) ? data.binaryRecord()->bytes : ansiBytes(data.text().view());
        DWORD written = 0;
        const DWORD length = static_cast<DWORD>(std::min<size_t>(bytes.size(), MAXDWORD));
        if (!WriteFile(record->input, bytes.data(), length, &written, nullptr)) written = 0;
        result = byteCount(written);
    }
    streams.removeIfDead(record);
    return 0;
}

int builtinStdioClose(BuiltinContext& context, BuiltinArgs args, Variant&) {
    ChildStreams& streams = context.childStreams();
    streams.remove(streams.find(args[0].dereferenced().toDouble()));
    return 0;
}

int builtinConsoleRead(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const bool peek = flagArg(args, 0);
    const bool binary = flagArg(args, 1);
    PipeReader* reader = context.consoleReader();
    if (!reader) return context.fail(result, emptyText(), 2);
    if (reader->available()) {
        takeBuffered(context, *reader, peek, binary, result);
        return 0;
    }
    context.releaseConsoleReader();
    return context.fail(result, emptyText(), 1);
}

} // namespace vexil
