// The account's answer to a pull, the same bytes for every collection:
// settings, dictionary, voice snippets and text expansions are read from it
// and written into the local stores, as the application does.
#include <QCoreApplication>
#include <QFile>
#include <chrono>
#include <memory>

#include "FuzzSupport.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "records/HistoryService.h"
#include "records/SyncService.h"
#include "records/TextExpansionService.h"

namespace {

QByteArray g_answer;

struct Stores {
    SettingsStore settings;
    HistoryService history;
    TextExpansionService expansions;
    SyncService sync;

    explicit Stores(const QString& dir)
        : settings(dir + QStringLiteral("/settings.json")),
          history(dir + QStringLiteral("/Ormil.sqlite"), Clock::system()),
          expansions(dir + QStringLiteral("/text_expansions.json")),
          sync(collaborators()) {}

    SyncService::Collaborators collaborators() {
        SyncService::Collaborators c;
        c.baseURL = QStringLiteral("http://127.0.0.1:1");
        c.send = [](const HttpRequest& request) {
            HttpResponse response;
            response.status = 200;
            if (request.method == "GET") response.body = g_answer;
            return response;
        };
        c.account.accessToken = [] { return std::optional<QString>(QStringLiteral("token")); };
        c.settings = &settings;
        c.history = &history;
        c.textExpansions = &expansions;
        return c;
    }
};

// The pulls write on the main thread: run its events until the pull ends.
void finish(const SyncService::Done& done) {
    while (done.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Stores* stores = new Stores(fuzz::scratchDir());
    g_answer = fuzz::bytes(data, size);
    finish(stores->sync.pullSettings());
    finish(stores->sync.pullDictionary());
    finish(stores->sync.pullSnippets());
    finish(stores->sync.pullTextExpansions());
    // What was taken in goes out again on the next push.
    finish(stores->sync.pushSettings());
    finish(stores->sync.pushTextExpansions());
    return 0;
}
