// SELECT and SWITCH: the case to run, chosen from the block's CASE lines, compiled or not;
// CONTINUECASE, and the end of a case body.
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/front/keywords.h"

namespace vexil {

namespace {

// A SWITCH case item: a value, or a range from `item` to `high`.
bool caseItemMatches(const Variant& value, const Variant& item, const Variant* high) {
    return high ? !Variant::lessThan(value, item) && !Variant::lessThan(*high, value) : Variant::equal(item, value);
}

} // namespace

int Engine::switchCaseMatches(const TokenList& t, size_t pos, const Variant& value, bool& matched) {
    for (;;) {
        Variant item;
        if (evaluate(t, pos, item) < 0) return -1;
        if (isKeyword(t[pos], Keyword::To)) {
            Variant high;
            ++pos;
            if (evaluate(t, pos, high) < 0) return -1;
            matched = caseItemMatches(value, item, &high);
        } else {
            matched = caseItemMatches(value, item, nullptr);
        }
        if (matched) return 0;
        if (t[pos].type == TokenType::EndOfLine) return 0;
        if (t[pos].type != TokenType::Comma) return reportRuntimeError(MessageId::IllegalTextAtEnd, t[pos].column);
        ++pos;
    }
}

// Whether a CASE line matches: CASE ELSE always, a SELECT case by its condition, a SWITCH case
// when one of its items holds the value.
int Engine::caseMatches(int caseLine, bool isSwitch, const Variant& value, bool& matched) {
    const Statement& c = code_.statements[static_cast<size_t>(caseLine)];
    if (c.kind != StatementKind::Case) return caseMatchesTokens(*loader_->tokens(caseLine), isSwitch, value, matched);
    matched = c.op == kCaseElse;
    for (int32_t i = 0; i < c.b && !matched; ++i) {
        // By index each time: an evaluation may compile expressions and grow the lists.
        const size_t at = static_cast<size_t>(c.a + 2 * i);
        Variant item;
        if (evalNode(code_.lists[at], item) < 0) return -1;
        if (!isSwitch) {
            matched = item.toBool();
            return 0;
        }
        const int32_t highNode = code_.lists[at + 1];
        Variant high;
        if (highNode >= 0 && evalNode(highNode, high) < 0) return -1;
        matched = caseItemMatches(value, item, highNode >= 0 ? &high : nullptr);
    }
    return 0;
}

int Engine::caseMatchesTokens(const TokenList& c, bool isSwitch, const Variant& value, bool& matched) {
    if (isKeyword(c[1], Keyword::Else)) {
        matched = true;
        return expectEnd(c, 2);
    }
    if (isSwitch) return switchCaseMatches(c, 1, value, matched);
    size_t p = 1;
    Variant condition;
    if (evaluate(c, p, condition) < 0 || expectEnd(c, p) < 0) return -1;
    matched = condition.toBool();
    return 0;
}

int Engine::switchStatement(const TokenList& t, size_t pos) {
    Variant value;
    ++pos;
    if (evaluate(t, pos, value) < 0 || expectEnd(t, pos) < 0) return -1;
    return chooseCase(true, value);
}

int Engine::chooseCase(bool isSwitch, const Variant& value) {
    const int selectLine = currentLine_;
    const BlockLines& lines = blocks_.at(selectLine);
    if (lines.branches.empty() || lines.end == 0) return reportRuntimeError(isSwitch ? MessageId::SwitchWithoutEndSwitch : MessageId::SelectWithoutEndSelect, -1);
    int chosen = 0;
    for (int caseLine : lines.branches) {
        currentLine_ = caseLine;
        bool matched = false;
        if (caseMatches(caseLine, isSwitch, value, matched) < 0) return -1;
        if (matched) {
            chosen = caseLine;
            break;
        }
    }
    currentLine_ = selectLine;
    openBlocks_.emplace_back(isSwitch ? BlockKind::Switch : BlockKind::Select, selectLine, lines.end);
    nextLine_ = chosen ? chosen + 1 : lines.end;
    return 0;
}

int Engine::continueCase(const TokenList& t, size_t pos) {
    if (expectEnd(t, pos + 1) < 0) return -1;
    return continueSelect();
}

int Engine::continueSelect() {
    while (!openBlocks_.empty() && openBlocks_.back().kind != BlockKind::Select &&
           openBlocks_.back().kind != BlockKind::Switch)
        openBlocks_.pop_back();
    if (openBlocks_.empty()) return reportRuntimeError(MessageId::ContinueCaseWithoutSelect, -1);
    const OpenBlock& block = openBlocks_.back();
    nextLine_ = block.end;
    for (int caseLine : blocks_.at(block.start).branches) {
        if (caseLine > currentLine_) {
            nextLine_ = caseLine + 1; // the next case runs without its test
            break;
        }
    }
    return 0;
}

int Engine::caseEnd() {
    // A chosen case body ran to its end: the block's end line pops it.
    if (!openBlocks_.empty()) nextLine_ = openBlocks_.back().end;
    return 0;
}

} // namespace vexil
