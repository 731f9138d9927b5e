// File built-ins: opening files into the handle table, reading text, lines and bytes, writing,
// positions and encodings. A file argument is a handle (a number) or a file name, opened just
// for the call.
#include "engine/builtins/builtin_api.h"
#include "engine/builtins/handle_table.h"
#include "engine/values/containers.h"
#include "library/file_names.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

namespace vexil {

namespace {

constexpr uint32_t kScriptModeBits = OpenMode::Append | OpenMode::Overwrite | OpenMode::CreatePath |
                                     OpenMode::Binary | OpenMode::Utf16LEBom | OpenMode::Utf16BEBom |
                                     OpenMode::Utf8Bom | OpenMode::Utf8 | OpenMode::Ansi | OpenMode::Utf16LE |
                                     OpenMode::Utf16BE | OpenMode::FullUtf8Check;

// The stream a file argument stands for: a handle's stream, or a file name opened in `nameMode`
// for this call only (closed when the call ends).
class FileArgument {
public:
    FileArgument(BuiltinContext& context, const Variant& argument, uint32_t nameMode) {
        const Variant& v = argument.dereferenced();
        if (v.isNumber()) {
            stream_ = context.handles().stream(v);
            return;
        }
        context.handles().flushPendingWrites(); // the file may be open under a handle too
        own_ = std::make_unique<FileStream>();
        if (own_->open(v.text().view(), nameMode)) stream_ = own_.get();
    }
    FileStream* stream() const { return stream_; }
    bool byName() const { return own_ != nullptr; }
    // Closes a stream opened by name; false when its buffered bytes could not be written.
    bool closeOwn() { return !own_ || own_->close(); }

private:
    std::unique_ptr<FileStream> own_;
    FileStream* stream_ = nullptr;
};

// Writes a value: binaries (or anything to a binary stream) as raw bytes, else text in the
// stream's encoding, with CR LF after a line that does not end one already.
bool writeValue(FileStream& stream, const Variant& data, bool asLine) {
    if (data.is(VarKind::Binary)) {
        const std::string& bytes = data.binaryRecord()->bytes;
        return stream.writeBytes(bytes.data(), bytes.size());
    }
    if (stream.mode() & OpenMode::Binary) {
        std::string bytes = data.toBytes();
        return stream.writeBytes(bytes.data(), bytes.size());
    }
    std::wstring_view text = data.text().view();
    bool ok = stream.writeText(text);
    if (asLine && (text.empty() || (text.back() != L'\r' && text.back() != L'\n')))
        ok = stream.writeText(L"\r\n") && ok;
    return ok;
}

// A fenced run writes only inside its folder: a name elsewhere is refused before it is opened.
bool fencedOut(const BuiltinContext& context, const Variant& name) {
    return context.fenced() && !name.dereferenced().isNumber() && !mayChange(context, fullPathOf(name.dereferenced().text().view()));
}

int writeBuiltin(BuiltinContext& context, BuiltinArgs args, Variant& result, bool asLine) {
    if (fencedOut(context, args[0])) {
        result = Variant::int32(0);
        return 0;
    }
    FileArgument file(context, args[0], OpenMode::Append);
    FileStream* stream = file.stream();
    if (!stream || !stream->writable()) {
        result = Variant::int32(0);
        return 0;
    }
    bool ok = writeValue(*stream, args[1].dereferenced(), asLine);
    if (file.byName()) ok = file.closeOwn() && ok;
    else context.handles().noteWrite(*stream);
    result = Variant::int32(ok ? 1 : 0);
    return 0;
}

} // namespace

int builtinFileOpen(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    std::wstring_view name = args[0].text().view();
    // Default is no mode at all: its number, -1, would be every bit, overwrite included.
    uint32_t mode = static_cast<uint32_t>(optInt(args, 1, 0)) & kScriptModeBits;
    result = Variant::int32(-1);
    if ((mode & (OpenMode::Append | OpenMode::Overwrite)) && fencedOut(context, args[0])) return 0;
    if ((mode & OpenMode::CreatePath) && (mode & (OpenMode::Append | OpenMode::Overwrite)) &&
        !createParentFolders(name))
        return 0;
    auto stream = std::make_unique<FileStream>();
    if (!stream->open(name, mode & ~OpenMode::CreatePath)) {
        context.setExtended(Variant::int32(static_cast<int32_t>(GetLastError())));
        return 0;
    }
    result = Variant::int32(context.handles().add(std::move(stream)));
    return 0;
}

int builtinFileClose(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    HandleTable::CloseResult closed = context.handles().close(args[0]);
    result = Variant::int32(closed == HandleTable::CloseResult::Closed ? 1 : 0);
    if (closed == HandleTable::CloseResult::WriteLost) context.setError(1);
    return 0;
}

int builtinFileRead(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = textValue(L"");
    FileArgument file(context, args[0], OpenMode::Read);
    FileStream* stream = file.stream();
    if (!stream) return context.fail(1);
    int64_t count = optInt64(args, 1, -1);
    if (count < 0) count = std::max<int64_t>(0, stream->size() - stream->position());
    if (stream->mode() & OpenMode::Binary) {
        std::string bytes;
        size_t got = stream->readBytes(static_cast<size_t>(count), bytes);
        context.setExtended(Variant::int64(static_cast<int64_t>(got)));
        if (got == 0 && count > 0) return context.fail(-1);
        result = Variant::binary(std::move(bytes));
        return 0;
    }
    std::wstring text;
    size_t units = 0;
    if (!stream->readChars(static_cast<size_t>(count), text, &units)) return context.fail(-1);
    context.setExtended(Variant::int64(static_cast<int64_t>(units)));
    result = textValue(text);
    return 0;
}

int builtinFileReadLine(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = textValue(L"");
    const bool numbered = given(args, 1);
    int64_t wanted = optInt64(args, 1, 0);
    if (numbered && wanted < 1 && wanted != -1) return context.fail(1);
    FileArgument file(context, args[0], OpenMode::Read);
    FileStream* stream = file.stream();
    if (!stream) return context.fail(1);
    // Kept between calls, so that reading line after line does not allocate for the scratch text.
    static std::wstring line;
    if (!numbered) {
        if (!stream->readLine(line)) return context.fail(-1);
    } else if (wanted == -1) {
        stream->seek(stream->bomLength(), FILE_BEGIN);
        bool any = false;
        while (stream->readLine(line)) any = true;
        if (!any) return context.fail(-1);
    } else {
        // A stream that was opened for writing reads on from where it stands.
        if (stream->openedForReading()) stream->seek(stream->bomLength(), FILE_BEGIN);
        for (int64_t n = 0; n < wanted; ++n)
            if (!stream->readLine(line)) return context.fail(-1);
    }
    result = textValue(line);
    if (line.capacity() > (size_t{1} << 20)) std::wstring().swap(line); // no huge scratch kept
    return 0;
}

int builtinFileReadToArray(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::int32(0);
    FileArgument file(context, args[0], OpenMode::Read);
    FileStream* stream = file.stream();
    if (!stream) return context.fail(1);
    std::vector<Variant> lines;
    std::wstring line;
    while (stream->readLine(line)) lines.push_back(textValue(line));
    if (lines.empty()) return context.fail(2);
    context.setExtended(Variant::int32(static_cast<int32_t>(std::min<size_t>(lines.size(), INT32_MAX))));
    result = arrayOf(std::move(lines));
    return 0;
}

int builtinFileWrite(BuiltinContext& context, BuiltinArgs args, Variant& result) { return writeBuiltin(context, args, result, false); }

int builtinFileWriteLine(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return writeBuiltin(context, args, result, true);
}

int builtinFileGetEncoding(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    bool firstBlockOnly = optInt(args, 1, 0) == 2;
    FileArgument file(context, args[0], firstBlockOnly ? OpenMode::Read : OpenMode::FullUtf8Check);
    FileStream* stream = file.stream();
    result = Variant::int32(stream ? static_cast<int32_t>(reportedEncoding(stream->encoding(), stream->bomLength())) : -1);
    return 0;
}

int builtinFileGetPos(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    FileStream* stream = context.handles().stream(args[0]);
    if (!stream) return context.fail(result, Variant::int32(0));
    result = Variant::int64(stream->position());
    return 0;
}

int builtinFileSetPos(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    FileStream* stream = context.handles().stream(args[0]);
    int32_t origin = args[2].toInt32();
    bool ok = stream && origin >= 0 && origin <= 2 && stream->seek(args[1].toInt64(), origin);
    result = Variant::boolean(ok);
    return 0;
}

int builtinFileSetEnd(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    FileStream* stream = context.handles().stream(args[0]);
    result = Variant::boolean(stream && stream->setEnd());
    return 0;
}

int builtinFileFlush(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    FileStream* stream = context.handles().stream(args[0]);
    result = Variant::boolean(stream && stream->flush());
    return 0;
}

} // namespace vexil
