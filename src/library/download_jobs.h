#pragma once
// The run's download jobs, newest first. A job leaves the list when the script closes it, when
// a foreground download ends, or when the run ends; its record lives on until its worker thread
// has let go of it, however long the worker takes after that.
#include "engine/builtins/builtin_api.h"
#include "library/download_job.h"

#include <memory>
#include <vector>

namespace vexil {

class DownloadJobs final : public RunResource {
public:
    static constexpr RunResourceKind kKind = RunResourceKind::Downloads;
    ~DownloadJobs() override { stopBackgroundWork(); }
    void stopBackgroundWork() override;

    // A new job with the next handle of the process.
    std::shared_ptr<DownloadJob> create(std::wstring url, int32_t options, DownloadTarget target, std::wstring file);
    // Runs a listed job on a worker thread (or here, when no thread can be had).
    void startInBackground(const std::shared_ptr<DownloadJob>& job);
    DownloadJob* find(int64_t handle) const;
    // Stops and forgets a job; false when no listed job has that handle.
    bool close(int64_t handle);
    // Listed jobs not yet complete.
    int32_t running() const;

private:
    std::vector<std::shared_ptr<DownloadJob>> jobs_;
};

} // namespace vexil
