#include "library/received_data.h"
#include "base/console_streams.h"

namespace vexil {

Variant receivedValue(std::string_view bytes, bool asBinary) {
    if (asBinary || bytes.find('\0') != std::string_view::npos) return Variant::binary(std::string(bytes));
    return Variant::string(WString(ansiText(bytes)));
}

} // namespace vexil
