// Typed-call scripts. The pool puts a value of every kind in a variable once; the calls then take
// their arguments from it, so a script stays short however many calls it makes.
//
// Left out of the calls because they would leave the scratch folder or stop the driver: nothing.
// SLEEP is called like the rest, but only with arguments under 20 ms, and so are the time-outs
// of the process waits. File built-ins are called freely: the driver's working directory is a
// scratch folder, no text of the pool is a drive, a rooted path or holds "..", and the fenced
// run changes nothing outside that folder. Built-ins that reach outside the process (native
// calls, memory at a given address, other programs) are called too: the run is fenced, so they
// check and convert their arguments and then refuse to act.
#include "typed_calls.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <string_view>

namespace vexil::fuzz {
namespace {

struct Row {
    std::wstring_view name;
    int fewest;
    int most;
    bool handled;
};

#define VEXIL_BUILTIN(NAME, FEWEST, MOST, FLAGS, HANDLER) Row{L## #NAME, FEWEST, MOST, true},
#define VEXIL_NO_HANDLER(NAME, FEWEST, MOST, FLAGS) Row{L## #NAME, FEWEST, MOST, false},
constexpr Row kRows[] = {
#include "engine/builtins/builtin_table.inc"
};
#undef VEXIL_BUILTIN
#undef VEXIL_NO_HANDLER

constexpr uint16_t rowOf(std::wstring_view name) {
    uint16_t i = 0;
    while (i < std::size(kRows) && kRows[i].name != name) ++i;
    return i;
}
constexpr uint16_t kSleep = rowOf(L"SLEEP");
// No process the pool names ever appears: PROCESSWAIT without a time-out would hold the script to
// its budget. Alone it waits for the driver itself (there at once); both waits' time-outs stay as
// short as SLEEP's.
constexpr uint16_t kProcessWait = rowOf(L"PROCESSWAIT");
constexpr uint16_t kProcessWaitClose = rowOf(L"PROCESSWAITCLOSE");
// A window the pool's texts name may never come (or go): the window waits get a short time-out as
// their third argument, and without one a malformed descriptor, which ends the wait at once.
constexpr uint16_t kWinWait = rowOf(L"WINWAIT");
constexpr uint16_t kWinWaitNotActive = rowOf(L"WINWAITNOTACTIVE");
constexpr bool isWindowWait(uint16_t row) { return row >= kWinWait && row <= kWinWaitNotActive; }
static_assert(kWinWaitNotActive == kWinWait + 3 && kWinWaitNotActive < std::size(kRows));
// CALL has no handler of its own, yet the call machinery runs it.
constexpr uint16_t kCall = rowOf(L"CALL");
static_assert(kSleep < std::size(kRows) && kCall < std::size(kRows) && kProcessWait < std::size(kRows) &&
              kProcessWaitClose < std::size(kRows));

// The walk goes over turns rather than rows: a turn stands for a row and up to eight of the
// argument counts it accepts, so that a row taking up to 255 arguments meets each of its counts
// often enough without taking a third of all calls. All but a handful of rows have a single turn.
struct Turn {
    uint16_t row;
    uint16_t firstCount;
    uint16_t lastCount;
};
constexpr int kCountsPerTurn = 8;
constexpr size_t turnsOf(const Row& row) { return 1 + static_cast<size_t>(row.most - row.fewest) / kCountsPerTurn; }
constexpr size_t turnCount() {
    size_t total = 0;
    for (const Row& row : kRows) total += turnsOf(row);
    return total;
}
constexpr auto kTurns = [] {
    std::array<Turn, turnCount()> turns{};
    size_t next = 0;
    for (uint16_t i = 0; i < std::size(kRows); ++i) {
        for (int first = kRows[i].fewest; first <= kRows[i].most; first += kCountsPerTurn) {
            const int last = std::min(first + kCountsPerTurn - 1, kRows[i].most);
            turns[next++] = {i, static_cast<uint16_t>(first), static_cast<uint16_t>(last)};
        }
    }
    return turns;
}();

// Values written in place, as pool entries and as arguments alike.
constexpr std::wstring_view kLiterals[] = {
    L"2147483647", L"-2147483648", L"2147483648", L"9223372036854775807", L"(-9223372036854775807 - 1)",
    L"-0.0", L"(0/0)", L"(1/0)", L"(-1/0)", L"4.9406564584124654e-324", L"2.2250738585072014e-308",
    L"1.7976931348623157e308", L"0", L"1", L"-1", L"0.5", L"True", L"False", L"\"\"", L"\"0x7FFFFFFF\"",
    L"Default", L"Null",
};

// Values that take an expression to make: long, broken or odd texts, binaries, pointers, handles,
// functions, a structure definition and a structure.
constexpr std::wstring_view kMadeValues[] = {
    // A million characters: a thousand spaces, each made a thousand (a format's width stops short).
    L"StringReplace(StringFormat(\"%1000s\", \"\"), \" \", StringFormat(\"%1000s\", \"\"))",
    L"\"a\" & ChrW(0) & \"b\"",
    L"ChrW(0xD800)",
    L"ChrW(0xFFFF) & ChrW(0xDC00) & \"z\"",
    L"\"^(a|b)*?[^\\d\\s]{2,}\\b.+$\"",
    L"\"(?<x>[a-\"",
    L"\"%s%d%i%u%x%X%o%e%E%f%g%G%c%%%-08.3f%+d% d%#x%5s%.2s%99999d%.99999f%*d%lld%ls%p%n%\"",
    L"@CRLF & @TAB & \" 0x1F \"",
    L"\"1e400\"",
    L"Binary(\"0x00FF\")",
    L"Binary(\"\")",
    L"Ptr(-1)",
    L"Ptr(0)",
    L"HWnd(0)",
    L"StringLen",
    L"FuzzTarget",
    L"\"int a;char s[4];wchar w[3];byte b[2];struct;double d;endstruct;ptr p\"",
    L"DllStructCreate(\"int a;char s[4];wchar w[3];byte b[2];struct;double d;endstruct;ptr p\")",
};

// A user function for the pool's function value.
constexpr std::wstring_view kUserFunction = L"Func FuzzTarget($a = 0, $b = 0, $c = 0)\n    Return $a\nEndFunc\n";

// The loader cuts lines at 4094 characters: past this length a call's arguments are variables only.
constexpr size_t kLiteralRoom = 2000;
constexpr uint32_t kSleepBelowMs = 20;
constexpr uint32_t kRefusedCountPercent = 10;
constexpr uint32_t kResultPassedPercent = 15;
constexpr uint32_t kLiteralPercent = 25;

void appendNumber(std::wstring& out, uint64_t n) {
    wchar_t digits[20];
    int count = 0;
    do digits[count++] = static_cast<wchar_t>(L'0' + n % 10);
    while (n /= 10);
    while (count > 0) out += digits[--count];
}

void appendVariable(std::wstring& out, uint32_t index) {
    out += L"$v";
    appendNumber(out, index);
}

class PoolWriter {
public:
    explicit PoolWriter(std::wstring& out) : out_(out) {}
    uint32_t size() const { return next_; }

    // "Local $vN = value"; returns N.
    uint32_t declare(std::wstring_view value) {
        const uint32_t index = startLocal();
        out_ += L" = ";
        out_ += value;
        out_ += L'\n';
        return index;
    }
    // "Local $vN[a][b]..." with sizes from 1 to most.
    uint32_t declareArray(Random& random, uint32_t dimensions, uint32_t most) {
        const uint32_t index = startLocal();
        for (uint32_t i = 0; i < dimensions; ++i) {
            out_ += L'[';
            appendNumber(out_, 1 + random.below(most));
            out_ += L']';
        }
        out_ += L'\n';
        return index;
    }
    uint32_t declareMap() {
        const uint32_t index = startLocal();
        out_ += L"[]\n";
        return index;
    }
    // "$vA[subscripts] = $vV"
    void assignElement(uint32_t array, std::wstring_view subscripts, uint32_t value) {
        appendVariable(out_, array);
        out_ += L'[';
        out_ += subscripts;
        out_ += L"] = ";
        appendVariable(out_, value);
        out_ += L'\n';
    }

private:
    uint32_t startLocal() {
        out_ += L"Local ";
        appendVariable(out_, next_);
        return next_++;
    }
    std::wstring& out_;
    uint32_t next_ = 0;
};

void appendContainers(PoolWriter& pool, Random& random) {
    const uint32_t someValue = random.below(pool.size());
    const uint32_t single = pool.declareArray(random, 1, 3);
    const uint32_t table = pool.declareArray(random, 2, 3);
    const uint32_t cube = pool.declareArray(random, 3, 2);
    pool.declareArray(random, 64, 1);
    pool.declareArray(random, 4 + random.below(60), 1);
    pool.assignElement(single, L"0", someValue);
    pool.assignElement(table, L"0][0", single);
    pool.assignElement(cube, L"0][0][0", table);
    const uint32_t map = pool.declareMap();
    pool.assignElement(map, L"\"k\"", someValue);
    pool.assignElement(map, L"-1", single);
    pool.assignElement(map, L"\"\"", table);
    const uint32_t nested = pool.declareArray(random, 1, 1);
    pool.assignElement(nested, L"0", map);
}

// The pool, with a few values of this script's own; returns its size.
uint32_t appendPool(std::wstring& out, Random& random) {
    PoolWriter pool(out);
    for (std::wstring_view literal : kLiterals) pool.declare(literal);
    for (std::wstring_view made : kMadeValues) pool.declare(made);
    std::wstring own = std::to_wstring(static_cast<int64_t>(random.next()));
    pool.declare(own);
    own = std::to_wstring(static_cast<int32_t>(random.next())) + L'.' + std::to_wstring(random.below(1000000));
    pool.declare(own);
    // A file name: the file built-ins create and read it in the scratch folder.
    own = L"\"fz" + std::to_wstring(random.below(100)) + L".txt\"";
    pool.declare(own);
    appendContainers(pool, random);
    out += L"Local $r = 0\n";
    return pool.size();
}

void appendArgument(std::wstring& out, Random& random, uint32_t poolSize, bool literalFits) {
    if (random.chance(kResultPassedPercent)) {
        out += L"$r";
    } else if (literalFits && random.chance(kLiteralPercent)) {
        out += kLiterals[random.below(static_cast<uint32_t>(std::size(kLiterals)))];
    } else {
        appendVariable(out, random.below(poolSize));
    }
}

// Mostly a count of the turn's; now and then one the row refuses (below fewest, or most + 1).
uint32_t argumentCount(Random& random, const Turn& turn) {
    const auto fewest = static_cast<uint32_t>(kRows[turn.row].fewest);
    if (random.chance(kRefusedCountPercent)) {
        const uint32_t refused = random.below(fewest + 1);
        return refused < fewest ? refused : static_cast<uint32_t>(kRows[turn.row].most) + 1;
    }
    return turn.firstCount + random.below(turn.lastCount - turn.firstCount + 1u);
}

void appendCall(std::wstring& out, Random& random, uint16_t rowIndex, uint32_t count, uint32_t poolSize) {
    const size_t lineStart = out.size();
    out += L"$r = ";
    out += kRows[rowIndex].name;
    out += L'(';
    for (uint32_t i = 0; i < count; ++i) {
        if (i > 0) out += L", ";
        const bool processWait = rowIndex == kProcessWait || rowIndex == kProcessWaitClose;
        if (rowIndex == kSleep) {
            appendNumber(out, random.below(kSleepBelowMs));
        } else if (isWindowWait(rowIndex) && i == 0 && count < 3) {
            out += L"\"[NOSUCHKEY]\"";
        } else if ((processWait && i == 1) || (isWindowWait(rowIndex) && i == 2)) {
            out += L"(";
            appendNumber(out, 1 + random.below(kSleepBelowMs - 1)); // 0 would mean no time-out
            out += L" / 1000)";
        } else if (rowIndex == kProcessWait && count == 1) {
            out += L"@VexilPID";
        } else {
            appendArgument(out, random, poolSize, out.size() - lineStart < kLiteralRoom);
        }
    }
    out += L")\n";
}

uint32_t coprimeStride(Random& random, uint32_t cycle) {
    uint32_t stride = 1 + random.below(cycle - 1);
    while (std::gcd(stride, cycle) != 1) stride = 1 + random.below(cycle - 1);
    return stride;
}

} // namespace

std::wstring typedCallScript(Random& random, std::vector<uint32_t>& callCounts) {
    if (callCounts.size() < std::size(kRows)) callCounts.resize(std::size(kRows), 0);
    std::wstring script;
    script.reserve(16384);
    const uint32_t poolSize = appendPool(script, random);

    // Calls that surely end the run (no handler, or a refused count) go last, so that the others
    // all get to run first.
    std::wstring ending;
    const auto cycle = static_cast<uint32_t>(kTurns.size());
    uint32_t turn = random.below(cycle);
    const uint32_t stride = coprimeStride(random, cycle);
    const uint32_t calls = 10 + random.below(31);
    for (uint32_t i = 0; i < calls; ++i, turn = (turn + stride) % cycle) {
        const uint16_t rowIndex = kTurns[turn].row;
        const Row& row = kRows[rowIndex];
        const uint32_t count = argumentCount(random, kTurns[turn]);
        const bool runs = (row.handled || rowIndex == kCall) && count >= static_cast<uint32_t>(row.fewest) &&
                          count <= static_cast<uint32_t>(row.most);
        appendCall(runs ? script : ending, random, rowIndex, count, poolSize);
        ++callCounts[rowIndex];
    }
    script += ending;
    script += kUserFunction;
    return script;
}

std::vector<std::wstring> builtinNames() {
    std::vector<std::wstring> names;
    names.reserve(std::size(kRows));
    for (const Row& row : kRows) names.emplace_back(row.name);
    return names;
}

} // namespace vexil::fuzz
