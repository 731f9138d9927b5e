#pragma once
// The libraries a script opened with DLLOPEN, under the numbers it holds: a handle is a slot
// index + 1, a new library takes the lowest free slot, and whatever is still open is freed when
// the run's engine goes.
#include "engine/builtins/run_resources.h"
#include "interop/dll_exports.h"

#include <cstddef>
#include <vector>

namespace vexil {

class Variant;

class DllLibraries final : public RunResource {
public:
    static constexpr RunResourceKind kKind = RunResourceKind::DllLibraries;

    DllLibraries() = default;
    DllLibraries(const DllLibraries&) = delete;
    DllLibraries& operator=(const DllLibraries&) = delete;
    ~DllLibraries() override;

    // Loads a library by its file name: its handle number, or -1 when it does not load.
    int open(const wchar_t* file);
    struct Library {
        void* module = nullptr; // an HMODULE; nullptr in a free slot
        ExportCache exports;
    };
    // The open library a script's handle names, or nullptr.
    Library* find(const Variant& handle);
    // Frees the library a handle names; false for a handle that names none.
    bool close(const Variant& handle);

private:
    std::vector<Library> libraries_;
};

// A library loaded for one call by its file name, freed when the call is over.
class ScopedLibrary {
public:
    explicit ScopedLibrary(const wchar_t* file);
    ~ScopedLibrary();
    ScopedLibrary(const ScopedLibrary&) = delete;
    ScopedLibrary& operator=(const ScopedLibrary&) = delete;
    void* module() const { return module_; }

private:
    void* module_;
};

} // namespace vexil
