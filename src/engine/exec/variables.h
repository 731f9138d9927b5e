#pragma once
// Script variables: the global table, one local table per running user-function call, and the
// static store. Tables are indexed by the id of the variable's pooled name, so that a lookup is
// an array access: no text is compared or hashed at run time.
#include "engine/values/value.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace vexil {

// Where a declaration looks a name up and creates it. At global level all three are the global
// table. Automatic: the call's local table, then the global one, creating locally (DIM, a first
// assignment); Local: the call's local table only; Global: the global table.
enum class Scope : uint8_t { Automatic, Local, Global };

namespace VarAttribute {
constexpr uint16_t Constant = 0x100;
constexpr uint16_t Parameter = 0x200;
constexpr uint16_t Static = 0x400;
} // namespace VarAttribute

struct Variable {
    Variant* value = nullptr; // the variable's own storage, or another's for an alias
    uint16_t attributes = 0;
    bool alias = false;
    Variant storage;
    bool isConstant() const { return attributes & VarAttribute::Constant; }
    void makeAlias(Variant* target) {
        value = target;
        alias = true;
    }
};

// One table: variables by name id.
class VariableTable {
public:
    Variable* find(int nameId) const {
        return nameId >= 0 && static_cast<size_t>(nameId) < slots_.size() ? slots_[static_cast<size_t>(nameId)] : nullptr;
    }
    // A new variable holding `value`; the name must not be in the table.
    Variable& create(int nameId, Variant value, uint16_t attributes);
    // A new variable that refers to storage owned elsewhere.
    Variable& createAlias(int nameId, Variant* target, uint16_t attributes);
    void clear();

private:
    std::vector<Variable*> slots_;
    std::deque<Variable> storage_; // stable addresses
};

} // namespace vexil

namespace vexil {

struct FunctionLayout;

// The variables of one user-function call: the names its function's lines use have records in
// the frame stack (FunctionLayout), so compiled code reaches them by slot; names made at run time
// (ASSIGN, EXECUTE) are kept in a short list beside them, their records from a pool.
struct LocalTable {
    const FunctionLayout* layout = nullptr;
    Variable* frame = nullptr;
    size_t slotCount = 0;
    std::vector<std::pair<int, Variable*>> extra;
    Variable* findExtra(int nameId) const {
        for (const auto& [id, variable] : extra)
            if (id == nameId) return variable;
        return nullptr;
    }
};

// The variable records of the running calls, a frame of consecutive records per call, in blocks
// that never move: a record, and the value in it, keep their address for the whole call. A record
// whose `value` is null is a local not made yet. Pushing and popping take nothing from the heap
// once the blocks exist.
class FrameStack {
public:
    Variable* push(size_t count) {
        if (blocks_.empty() || blocks_[current_].used + count > blocks_[current_].size) nextBlock(count);
        Block& block = blocks_[current_];
        Variable* frame = block.records.get() + block.used;
        block.used += count;
        return frame;
    }
    // The frame pushed last: its records are emptied for the next call.
    void pop(Variable* frame, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            // Also a record that got an argument but no call: its evaluation failed.
            Variable& record = frame[i];
            record.storage.clear();
            record.value = nullptr;
            record.attributes = 0;
            record.alias = false;
        }
        if (count == 0) return;
        Block& block = blocks_[current_];
        block.used -= count;
        if (block.used == 0 && current_ > 0) --current_;
    }

private:
    struct Block {
        std::unique_ptr<Variable[]> records;
        size_t size = 0;
        size_t used = 0;
    };
    void nextBlock(size_t count);
    std::vector<Block> blocks_;
    size_t current_ = 0;
};

class VariablePool {
public:
    Variable* take() {
        if (free_.empty()) return &storage_.emplace_back();
        Variable* v = free_.back();
        free_.pop_back();
        return v;
    }
    void give(Variable* v) {
        v->storage.clear();
        v->value = nullptr;
        v->attributes = 0;
        v->alias = false;
        free_.push_back(v);
    }

private:
    std::deque<Variable> storage_;
    std::vector<Variable*> free_;
};

} // namespace vexil
