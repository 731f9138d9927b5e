#include "engine/front/blocks.h"

#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/front/keywords.h"
#include "engine/front/loader.h"

namespace vexil {

namespace {

enum class Block { If, Do, For, While, Select, Switch, With };

// The order in which an unclosed block is reported, with its message.
struct Unclosed {
    Block kind;
    MessageId::Id messageId;
};
constexpr Unclosed kUnclosed[] = {
    {Block::Do, MessageId::DoWithoutUntil},
    {Block::While, MessageId::WhileWithoutWend},
    {Block::For, MessageId::ForWithoutNext},
    {Block::Select, MessageId::SelectWithoutEndSelect},
    {Block::Switch, MessageId::SwitchWithoutEndSwitch},
    {Block::If, MessageId::IfWithoutEndIf},
    {Block::With, MessageId::WithWithoutEndWith},
};

Keyword keywordOf(const Token& t) { return t.type == TokenType::Keyword ? static_cast<Keyword>(t.i32) : Keyword{}; }

// Keywords that may follow THEN in a one-line IF.
bool allowedAfterThen(Keyword k) {
    switch (k) {
    case Keyword::ExitLoop: case Keyword::ContinueLoop: case Keyword::ContinueCase: case Keyword::Dim:
    case Keyword::ReDim: case Keyword::Local: case Keyword::Global: case Keyword::Const: case Keyword::Return:
    case Keyword::Exit:
        return true;
    default:
        return false;
    }
}

class BlockChecker {
public:
    BlockChecker(const ScriptLoader& loader, Engine& engine, BlockMap& map) : loader_(loader), engine_(engine), map_(map) {}

    bool run() {
        map_.reset(loader_.lineCount());
        for (line_ = 1; line_ <= loader_.lineCount(); ++line_) {
            const TokenList* tokens = loader_.tokens(line_);
            if (tokens && !tokens->empty() && !checkLine(*tokens)) return false;
        }
        line_ = loader_.lineCount();
        return allClosed();
    }

private:
    struct Open {
        Block kind;
        int line;
    };

    bool error(MessageId::Id id, int column = -1) {
        engine_.setCurrentLine(line_);
        engine_.reportRuntimeError(id, column);
        return false;
    }

    bool loopOpen() const {
        for (const Open& o : open_)
            if (o.kind == Block::Do || o.kind == Block::While || o.kind == Block::For) return true;
        return false;
    }

    // Reported on the opening line of the block left open, where a person would look.
    bool allClosed() {
        for (const Unclosed& u : kUnclosed) {
            for (const Open& o : open_) {
                if (o.kind != u.kind) continue;
                line_ = o.line;
                return error(u.messageId);
            }
        }
        return true;
    }

    void push(Block kind) { open_.push_back({kind, line_}); }

    bool close(Block kind, MessageId::Id messageId) {
        if (open_.empty() || open_.back().kind != kind) return error(messageId);
        map_.at(open_.back().line).end = line_;
        open_.pop_back();
        return true;
    }

    // The innermost open block of a kind sees this line as one of its branches.
    bool branch(Block kind, MessageId::Id messageId) {
        if (open_.empty() || open_.back().kind != kind) {
            if (kind == Block::Select && !open_.empty() && open_.back().kind == Block::Switch) {
                addBranch();
                return true;
            }
            return error(messageId);
        }
        addBranch();
        return true;
    }

    void addBranch() {
        map_.at(open_.back().line).branches.push_back(line_);
        map_.at(line_).end = open_.back().line;
    }

    bool checkLine(const TokenList& t) {
        const Token& first = t[0];
        if (first.type != TokenType::Keyword) return true;
        Keyword k = keywordOf(first);
        switch (k) {
        case Keyword::EndIf: case Keyword::Wend: case Keyword::Do: case Keyword::Next: case Keyword::Select:
        case Keyword::EndSelect: case Keyword::EndSwitch: case Keyword::EndFunc: case Keyword::EndWith:
            if (t[1].type != TokenType::EndOfLine) return error(MessageId::IllegalTextAtEnd, t[1].column);
            break;
        default: break;
        }
        switch (k) {
        case Keyword::If: return checkIf(t);
        case Keyword::Then: return error(MessageId::InvalidKeywordAtStart);
        case Keyword::Else:
            if (t[1].type != TokenType::EndOfLine) return error(MessageId::IllegalTextAtEnd, t[1].column);
            return branch(Block::If, MessageId::ElseWithoutIf);
        case Keyword::ElseIf: return branch(Block::If, MessageId::ElseWithoutIf);
        case Keyword::EndIf: return close(Block::If, MessageId::EndIfWithoutIf);
        case Keyword::While: push(Block::While); return true;
        case Keyword::Wend: return close(Block::While, MessageId::WendWithoutWhile);
        case Keyword::Do: push(Block::Do); return true;
        case Keyword::Until: return close(Block::Do, MessageId::UntilWithoutDo);
        case Keyword::For: push(Block::For); return true;
        case Keyword::Next: return close(Block::For, MessageId::NextWithoutFor);
        case Keyword::Select: push(Block::Select); return true;
        case Keyword::EndSelect: return close(Block::Select, MessageId::EndSelectWithoutSelect);
        case Keyword::Switch: push(Block::Switch); return true;
        case Keyword::EndSwitch: return close(Block::Switch, MessageId::EndSwitchWithoutSwitch);
        case Keyword::Case: return branch(Block::Select, MessageId::CaseWithoutSelect);
        case Keyword::With: push(Block::With); return true;
        case Keyword::EndWith: return close(Block::With, MessageId::EndWithWithoutWith);
        case Keyword::ExitLoop:
        case Keyword::ContinueLoop:
            return loopOpen() || error(MessageId::LoopExitOutsideLoop);
        case Keyword::Func:
        case Keyword::Volatile:
            if (functionLine_) return error(MessageId::FuncWithoutEndFunc);
            if (!allClosed()) return false;
            functionLine_ = line_;
            return true;
        case Keyword::EndFunc:
            if (!functionLine_) return error(MessageId::FuncWithoutEndFunc);
            if (!allClosed()) return false;
            map_.at(functionLine_).end = line_;
            functionLine_ = 0;
            return true;
        default: return true;
        }
    }

    bool checkIf(const TokenList& t) {
        size_t then = 0;
        for (size_t i = 1; i < t.size(); ++i)
            if (isKeyword(t[i], Keyword::Then)) {
                then = i;
                break;
            }
        if (!then) return error(MessageId::IfWithoutThen);
        const Token& after = t[then + 1];
        if (after.type == TokenType::EndOfLine) {
            push(Block::If);
            return true;
        }
        if (after.type != TokenType::Keyword) return true;
        Keyword k = keywordOf(after);
        if (!allowedAfterThen(k)) return error(MessageId::KeywordAfterThen, after.column);
        if ((k == Keyword::ExitLoop || k == Keyword::ContinueLoop) && !loopOpen()) return error(MessageId::LoopExitOutsideLoop);
        return true;
    }

    const ScriptLoader& loader_;
    Engine& engine_;
    BlockMap& map_;
    std::vector<Open> open_;
    int line_ = 0;
    int functionLine_ = 0;
};

} // namespace

bool checkBlocks(const ScriptLoader& loader, Engine& engine, BlockMap& map) {
    return BlockChecker(loader, engine, map).run();
}

} // namespace vexil
