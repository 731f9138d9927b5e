// The fuzzer's script generators: made again from a seed, spread over the whole built-in table,
// and kept inside the scratch folder the driver runs in.
#include "../fuzz/typed_calls.h"
#include "engine/builtins/builtins.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace vexil::fuzz;

namespace {

struct WrittenCall {
    std::wstring name;
    size_t arguments;
    std::wstring argumentText;
};

// Commas outside parentheses and quotes, plus one; none between empty parentheses.
size_t countArguments(std::wstring_view text) {
    if (text.empty()) return 0;
    size_t count = 1;
    int depth = 0;
    bool quoted = false;
    for (wchar_t c : text) {
        if (c == L'"') quoted = !quoted;
        if (quoted) continue;
        depth += (c == L'(') - (c == L')');
        count += c == L',' && depth == 0;
    }
    return count;
}

// The "$r = NAME(...)" lines of a script.
std::vector<WrittenCall> writtenCalls(const std::wstring& script) {
    std::vector<WrittenCall> calls;
    std::wistringstream lines(script);
    for (std::wstring line; std::getline(lines, line);) {
        if (line.rfind(L"$r = ", 0) != 0) continue;
        const size_t open = line.find(L'(');
        const std::wstring_view inside = std::wstring_view(line).substr(open + 1, line.size() - open - 2);
        calls.push_back({line.substr(5, open - 5), countArguments(inside), std::wstring(inside)});
    }
    return calls;
}

// The text of argument `index` (commas outside parentheses and quotes part them), trimmed.
std::wstring argumentText(std::wstring_view text, size_t index) {
    int depth = 0;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        const wchar_t c = i < text.size() ? text[i] : L',';
        if (c == L'"') quoted = !quoted;
        if (quoted) continue;
        depth += (c == L'(') - (c == L')');
        if (c != L',' || depth != 0) continue;
        if (index-- == 0) {
            std::wstring_view argument = text.substr(start, i - start);
            while (!argument.empty() && argument.front() == L' ') argument.remove_prefix(1);
            return std::wstring(argument);
        }
        start = i + 1;
    }
    return {};
}

std::vector<std::wstring> quotedTexts(const std::wstring& script) {
    std::vector<std::wstring> texts;
    for (size_t open = script.find(L'"'); open != std::wstring::npos;) {
        const size_t close = script.find(L'"', open + 1);
        texts.push_back(script.substr(open + 1, close - open - 1));
        open = script.find(L'"', close + 1);
    }
    return texts;
}

} // namespace

TEST(TypedCalls, NamesFollowTheProgramsTable) {
    const std::vector<std::wstring> names = builtinNames();
    ASSERT_EQ(names.size(), static_cast<size_t>(vexil::builtinCount()));
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(names[i], vexil::builtinEntry(static_cast<int>(i)).name);
}

TEST(TypedCalls, ASeedMakesItsScriptAgain) {
    Random first(77), second(77);
    std::vector<uint32_t> firstCounts, secondCounts;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(typedCallScript(first, firstCounts), typedCallScript(second, secondCounts));
    EXPECT_EQ(firstCounts, secondCounts);
}

TEST(TypedCalls, SeedsMakeDifferentScripts) {
    std::set<std::wstring> scripts;
    std::vector<uint32_t> counts;
    for (uint64_t seed = 0; seed < 200; ++seed) {
        Random random(seed);
        scripts.insert(typedCallScript(random, counts));
    }
    EXPECT_EQ(scripts.size(), 200u);
}

TEST(TypedCalls, EveryBuiltinMeetsEveryCountItAcceptsAndTheCountsAddUp) {
    const int rows = vexil::builtinCount();
    std::vector<std::set<size_t>> countsSeen(rows);
    std::vector<uint32_t> callsSeen(rows, 0);
    std::vector<uint32_t> callCounts;
    Random random(2024);
    for (int script = 0; script < 2000; ++script) {
        const std::wstring text = typedCallScript(random, callCounts);
        const std::vector<WrittenCall> calls = writtenCalls(text);
        ASSERT_GE(calls.size(), 10u);
        ASSERT_LE(calls.size(), 40u);
        for (const WrittenCall& call : calls) {
            const int row = vexil::findBuiltin(call.name);
            ASSERT_GE(row, 0) << std::string(call.name.begin(), call.name.end());
            EXPECT_LE(call.arguments, static_cast<size_t>(vexil::builtinEntry(row).maxArgs) + 1);
            countsSeen[row].insert(call.arguments);
            ++callsSeen[row];
        }
    }
    EXPECT_EQ(callCounts, callsSeen);
    for (int row = 0; row < rows; ++row) {
        const vexil::BuiltinEntry& entry = vexil::builtinEntry(row);
        for (size_t count = entry.minArgs; count <= static_cast<size_t>(entry.maxArgs); ++count)
            EXPECT_TRUE(countsSeen[row].count(count))
                << std::string(entry.name.begin(), entry.name.end()) << " never called with " << count << " arguments";
    }
}

// The driver's working directory is a scratch folder: texts name nothing outside it, SLEEP and the
// process waits stay short, and no line is long enough for the loader to cut it.
TEST(TypedCalls, ScriptsStayInTheScratchFolderAndWithinTheLoadersLines) {
    std::vector<uint32_t> callCounts;
    Random random(9);
    for (int script = 0; script < 300; ++script) {
        const std::wstring text = typedCallScript(random, callCounts);
        for (const std::wstring& quoted : quotedTexts(text)) {
            EXPECT_EQ(quoted.find(L':'), std::wstring::npos) << std::string(quoted.begin(), quoted.end());
            EXPECT_EQ(quoted.find(L".."), std::wstring::npos);
            EXPECT_FALSE(!quoted.empty() && (quoted[0] == L'\\' || quoted[0] == L'/'));
        }
        for (const WrittenCall& call : writtenCalls(text)) {
            if (call.name == L"PROCESSWAIT" || call.name == L"PROCESSWAITCLOSE") {
                const std::wstring timeout = argumentText(call.argumentText, 1);
                if (call.arguments >= 2) {
                    std::wistringstream seconds(timeout);
                    wchar_t open = 0, slash = 0;
                    long long milliseconds = -1, thousand = 0;
                    seconds >> open >> milliseconds >> slash >> thousand;
                    EXPECT_TRUE(open == L'(' && slash == L'/' && thousand == 1000) << std::string(timeout.begin(), timeout.end());
                    EXPECT_TRUE(milliseconds > 0 && milliseconds < 20) << milliseconds;
                } else if (call.name == L"PROCESSWAIT" && call.arguments == 1) {
                    EXPECT_EQ(call.argumentText, L"@VexilPID");
                }
            }
            if (call.name != L"SLEEP") continue;
            std::wstring numbers = call.argumentText;
            std::replace(numbers.begin(), numbers.end(), L',', L' ');
            std::wistringstream arguments(numbers);
            size_t read = 0;
            for (long long milliseconds; arguments >> milliseconds; ++read)
                EXPECT_TRUE(milliseconds >= 0 && milliseconds < 20) << milliseconds;
            EXPECT_TRUE(arguments.eof());
            EXPECT_EQ(read, call.arguments);
        }
        std::wistringstream lines(text);
        for (std::wstring line; std::getline(lines, line);) EXPECT_LT(line.size(), 4094u);
    }
}
