#pragma once
// Ids of the message table (the program's string-table resource) and access to its texts. The
// ids and texts are listed once, in message_table.inc.
#include <string>

namespace vexil {

// MessageId::Id converts to its number (exit codes add it), but no bare number converts to it.
namespace MessageId {
enum Id : int {
#define VEXIL_MESSAGE(id, name, text) name = id,
#include "engine/errors/message_table.inc"
#undef VEXIL_MESSAGE
};
} // namespace MessageId

// The text of a message id (texts of this table fit 4095 characters).
std::wstring loadMessage(MessageId::Id id);

} // namespace vexil
