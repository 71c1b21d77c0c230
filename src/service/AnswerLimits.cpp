#include "service/AnswerLimits.h"

#include <array>
#include <mutex>

#include "service/HttpMessage.h"

namespace {

constexpr qint64 kKiB = 1024;
constexpr qint64 kMiB = 1024 * kKiB;

// Sizes leave a wide margin over the largest real answer of each kind;
// deadlines allow a slow but working connection to finish.
constexpr std::array<AnswerLimits, size_t(AnswerKind::count)> kDefaults{{
    {16 * kMiB, 180},     // transcript: a few kB of text per minute of speech
    {1 * kMiB, 120},      // account
    {16 * kMiB, 120},     // settings: saved prompts are the bulk
    {256 * kMiB, 900},    // userItems: a user's whole list, tens of MB at most
    {1 * kMiB, 120},      // fileJob
    {1 * kMiB, 1800},     // fileUpload, plus the time per uploaded byte
    {1 * kMiB, 6},        // updateManifest
    {1024 * kMiB, 3600},  // updateArchive
    {64 * kKiB, 30},      // errorReport
    {64 * kKiB, 10},      // connectionCheck
}};

// An upload may go as slowly as this and still finish.
constexpr double kSlowestUploadBytesPerSecond = 16 * kKiB;

std::mutex g_mutex;
std::array<AnswerLimits, size_t(AnswerKind::count)> g_table = kDefaults;

}  // namespace

namespace AnswerLimitsTable {

AnswerLimits of(AnswerKind kind) {
    std::lock_guard lock(g_mutex);
    return g_table.at(size_t(kind));
}

void apply(HttpRequest& request, AnswerKind kind) {
    const AnswerLimits limits = of(kind);
    request.maxBodyBytes = limits.maxBytes;
    if (!request.totalTimeout || *request.totalTimeout > limits.totalSeconds)
        request.totalTimeout = limits.totalSeconds;
}

void applyToUpload(HttpRequest& request, qint64 uploadBytes) {
    apply(request, AnswerKind::fileUpload);
    request.totalTimeout = *request.totalTimeout +
                           double(std::max<qint64>(0, uploadBytes)) / kSlowestUploadBytesPerSecond;
}

Override::Override(AnswerKind kind, AnswerLimits limits) : m_kind(kind), m_saved(of(kind)) {
    std::lock_guard lock(g_mutex);
    g_table.at(size_t(kind)) = limits;
}

Override::~Override() {
    std::lock_guard lock(g_mutex);
    g_table.at(size_t(m_kind)) = m_saved;
}

}  // namespace AnswerLimitsTable
