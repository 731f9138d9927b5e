#pragma once
// The block structure of a script, checked once at load: every block statement must be closed
// by its partner in the right order. The check also records each block's partner lines, so that
// running jumps to them instead of scanning the lines again.
#include <cstddef>
#include <vector>

namespace vexil {

class Engine;
class ScriptLoader;

struct BlockLines {
    int end = 0;               // opener: its closing line; ELSE, ELSEIF, CASE: their opener's line
    std::vector<int> branches; // IF: its ELSEIF and ELSE lines; SELECT, SWITCH: their CASE lines
};

class BlockMap {
public:
    const BlockLines& at(int line) const { return lines_[static_cast<size_t>(line)]; }
    BlockLines& at(int line) { return lines_[static_cast<size_t>(line)]; }
    void reset(int lineCount) { lines_.assign(static_cast<size_t>(lineCount) + 1, BlockLines{}); }

private:
    std::vector<BlockLines> lines_;
};

// Checks the whole script, reporting the first structural error through the engine.
bool checkBlocks(const ScriptLoader& loader, Engine& engine, BlockMap& map);

} // namespace vexil
