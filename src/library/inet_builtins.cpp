// INETGET, INETREAD, INETGETSIZE, INETGETINFO and INETCLOSE.
#include "engine/builtins/builtin_api.h"
#include "engine/values/containers.h"
#include "library/download_jobs.h"
#include "library/file_names.h"

#include <windows.h>

namespace vexil {

namespace {

enum InfoIndex : int32_t { kBytesRead, kTotalSize, kComplete, kSuccess, kError, kExtended, kInfoCount };

void reportOutcome(BuiltinContext& context, const DownloadJob& job) {
    context.setError(job.error.load());
    context.setExtended(Variant::int32(job.extended.load()));
}

// A fenced run reaches no server: its downloads fail as a session that cannot open.
bool refusedInFence(BuiltinContext& context) {
    if (!context.fenced()) return false;
    context.setError(kSessionFailed);
    context.setExtended(Variant::int32(ERROR_ACCESS_DENIED));
    return true;
}

// Runs a job on the script thread and takes it off the list after.
std::shared_ptr<DownloadJob> runHere(BuiltinContext& context, BuiltinArgs args, DownloadTarget target, std::wstring file = {}) {
    DownloadJobs& jobs = context.runResource<DownloadJobs>();
    std::shared_ptr<DownloadJob> job =
        jobs.create(std::wstring(textArg(args, 0).view()), optInt(args, target == DownloadTarget::File ? 2 : 1, 0), target, std::move(file));
    job->run();
    jobs.close(job->handle);
    reportOutcome(context, *job);
    return job;
}

// `complete` is read before the other fields: a job seen complete shows its final values.
Variant infoElement(const DownloadJob& job, int32_t index, bool complete) {
    switch (index) {
    case kBytesRead: return Variant::int64(job.bytesRead.load());
    case kTotalSize: return Variant::int64(job.totalSize.load());
    case kComplete: return Variant::boolean(complete);
    case kSuccess: return Variant::boolean(complete && job.error.load() == 0);
    case kError: return Variant::int32(job.error.load());
    default: return Variant::int32(job.extended.load());
    }
}

} // namespace

int builtinInetGet(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::int64(0);
    if (refusedInFence(context)) return 0;
    // The worker may outlive a change of the current folder: the name is made full now.
    std::wstring file = fullPathOf(textArg(args, 1).view());
    if (!passed(args, 3) || !args[3].dereferenced().toBool()) {
        result = Variant::int64(runHere(context, args, DownloadTarget::File, std::move(file))->bytesRead.load());
        return 0;
    }
    DownloadJobs& jobs = context.runResource<DownloadJobs>();
    std::shared_ptr<DownloadJob> job =
        jobs.create(std::wstring(textArg(args, 0).view()), optInt(args, 2, 0), DownloadTarget::File, std::move(file));
    jobs.startInBackground(job);
    reportOutcome(context, *job);
    result = Variant::int64(job->handle);
    return 0;
}

int builtinInetRead(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = textValue(L"");
    if (refusedInFence(context)) return 0;
    std::shared_ptr<DownloadJob> job = runHere(context, args, DownloadTarget::Memory);
    if (job->error.load() != 0) return 0;
    result = Variant::binary(std::move(job->data));
    context.setExtended(Variant::int64(job->bytesRead.load()));
    return 0;
}

int builtinInetGetSize(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::int64(0);
    if (refusedInFence(context)) return 0;
    result = Variant::int64(runHere(context, args, DownloadTarget::SizeOnly)->totalSize.load());
    return 0;
}

int builtinInetGetInfo(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    DownloadJobs& jobs = context.runResource<DownloadJobs>();
    if (!given(args, 0)) {
        result = Variant::int32(jobs.running());
        return 0;
    }
    const DownloadJob* job = jobs.find(args[0].dereferenced().toInt64());
    if (!job) return context.fail(result, textValue(L""), 1);
    const int32_t index = optInt(args, 1, -1);
    if (index == -1) {
        std::vector<Variant> items;
        items.reserve(kInfoCount);
        const bool complete = job->complete();
        for (int32_t i = 0; i < kInfoCount; ++i) items.push_back(infoElement(*job, i, complete));
        result = arrayOf(std::move(items));
        return 0;
    }
    if (index < 0 || index >= kInfoCount) return context.fail(result, textValue(L""), 2);
    result = infoElement(*job, index, job->complete());
    return 0;
}

int builtinInetClose(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::boolean(context.runResource<DownloadJobs>().close(args[0].dereferenced().toInt64()));
    return 0;
}

} // namespace vexil
