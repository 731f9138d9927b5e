#pragma once
#include "engine/builtins/builtins.h"
#include "engine/values/value.h"

#include <iterator>
#include <vector>

namespace vexil {

// A call's arguments: the first few in place, so that a call allocates nothing for them, and
// owned by the call, so that handlers that run script code again cannot disturb them.
class ArgumentList {
public:
    Variant& add() {
        if (count_ < kInline) return inline_[count_++];
        ++count_;
        return overflow_.emplace_back();
    }
    size_t size() const { return count_; }
    BuiltinArgs view() {
        if (count_ <= kInline) return BuiltinArgs(inline_, count_);
        if (overflow_.size() < count_) { // gather into one contiguous run
            overflow_.insert(overflow_.begin(), std::make_move_iterator(inline_), std::make_move_iterator(inline_ + kInline));
        }
        return BuiltinArgs(overflow_.data(), count_);
    }

private:
    static constexpr size_t kInline = 8;
    Variant inline_[kInline];
    std::vector<Variant> overflow_;
    size_t count_ = 0;
};

} // namespace vexil
