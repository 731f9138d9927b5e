// Arrays in declarations: dimensions, shapes taken from array literals, the literals' elements,
// and REDIM's reshaping that keeps the elements both shapes share.
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/exec/declaration_tokens.h"
#include "engine/front/token_cursor.h"
#include "engine/values/containers.h"

#include <algorithm>

namespace vexil {

int Engine::readDimensions(const TokenList& t, size_t& p, Dimensions& dims) {
    while (t[p].type == TokenType::LeftBracket) {
        if (dims.sizes.size() == kMaxDimensions) return reportRuntimeError(MessageId::SubscriptBadlyFormatted, t[p].column);
        ++p;
        if (t[p].type == TokenType::RightBracket) {
            dims.add(nullptr);
            ++p;
            continue;
        }
        Variant size;
        if (evaluate(t, p, size) < 0) return -1;
        if (t[p].type != TokenType::RightBracket) return reportRuntimeError(MessageId::SubscriptBadlyFormatted, t[p].column);
        ++p;
        dims.add(&size);
    }
    return 0;
}

void Engine::Dimensions::add(const Variant* size) {
    any = true;
    if (!size) {
        sizes.push_back(-1); // from the literal, or a map without one
        empty = true;
        return;
    }
    const int32_t n = size->toInt32();
    if (n < 0) negative = true;
    sizes.push_back(n);
}

namespace {

// Items per nesting level of an array literal starting at "[" (the largest count at each level).
size_t measureLiteral(const TokenList& t, size_t p, size_t level, std::vector<int32_t>& counts) {
    if (counts.size() <= level) counts.resize(level + 1, 0);
    ++p; // past "["
    int32_t items = 0;
    while (t[p].type != TokenType::EndOfLine && t[p].type != TokenType::RightBracket) {
        ++items;
        if (t[p].type == TokenType::LeftBracket) {
            p = measureLiteral(t, p, level + 1, counts);
        } else {
            p = TokenCursor(t, p).toItemEnd(Nesting::Both, [](TokenType type) {
                return type == TokenType::Comma || type == TokenType::RightBracket;
            });
        }
        if (t[p].type == TokenType::Comma) ++p;
        else break;
    }
    counts[level] = std::max(counts[level], items);
    return t[p].type == TokenType::RightBracket ? p + 1 : p;
}

} // namespace

std::vector<int32_t> measureArrayLiteral(const TokenList& t, size_t pos) {
    std::vector<int32_t> counts;
    measureLiteral(t, pos, 0, counts);
    return counts;
}

int Engine::shapeArray(Variant& value, const Dimensions& dims, const int32_t* literalCounts, size_t levels,
                       int column) {
    std::vector<int32_t> sizes = dims.sizes;
    if (literalCounts) {
        if (sizes.empty()) sizes.assign(literalCounts, literalCounts + levels);
        for (size_t i = 0; i < sizes.size(); ++i)
            if (sizes[i] < 0 && i < levels) sizes[i] = literalCounts[i];
    } else if (dims.negative || dims.empty) {
        value = newMap(); // LOCAL $m[] declares a map
        return 0;
    }
    if (sizes.empty()) return reportRuntimeError(MessageId::MissingDimensions, column);
    for (int32_t& s : sizes) s = std::max(s, 0);
    if (!makeArray(value, sizes.data(), static_cast<int>(sizes.size()))) return reportRuntimeError(MessageId::ArrayTooLarge, column);
    return 0;
}

int Engine::fillArrayLiteral(const TokenList& t, size_t& p, Variant& array) {
    int32_t subscripts[kMaxDimensions] = {};
    return fillLiteralLevel(t, p, array, 0, subscripts);
}

int Engine::fillLiteralLevel(const TokenList& t, size_t& p, Variant& array, int level, int32_t* subscripts) {
    ArrayBody* body = writableArray(array);
    ++p; // past "["
    for (int32_t index = 0; t[p].type != TokenType::RightBracket; ++index) {
        if (t[p].type == TokenType::EndOfLine) return reportRuntimeError(MessageId::MissingRightBracket, t[p].column);
        const bool nested = t[p].type == TokenType::LeftBracket;
        if (literalItemFits(*body, level, index, nested, t[p].column) < 0) return -1;
        subscripts[level] = index;
        if (nested) {
            if (fillLiteralLevel(t, p, array, level + 1, subscripts) < 0) return -1;
        } else {
            Variant item;
            if (evaluate(t, p, item) < 0) return -1;
            *arrayElement(writableArray(array), subscripts, body->dims) = std::move(item);
        }
        if (t[p].type == TokenType::Comma) {
            ++p;
            continue;
        }
        if (t[p].type != TokenType::RightBracket) return reportRuntimeError(MessageId::MissingRightBracket, t[p].column);
    }
    ++p; // past "]"
    return 0;
}

int Engine::literalItemFits(const ArrayBody& body, int level, int32_t index, bool nested, int column) {
    if (index >= body.sizes[static_cast<size_t>(level)]) return reportRuntimeError(MessageId::SubscriptOutOfRange, column);
    if (nested && level + 1 >= body.dims) return reportRuntimeError(MessageId::TooManySubscripts, column);
    if (!nested && level + 1 < body.dims) return reportRuntimeError(MessageId::MissingDimensions, column);
    return 0;
}

int Engine::redimension(Variant& value, const Dimensions& dims, int column) {
    if (dims.sizes.empty()) return reportRuntimeError(MessageId::MissingDimensions, column);
    Variant fresh;
    std::vector<int32_t> sizes = dims.sizes;
    for (int32_t& s : sizes) s = std::max(s, 0);
    if (!makeArray(fresh, sizes.data(), static_cast<int>(sizes.size()))) return reportRuntimeError(MessageId::ArrayTooLarge, column);
    const ArrayBody* old = arrayBody(value);
    ArrayBody* body = arrayBody(fresh);
    if (old && old->dims == body->dims && !old->elements.empty()) {
        // Elements whose subscripts exist in both shapes keep their values.
        int32_t subscripts[kMaxDimensions] = {};
        for (;;) {
            bool inside = true;
            for (int d = 0; d < body->dims; ++d) inside = inside && subscripts[d] < body->sizes[static_cast<size_t>(d)];
            if (inside) *arrayElement(body, subscripts, body->dims) = *arrayElement(const_cast<ArrayBody*>(old), subscripts, old->dims);
            int d = old->dims - 1;
            while (d >= 0 && ++subscripts[d] >= old->sizes[static_cast<size_t>(d)]) subscripts[d--] = 0;
            if (d < 0) break;
        }
    }
    value = std::move(fresh);
    return 0;
}

} // namespace vexil
