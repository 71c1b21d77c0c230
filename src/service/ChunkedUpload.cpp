#include "service/ChunkedUpload.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>

#include "platform/Threading.h"
#include "service/HttpClient.h"

// Shared with the pool's tasks, which may still be unwinding when run()
// returns.
struct ChunkedUpload::State {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<int> finished;
    std::vector<std::optional<QString>> texts;
    std::exception_ptr failure;
    std::shared_ptr<HttpCancelToken> cancel = std::make_shared<HttpCancelToken>();
};

ChunkedUpload::ChunkedUpload(int count, int inFlight, SendWindow send)
    : m_count(count), m_inFlight(inFlight), m_send(std::move(send)) {}

void ChunkedUpload::launch(const std::shared_ptr<State>& state, int index) {
    runAsync([state, index, send = m_send] {
        std::optional<QString> text;
        std::exception_ptr error;
        try {
            text = send(index, state->cancel);
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(state->mutex);
        state->texts[size_t(index)] = std::move(text);
        if (error && !state->failure) state->failure = error;
        state->finished.push_back(index);
        state->changed.notify_all();
    });
}

std::vector<QString> ChunkedUpload::run() {
    auto state = std::make_shared<State>();
    state->texts.resize(size_t(std::max(m_count, 0)));
    int running = 0;
    int next = 0;
    {
        std::unique_lock lock(state->mutex);
        for (; next < std::min(m_count, m_inFlight); ++next, ++running) launch(state, next);
        while (running > 0) {
            state->changed.wait(lock, [&] { return !state->finished.empty(); });
            state->finished.pop_front();
            --running;
            if (state->failure) {
                // The first failure fails the call; the rest are cancelled
                // and awaited before it is thrown.
                state->cancel->cancel();
            } else if (next < m_count) {
                launch(state, next++);
                ++running;
            }
        }
    }
    if (state->failure) std::rethrow_exception(state->failure);
    std::vector<QString> texts;
    texts.reserve(state->texts.size());
    for (auto& text : state->texts) texts.push_back(text.value_or(QString()));
    return texts;
}
