// Reaching into arrays and maps: subscripts, keys and map members after a value, in read mode
// (a copy of the element) or write mode (the element itself, bodies made writable on the way).
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/eval/object_members.h"
#include "engine/values/containers.h"

namespace vexil {

int Engine::readAccessPath(const TokenList& t, size_t& pos, AccessPath& path) {
    for (;;) {
        const Token& tok = t[pos];
        if (tok.type == TokenType::Member) {
            // A method call belongs to the member machinery, not to the path.
            if (t[pos + 1].type == TokenType::LeftParen) return 0;
            path.push_back({AccessStep::Member, tok.column, {}, tok.text});
            ++pos;
            continue;
        }
        if (tok.type != TokenType::LeftBracket) return 0;
        AccessStep step{AccessStep::Index, tok.column, {}, {}};
        ++pos;
        if (evaluate(t, pos, step.key) < 0) return -1;
        if (t[pos].type != TokenType::RightBracket) return reportRuntimeError(MessageId::SubscriptBadlyFormatted, t[pos].column);
        ++pos;
        path.push_back(std::move(step));
    }
}

Variant* Engine::walkAccessPath(Variant* value, const AccessPath& path, bool write, bool byReference,
                                HeapValue** owner, int nameColumn, Variant& scratch) {
    size_t i = 0;
    while (i < path.size()) {
        const AccessStep& step = path[i];
        if (step.kind == AccessStep::Member && value->is(VarKind::Object)) {
            // Objects are shared, never copied: a write ends in the property assignment.
            Variant object = *value; // `value` may be the scratch the member reads into
            if (write && i + 1 == path.size()) {
                pendingPut_ = {std::move(object), step.name, true};
                scratch = Variant();
            } else if (objectMember(object, step.name.view(), MemberUse::Read, {}, step.column, scratch) < 0) {
                return nullptr;
            }
            value = &scratch;
            ++i;
            continue;
        }
        if (step.kind == AccessStep::Member) {
            MapBody* map = write ? writableMap(*value) : mapBody(*value);
            if (!map) return reportRuntimeError(MessageId::VariableMustBeObject, step.column), nullptr;
            if (write) {
                MapEntry* entry = mapInsert(map, Variant::string(step.name));
                if (byReference) map->unshareable = true;
                if (owner) *owner = map;
                value = &entry->value;
            } else {
                MapEntry* entry = mapFindString(map, step.name.view());
                Variant found = entry ? entry->value : Variant::nullKeyword(); // the map may live in scratch
                scratch = std::move(found);
                value = &scratch;
            }
            ++i;
            continue;
        }
        if (ArrayBody* array = write ? writableArray(*value) : arrayBody(*value)) {
            int32_t subscripts[kMaxDimensions];
            int count = 0;
            for (; i < path.size() && path[i].kind == AccessStep::Index && count < array->dims; ++i) {
                int32_t index = path[i].key.toInt32();
                if (index < 0) return reportRuntimeError(MessageId::SubscriptBadlyFormatted, path[i].column), nullptr;
                subscripts[count++] = index;
            }
            Variant* element = arrayElement(array, subscripts, count);
            if (!element) return reportRuntimeError(MessageId::SubscriptOutOfRange, nameColumn), nullptr;
            if (write && byReference) array->unshareable = true;
            if (owner) *owner = array;
            value = element;
            continue;
        }
        if (MapBody* map = write ? writableMap(*value) : mapBody(*value)) {
            if (write) {
                MapEntry* entry = mapInsert(map, step.key);
                if (byReference) map->unshareable = true;
                if (owner) *owner = map;
                value = &entry->value;
            } else {
                MapEntry* entry = mapFind(map, step.key);
                Variant found = entry ? entry->value : Variant::nullKeyword();
                scratch = std::move(found);
                value = &scratch;
            }
            ++i;
            continue;
        }
        if (i > 0) return reportRuntimeError(MessageId::SubscriptOutOfRange, nameColumn), nullptr; // more subscripts than dimensions
        return reportRuntimeError(MessageId::SubscriptOnNonAccessible, step.column), nullptr;
    }
    return value;
}

} // namespace vexil
