#pragma once
#include "engine/builtins/builtins.h"
#include "engine/values/value.h"

#include <iterator>
#include <new>
#include <vector>

namespace vexil {

// A call's arguments: the first few in place, so that a call allocates nothing for them, and
// owned by the call, so that handlers that run script code again cannot disturb them. Only the
// values added are constructed: a call costs what its arguments cost.
class ArgumentList {
public:
    ArgumentList() = default;
    ArgumentList(const ArgumentList&) = delete;
    ArgumentList& operator=(const ArgumentList&) = delete;
    ~ArgumentList() {
        for (size_t i = 0; i < count_ && i < kInline; ++i) slot(i)->~Variant();
    }
    Variant& add() {
        if (count_ < kInline) return *new (slot(count_++)) Variant();
        ++count_;
        return overflow_.emplace_back();
    }
    size_t size() const { return count_; }
    BuiltinArgs view() {
        if (count_ <= kInline) return BuiltinArgs(slot(0), count_);
        if (overflow_.size() < count_) { // gather into one contiguous run
            overflow_.insert(overflow_.begin(), std::make_move_iterator(slot(0)), std::make_move_iterator(slot(kInline)));
        }
        return BuiltinArgs(overflow_.data(), count_);
    }

private:
    static constexpr size_t kInline = 8;
    Variant* slot(size_t i) { return std::launder(reinterpret_cast<Variant*>(storage_)) + i; }
    alignas(Variant) unsigned char storage_[kInline * sizeof(Variant)];
    std::vector<Variant> overflow_;
    size_t count_ = 0;
};

} // namespace vexil
