#pragma once

#include <QtGlobal>
#include <optional>

struct HttpRequest;

// What one kind of service answer may cost: its most bytes and the seconds
// for the whole exchange. An answer past either ends its request with a
// transport error (HttpClient), so a broken or hostile service can neither
// fill the memory nor hold a request open with a trickle of bytes.
struct AnswerLimits {
    qint64 maxBytes = 0;
    double totalSeconds = 0;
};

// The kinds of exchange with the service, each with the limits that fit
// what it carries.
enum class AnswerKind {
    transcript,       // a dictation's or a post-processing's text
    account,          // sign-in, token refresh, the user's record and usage
    settings,         // the synchronised settings object
    userItems,        // a whole list of the user's items (dictionary, snippets,
                      // text expansions, file jobs)
    fileJob,          // one file job or the file limits
    fileUpload,       // the answer to a file upload (the file takes its time)
    updateManifest,   // an update mirror's manifest
    updateArchive,    // the update archive (its manifest bounds it further)
    errorReport,      // the answer to a batch of error reports
    connectionCheck,  // a request that only opens a connection
    count
};

namespace AnswerLimitsTable {

AnswerLimits of(AnswerKind kind);
// Sets the request's size cap and its overall deadline to those of the kind.
// A deadline the caller already chose that is shorter is kept.
void apply(HttpRequest& request, AnswerKind kind);
// A file upload: its deadline grows with the bytes it sends.
void applyToUpload(HttpRequest& request, qint64 uploadBytes);

// Replaces the limits of one kind while it lives (tests: short limits).
class Override {
public:
    Override(AnswerKind kind, AnswerLimits limits);
    ~Override();
    Override(const Override&) = delete;
    Override& operator=(const Override&) = delete;

private:
    AnswerKind m_kind;
    AnswerLimits m_saved;
};

}  // namespace AnswerLimitsTable
