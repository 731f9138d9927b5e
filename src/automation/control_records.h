#pragma once
// The records that list-view, tree-view and status-bar messages take by pointer, laid out for the
// process that receives them: a 32-bit program (under WOW64) reads 4-byte pointers and aligns
// to 4, a 64-bit one 8. The records are built as bytes at these offsets, never as our own structs.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vexil {

// Room for the largest layout of each kind of record, before a text buffer.
constexpr size_t kListViewRecordRoom = 72;
constexpr size_t kTreeRecordRoom = 56;

struct ListViewItemLayout {
    size_t size, mask, item, subItem, state, stateMask, text, textMax;
};
struct TreeViewItemLayout {
    size_t size, mask, item, state, stateMask, text, textMax;
};
struct TreeHitTestLayout {
    size_t size, x, y, flags, item;
};

const ListViewItemLayout& listViewItemLayout(bool narrow);
const TreeViewItemLayout& treeViewItemLayout(bool narrow);
const TreeHitTestLayout& treeHitTestLayout(bool narrow);

// A record's bytes, written and read field by field.
class RecordImage {
public:
    RecordImage(size_t size, bool narrow) : bytes_(size, 0), narrow_(narrow) {}
    void put32(size_t offset, uint32_t value) { std::memcpy(&bytes_[offset], &value, sizeof value); }
    // A pointer or handle of the receiving process, 4 or 8 bytes wide.
    void putPointer(size_t offset, uint64_t value) {
        if (narrow_) put32(offset, static_cast<uint32_t>(value));
        else std::memcpy(&bytes_[offset], &value, sizeof value);
    }
    uint32_t get32(size_t offset) const {
        uint32_t value;
        std::memcpy(&value, &bytes_[offset], sizeof value);
        return value;
    }
    uint8_t* data() { return bytes_.data(); }
    size_t size() const { return bytes_.size(); }

private:
    std::vector<uint8_t> bytes_;
    bool narrow_;
};

} // namespace vexil
