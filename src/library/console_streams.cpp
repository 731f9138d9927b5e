#include "library/console_streams.h"

#include "library/text_codec.h"

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace vexil {

namespace {

void writeStream(FILE* stream, std::wstring_view text) {
    std::string bytes = wideToBytes(text, CP_ACP);
    int fd = _fileno(stream);
    fflush(stream);
    int previous = _setmode(fd, _O_BINARY); // no CR inserted before LF
    fwrite(bytes.data(), 1, bytes.size(), stream);
    fflush(stream);
    if (previous != -1) _setmode(fd, previous);
}

} // namespace

void writeStandardOutput(std::wstring_view text) { writeStream(stdout, text); }
void writeStandardError(std::wstring_view text) { writeStream(stderr, text); }

} // namespace vexil
