#include "base/console_streams.h"

#include "base/text_codec.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

namespace vexil {

std::string ansiBytes(std::wstring_view text) { return wideToBytes(text, CP_ACP); }

std::wstring ansiText(std::string_view bytes) { return bytesToWide(bytes, CP_ACP); }

size_t writeBytes(FILE* stream, std::string_view bytes) {
    int fd = _fileno(stream);
    fflush(stream);
    int previous = _setmode(fd, _O_BINARY); // no CR inserted before LF
    size_t written = fwrite(bytes.data(), 1, bytes.size(), stream);
    fflush(stream);
    if (previous != -1) _setmode(fd, previous);
    return written;
}

void writeStandardOutput(std::wstring_view text) { writeBytes(stdout, ansiBytes(text)); }

} // namespace vexil
