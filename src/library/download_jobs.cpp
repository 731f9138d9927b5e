#include "library/download_jobs.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

namespace vexil {

namespace {

constexpr DWORD kStopWaitMs = 10000;

// Handles are never reused within a process.
std::atomic<int64_t> lastHandle{0};

DWORD WINAPI downloadWorker(void* parameter) {
    // The worker's own share of the job: the record outlives a close that gives up waiting.
    std::unique_ptr<std::shared_ptr<DownloadJob>> job(static_cast<std::shared_ptr<DownloadJob>*>(parameter));
    (*job)->run();
    return 0;
}

// Closes the job's connection and gives its worker until `deadline` (a tick count) to see it.
void stopJob(DownloadJob& job, ULONGLONG deadline) {
    job.cancel();
    const ULONGLONG now = GetTickCount64();
    if (job.completion) WaitForSingleObject(job.completion, deadline > now ? static_cast<DWORD>(deadline - now) : 0);
}

} // namespace

std::shared_ptr<DownloadJob> DownloadJobs::create(std::wstring url, int32_t options, DownloadTarget target, std::wstring file) {
    auto job = std::make_shared<DownloadJob>(++lastHandle, std::move(url), options, target, std::move(file));
    jobs_.insert(jobs_.begin(), job);
    return job;
}

void DownloadJobs::startInBackground(const std::shared_ptr<DownloadJob>& job) {
    job->completion = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto* share = new std::shared_ptr<DownloadJob>(job);
    HANDLE thread = job->completion ? CreateThread(nullptr, 0, downloadWorker, share, CREATE_SUSPENDED, nullptr) : nullptr;
    if (!thread) {
        delete share;
        job->run();
        return;
    }
    ResumeThread(thread);
    CloseHandle(thread); // the completion event is what the script thread waits on
}

DownloadJob* DownloadJobs::find(int64_t handle) const {
    for (const auto& job : jobs_)
        if (job->handle == handle) return job.get();
    return nullptr;
}

bool DownloadJobs::close(int64_t handle) {
    auto it = std::find_if(jobs_.begin(), jobs_.end(), [&](const auto& job) { return job->handle == handle; });
    if (it == jobs_.end()) return false;
    std::shared_ptr<DownloadJob> job = std::move(*it);
    jobs_.erase(it);
    stopJob(*job, GetTickCount64() + kStopWaitMs);
    return true;
}

int32_t DownloadJobs::running() const {
    return static_cast<int32_t>(std::count_if(jobs_.begin(), jobs_.end(), [](const auto& job) { return !job->complete(); }));
}

void DownloadJobs::stopBackgroundWork() {
    // All are told to stop first and share one wait, so that many stuck jobs cost 10 s, not 10 s each.
    for (const auto& job : jobs_) job->cancel();
    const ULONGLONG deadline = GetTickCount64() + kStopWaitMs;
    for (const auto& job : jobs_) stopJob(*job, deadline);
    jobs_.clear();
}

} // namespace vexil
