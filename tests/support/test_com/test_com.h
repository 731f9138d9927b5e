#pragma once
// An in-process automation server for the object tests: it echoes and describes what it
// receives, makes values of every automation type, writes through by-reference arguments, fails
// on request with exception details, walks three items, and raises events on request.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <oleauto.h>

// {6F1B3C2A-5E7D-4A8B-9C0D-1E2F3A4B5C6D}
constexpr CLSID kTestComClass = {0x6f1b3c2a, 0x5e7d, 0x4a8b, {0x9c, 0x0d, 0x1e, 0x2f, 0x3a, 0x4b, 0x5c, 0x6d}};
// The outgoing interface: {6F1B3C2B-5E7D-4A8B-9C0D-1E2F3A4B5C6D}
constexpr IID kTestComEvents = {0x6f1b3c2b, 0x5e7d, 0x4a8b, {0x9c, 0x0d, 0x1e, 0x2f, 0x3a, 0x4b, 0x5c, 0x6d}};
constexpr const wchar_t* kTestComProgId = L"Vexil.TestCom";

// Objects alive, for DllCanUnloadNow.
extern LONG testComObjects;

// A new test object (one reference).
IDispatch* newTestObject();
// The class's type information: a class whose default source is the events interface, which
// names the events "Ping" (id 1, one argument) and "Pair" (id 2, two arguments).
ITypeInfo* testClassInfo();
// An enumerator over copies of `count` values.
IEnumVARIANT* newEnumerator(VARIANT* values, ULONG count);

// One COM reference count, for the server's small objects.
class RefCounted {
public:
    virtual ~RefCounted() { InterlockedDecrement(&testComObjects); }
    RefCounted() { InterlockedIncrement(&testComObjects); }
    ULONG addRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG release() {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

private:
    LONG refs_ = 1;
};
