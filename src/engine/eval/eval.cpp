// Evaluating the expressions of lines that run from their tokens, and texts: each is compiled into
// nodes (expression_compiler.h) and run (expression_runner.cpp). A loaded line's expression is
// compiled on its first run and kept; a text of EXECUTE is kept in the text cache.
#include "engine/engine.h"
#include "engine/eval/expression_compiler.h"
#include "engine/eval/text_cache.h"
#include "engine/front/lexer.h"

namespace vexil {

namespace {

int32_t compileAt(Code& code, const TokenList& tokens, size_t& pos, int end, const CompileScope& scope) {
    return end == -2 ? compileCallStatement(code, tokens, pos, scope) : compileAnyExpression(code, tokens, pos, end, scope);
}

} // namespace

int32_t Engine::cachedExpression(const TokenList& tokens, size_t pos, int end, size_t& stop) {
    static_assert(kCallOnly == -2);
    const Token& first = tokens[pos];
    int32_t compiled = first.compiledExpression;
    if (compiled == 0) {
        // Only lines of the loaded script are kept: other token lists come and go.
        if (!loader_ || &tokens != loader_->tokens(currentLine_)) return -1;
        const CompileScope scope{functions_, code_.layoutOfLine(currentLine_)};
        size_t p = pos;
        const int32_t root = compileAt(code_, tokens, p, end, scope);
        code_.expressions.push_back({root, end, static_cast<uint32_t>(p)});
        compiled = static_cast<int32_t>(code_.expressions.size());
        first.compiledExpression = compiled;
    }
    const Code::Expression& expression = code_.expressions[static_cast<size_t>(compiled - 1)];
    if (expression.end != end) return -1;
    stop = expression.stop;
    return expression.root;
}

int Engine::evaluate(const TokenList& tokens, size_t& pos, Variant& result, int end) {
    size_t stop = 0;
    const int32_t root = cachedExpression(tokens, pos, end, stop);
    if (root < 0) return evaluateOnce(tokens, pos, result, end);
    if (evalNode(root, result) < 0) return -1;
    pos = stop;
    return 0;
}

int Engine::evaluateCall(const TokenList& tokens, size_t& pos, Variant& result) {
    return evaluate(tokens, pos, result, kCallOnly);
}

int Engine::evaluateOnce(const TokenList& tokens, size_t& pos, Variant& result, int end) {
    Code block;
    const CompileScope scope{functions_, code_.layoutOfLine(currentLine_)};
    size_t p = pos;
    const int32_t root = compileAt(block, tokens, p, end, scope);
    if (runAppended(block, root, result) < 0) return -1;
    pos = p;
    return 0;
}

int Engine::runAppended(const Code& block, int32_t root, Variant& result) {
    const size_t nodes = code_.nodes.size(), constants = code_.constants.size(), lists = code_.lists.size(),
                 tokens = code_.tokens.size(), expressions = code_.expressions.size();
    const int32_t offset = appendRelocated(code_, block);
    const int status = evalNode(root + offset, result);
    // Code compiled while it ran (a line's expression on its first run) stays, and so does the copy
    // below it; else nothing refers to the copy any more.
    if (code_.expressions.size() == expressions) {
        code_.nodes.resize(nodes);
        code_.constants.resize(constants);
        code_.lists.resize(lists);
        code_.tokens.resize(tokens);
    }
    return status;
}

bool Engine::execute(std::wstring_view text, Variant& result) {
    if (!texts_) texts_ = std::make_unique<TextCache>();
    std::shared_ptr<const CompiledText> compiled = texts_->find(text);
    if (!compiled) {
        auto made = std::make_shared<CompiledText>();
        LexicalError error;
        if (tokeniseLine(text, false, *this, made->tokens, error) && made->tokens.size() > 1) {
            const CompileScope scope{functions_, nullptr, true};
            size_t pos = 0;
            made->root = compileAnyExpression(made->code, made->tokens, pos, -1, scope);
        }
        compiled = made;
        texts_->add(std::wstring(text), std::move(made));
    }
    if (compiled->root < 0) return false;
    const bool suppressed = errorsSuppressed_;
    errorsSuppressed_ = true;
    const bool ok = runAppended(compiled->code, compiled->root, result) == 0;
    errorsSuppressed_ = suppressed;
    return ok;
}

} // namespace vexil
