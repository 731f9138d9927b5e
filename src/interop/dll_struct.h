#pragma once
// The DllStruct value: native memory laid out by a definition string, with named elements. Every
// copy of the value shares one record, so data written through one copy shows through all; memory
// the record allocated is freed with the last copy, memory a script handed in (a pointer) never.
#include "engine/values/value.h"
#include "interop/element_name_index.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexil {

enum class DllElementKind : uint8_t {
    Unsigned,  // byte, ubyte, boolean, ushort, word, dword, ulong, uint, uint64, the unsigned pointer-sized
    Signed,    // short, long, int, bool, int64, the signed pointer-sized
    Pointer,   // ptr, hwnd, handle
    Float,     // float (4 bytes) and double (8 bytes)
    AnsiChar,  // char
    WideChar,  // wchar
};

struct DllStructElement {
    std::wstring name;     // as written; empty when the element has none
    uint32_t offset = 0;   // from the start of the data
    uint32_t itemSize = 0; // bytes of one item
    uint32_t count = 1;    // items
    DllElementKind kind = DllElementKind::Unsigned;
    bool wholeValue = false; // an array of chars, wchars or bytes: read and written as one string or binary
    uint32_t end() const { return offset + itemSize * count; }
};

class DllStructRecord final : public StructPayload {
public:
    DllStructRecord(std::vector<DllStructElement> elements, size_t size, std::byte* foreignData)
        : StructPayload(size), elements_(std::move(elements)),
          data_(foreignData ? foreignData : new std::byte[size ? size : 1]()), owned_(!foreignData) {
        for (size_t i = 0; i < elements_.size(); ++i)
            if (!elements_[i].name.empty()) names_.add(elements_[i].name, static_cast<uint32_t>(i));
    }
    ~DllStructRecord() override {
        if (owned_) delete[] data_;
    }
    DllStructRecord(const DllStructRecord&) = delete;
    DllStructRecord& operator=(const DllStructRecord&) = delete;

    const std::vector<DllStructElement>& elements() const { return elements_; }
    size_t size() const { return byteSize; }
    std::byte* data() const { return data_; }
    bool ownsData() const { return owned_; }

    // The first element of that name (any case), or nullptr.
    const DllStructElement* findElement(std::wstring_view name) const {
        const int64_t position = names_.find(name);
        return position < 0 ? nullptr : &elements_[static_cast<size_t>(position)];
    }
    // The element at a 1-based position, or nullptr.
    const DllStructElement* elementAt(int64_t position) const {
        return position >= 1 && static_cast<uint64_t>(position) <= elements_.size() ? &elements_[static_cast<size_t>(position - 1)]
                                                                                    : nullptr;
    }

private:
    std::vector<DllStructElement> elements_;
    std::byte* data_;
    bool owned_;
    ElementNameIndex names_; // views into elements_, which never change
};

// A new DllStruct value holding the record.
inline Variant dllStructValue(DllStructRecord* record) { return Variant::container(VarKind::DLLStruct, record); }

// The record a value holds, or nullptr when the value is not a DllStruct.
inline DllStructRecord* dllStructOf(const Variant& value) {
    return value.is(VarKind::DLLStruct) ? static_cast<DllStructRecord*>(value.heapValue()) : nullptr;
}

} // namespace vexil
