// Native structures: DLLSTRUCTCREATE, DLLSTRUCTGETDATA, DLLSTRUCTSETDATA, DLLSTRUCTGETPTR and
// DLLSTRUCTGETSIZE.
#include "engine/builtins/builtin_api.h"
#include "interop/dll_struct.h"
#include "interop/struct_definition.h"
#include "interop/struct_element_access.h"

#include <cstdint>

namespace vexil {

namespace {

// @ERROR of the element built-ins.
constexpr int32_t kNotAStruct = 1;
constexpr int32_t kUnknownElement = 2;
constexpr int32_t kIndexBeyond = 3;
constexpr int32_t kIndexBelowOne = 5;
// @ERROR of DLLSTRUCTCREATE for memory it may not use.
constexpr int32_t kRefusedPointer = 3;

// The element an argument names: a String is a name (any case), a number a 1-based position;
// anything else names none.
const DllStructElement* elementNamed(const DllStructRecord& record, const Variant& which) {
    if (which.is(VarKind::String)) return record.findElement(which.text().view());
    if (!which.isNumber()) return nullptr;
    return record.elementAt(which.toInt64());
}

// What a DLLSTRUCTGETDATA or DLLSTRUCTSETDATA call works on: the structure (argument 0), the
// element (argument 1) and the item (argument `itemArgument`: 0 when absent or Default).
struct ElementTarget {
    DllStructRecord* record = nullptr;
    const DllStructElement* element = nullptr;
    uint32_t item = 0;
    int32_t error = 0;
};

ElementTarget targetOf(BuiltinArgs args, size_t itemArgument) {
    ElementTarget target;
    target.record = dllStructOf(args[0].dereferenced());
    if (!target.record) {
        target.error = kNotAStruct;
        return target;
    }
    target.element = elementNamed(*target.record, args[1].dereferenced());
    if (!target.element) {
        target.error = kUnknownElement;
        return target;
    }
    if (given(args, itemArgument)) {
        const int64_t item = args[itemArgument].dereferenced().toInt64();
        if (item < 1) target.error = kIndexBelowOne;
        else if (item > target.element->count) target.error = kIndexBeyond;
        else target.item = static_cast<uint32_t>(item);
    }
    return target;
}

} // namespace

int builtinDllStructCreate(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    StructLayout layout = layOutStruct(textArg(args, 0).view());
    if (layout.error != StructDefinitionError::None)
        return context.fail(result, Variant::int32(0), static_cast<int32_t>(layout.error));
    std::byte* foreign = nullptr;
    if (given(args, 1)) {
        const uint64_t address = args[1].dereferenced().toPointer();
        // A fenced run is given addresses at random: it never lays a structure over one.
        if (address == 0 || context.fenced()) return context.fail(result, Variant::int32(0), kRefusedPointer);
        foreign = reinterpret_cast<std::byte*>(static_cast<uintptr_t>(address));
    }
    result = dllStructValue(new DllStructRecord(std::move(layout.elements), layout.size, foreign));
    return 0;
}

int builtinDllStructGetData(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const ElementTarget target = targetOf(args, 2);
    if (target.error) return context.fail(result, Variant::int32(0), target.error);
    result = readElement(target.record->data(), *target.element, target.item);
    return 0;
}

int builtinDllStructSetData(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const ElementTarget target = targetOf(args, 3);
    if (target.error) return context.fail(result, Variant::int32(0), target.error);
    writeElement(target.record->data(), *target.element, target.item, args[2].dereferenced());
    result = readElement(target.record->data(), *target.element, target.item);
    return 0;
}

int builtinDllStructGetPtr(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const DllStructRecord* record = dllStructOf(args[0].dereferenced());
    if (!record) return context.fail(result, Variant::int32(0), kNotAStruct);
    uint64_t address = reinterpret_cast<uintptr_t>(record->data());
    if (given(args, 1)) {
        const DllStructElement* element = elementNamed(*record, args[1].dereferenced());
        if (!element) return context.fail(result, Variant::int32(0), kUnknownElement);
        address += element->offset;
    }
    result = Variant::pointer(address);
    return 0;
}

int builtinDllStructGetSize(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const DllStructRecord* record = dllStructOf(args[0].dereferenced());
    if (!record) return context.fail(result, Variant::int32(0), kNotAStruct);
    result = Variant::int32(static_cast<int32_t>(record->size()));
    return 0;
}

} // namespace vexil
