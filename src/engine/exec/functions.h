#pragma once
// User functions: the table built at load from every FUNC line, with each function's
// parameters read once.
#include "base/wstring.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace vexil {

class Engine;
class ScriptLoader;
struct FunctionLayout;

struct Parameter {
    int nameId;
    bool byRef = false;
    bool isConst = false;
    int defaultStart = -1; // token range of the default value on the FUNC line, if any
    int defaultEnd = -1;
};

struct UserFunction {
    WString name;
    int nameId;
    int line; // the FUNC line (the block map holds its ENDFUNC)
    int minArgs;
    int maxArgs;
    bool isVolatile;
    std::vector<Parameter> parameters;
    int32_t index = -1;      // in the table, and of the function's frame layout
    uint32_t frameSlots = 0; // records of a call's frame, known once the lines are compiled
    const FunctionLayout* layout = nullptr; // the names of those records
};

class FunctionTable {
public:
    const UserFunction* find(int nameId) const {
        if (nameId < 0 || static_cast<size_t>(nameId) >= byNameId_.size()) return nullptr;
        int index = byNameId_[static_cast<size_t>(nameId)];
        return index < 0 ? nullptr : &functions_[static_cast<size_t>(index)];
    }
    const std::vector<UserFunction>& all() const { return functions_; }
    void setFrame(size_t index, const FunctionLayout* layout, uint32_t slots) {
        functions_[index].layout = layout;
        functions_[index].frameSlots = slots;
    }
    // Reads every FUNC line; reports the first malformed definition through the engine.
    [[nodiscard]] bool build(const ScriptLoader& loader, Engine& engine);

private:
    void add(UserFunction f);

    std::vector<UserFunction> functions_;
    std::vector<int> byNameId_;
};

} // namespace vexil
