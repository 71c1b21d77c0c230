#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class HttpCancelToken;

// The uploads of the windows of one long recording: at most `inFlight` at
// once on the shared worker pool, a new one starting as soon as one ends.
// The first failure cancels the uploads still running and is thrown once
// every started upload has ended; no window starts after it.
class ChunkedUpload {
public:
    // Uploads window `index` and gives its text; throws on failure. The
    // token is cancelled when another window has failed.
    using SendWindow =
        std::function<QString(int index, const std::shared_ptr<HttpCancelToken>& cancel)>;

    ChunkedUpload(int count, int inFlight, SendWindow send);

    // Blocks until every window is uploaded; the texts in window order.
    std::vector<QString> run();

private:
    struct State;
    void launch(const std::shared_ptr<State>& state, int index);

    int m_count;
    int m_inFlight;
    SendWindow m_send;
};
