#pragma once
// What a receive gives the script: a Binary when asked for or when the bytes hold a zero byte,
// else ANSI text.
#include "engine/values/value.h"

#include <string_view>

namespace vexil {

Variant receivedValue(std::string_view bytes, bool asBinary);

// The largest single receive: a TCP call never asks for more than this however large the
// script's maximum (a datagram is never larger than 65535 bytes).
constexpr int64_t kTcpReceiveCeiling = 64 * 1024 * 1024;
constexpr int64_t kUdpReceiveCeiling = 65535;

} // namespace vexil
