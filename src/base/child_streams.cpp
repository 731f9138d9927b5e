#include "base/child_streams.h"

#include <windows.h>

#include <algorithm>

namespace vexil {

namespace {

void closeHandle(void*& handle) {
    if (handle) CloseHandle(handle);
    handle = nullptr;
}

bool carries(const std::unique_ptr<PipeReader>& reader) { return reader && reader->available(); }

} // namespace

ChildStreamRecord::~ChildStreamRecord() {
    // The readers stop before the handles they read are closed.
    outputReader.reset();
    errorReader.reset();
    closeHandle(input);
    closeHandle(output);
    closeHandle(error);
}

void ChildStreamRecord::closeInput() { closeHandle(input); }

bool ChildStreamRecord::alive() const { return input || carries(outputReader) || carries(errorReader); }

void ChildStreams::add(std::unique_ptr<ChildStreamRecord> record) {
    remove(find(record->processId));
    records_.push_back(std::move(record));
}

ChildStreamRecord* ChildStreams::find(double processId) {
    for (const auto& record : records_)
        if (static_cast<double>(record->processId) == processId) return record.get();
    return nullptr;
}

void ChildStreams::remove(const ChildStreamRecord* record) {
    auto it = std::find_if(records_.begin(), records_.end(), [&](const auto& r) { return r.get() == record; });
    if (it != records_.end()) records_.erase(it);
}

} // namespace vexil
