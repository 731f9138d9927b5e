#include "automation/control_search.h"
#include "automation/cached_name.h"
#include "automation/control_descriptor.h"
#include "automation/window_text.h"

namespace vexil {

namespace {

constexpr int kNameCapacity = CachedName::kCapacity;

// The name a Windows Forms control reports through a buffer in its own process.
std::wstring formsControlName(HWND control) {
    static const UINT message = RegisterWindowMessageW(L"WM_GETCONTROLNAME");
    constexpr size_t kBufferBytes = 514;
    constexpr WPARAM kBufferChars = 257;
    DWORD processId = 0;
    GetWindowThreadProcessId(control, &processId);
    const HANDLE process = processId ? OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId) : nullptr;
    if (!process) return {};
    std::wstring name;
    if (void* remote = VirtualAllocEx(process, nullptr, kBufferBytes, MEM_COMMIT, PAGE_READWRITE)) {
        DWORD_PTR answer = 0;
        wchar_t local[kBufferChars] = {};
        if (SendMessageTimeoutW(control, message, kBufferChars, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, kHungTimeoutMs, &answer) &&
            ReadProcessMemory(process, remote, local, sizeof(wchar_t) * (kBufferChars - 1), nullptr))
            name = local;
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return name;
}

class PlatformControlFacts final : public ControlFacts {
public:
    void reset(HWND control) {
        control_ = control;
        class_.forget();
        text_.forget();
        haveName_ = false;
    }
    std::wstring_view className() override { return class_.get(control_, GetClassNameW); }
    std::wstring_view text() override { return text_.get(control_, GetWindowTextW); }
    int32_t id() override { return GetDlgCtrlID(control_); }
    void placement(int32_t& x, int32_t& y, int32_t& w, int32_t& h) override {
        RECT r{};
        GetWindowRect(control_, &r);
        POINT corner{r.left, r.top};
        ScreenToClient(GetParent(control_), &corner);
        x = corner.x;
        y = corner.y;
        w = r.right - r.left;
        h = r.bottom - r.top;
    }
    std::wstring_view formsName() override {
        if (!haveName_) {
            name_ = formsControlName(control_);
            haveName_ = true;
        }
        return name_;
    }

private:
    HWND control_ = nullptr;
    CachedName class_, text_;
    bool haveName_ = false;
    std::wstring name_;
};

HWND firstMatch(HWND window, const ControlQuery& query) {
    ControlMatcher matcher(query);
    PlatformControlFacts facts;
    HWND found = nullptr;
    forEachChildWindow(window, [&](HWND child) {
        facts.reset(child);
        if (matcher.matches(facts)) found = child;
        return !found;
    });
    return found;
}

} // namespace

HWND findControlByDescriptor(HWND window, std::wstring_view descriptor) {
    ControlQuery query;
    if (!buildControlQuery(descriptor, query)) return nullptr;
    if (HWND found = firstMatch(window, query)) return found;
    if (query.criteria != kControlClassNN || descriptor.empty() || descriptor.front() == L'[') return nullptr;
    ControlQuery byText;
    byText.criteria = kControlText;
    byText.text = descriptor;
    return firstMatch(window, byText);
}

std::wstring controlClassNN(HWND window, HWND control) {
    wchar_t wanted[kNameCapacity + 1];
    const int length = GetClassNameW(control, wanted, kNameCapacity + 1);
    if (length <= 0) return {};
    const std::wstring_view wantedClass(wanted, static_cast<size_t>(length));
    uint32_t ordinal = 0;
    bool found = false;
    wchar_t name[kNameCapacity + 1];
    forEachChildWindow(window, [&](HWND child) {
        const int n = GetClassNameW(child, name, kNameCapacity + 1);
        if (n > 0 && std::wstring_view(name, static_cast<size_t>(n)) == wantedClass) ++ordinal;
        found = child == control;
        return !found;
    });
    return found ? classNNText(wantedClass, ordinal) : std::wstring();
}

} // namespace vexil
