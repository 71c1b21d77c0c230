// Post-processing and translation of text, and the overlay's switch to
// post-processing when a tone request takes long.
#include "TranscriptionTestFixture.h"
#include "service/TranscriptionWire.h"

namespace {

using testsupport::waitUntil;

class PostProcessTest : public TranscriptionTestFixture {
public:
    DevService::Answer status(int code, const QByteArray& body = {}) {
        DevService::Answer a;
        a.status = code;
        a.body = body;
        return a;
    }
    DevService::Answer json(const QJsonObject& o) {
        DevService::Answer a;
        a.json = o;
        return a;
    }
    QJsonObject lastBody(const QString& path) {
        const auto got = service.requests(path);
        return got.isEmpty() ? QJsonObject() : QJsonDocument::fromJson(got.last().body).object();
    }
};

TEST_F(PostProcessTest, AnswersAndTheirResults) {
    enum class Throws { nothing, serverError };
    struct Case {
        const char* name;
        std::vector<DevService::Answer> answers;
        QString lenient;  // result of postProcess
        Throws strictThrows;
        int requests;  // per call
    };
    const Case cases[] = {
        {"reworked text as received",
         {json({{"text", " Better. "}})},
         " Better. ",
         Throws::nothing,
         1},
        {"no text", {json({})}, "raw words", Throws::nothing, 1},
        {"blank text", {json({{"text", "\n "}})}, "raw words", Throws::nothing, 1},
        {"refusal", {status(500, "overloaded")}, "raw words", Throws::serverError, 1},
        {"401, refreshed, 401 again",
         {status(401), status(401)},
         "raw words",
         Throws::serverError,
         2},
        {"401, refreshed, then text",
         {status(401), json({{"text", "Done"}})},
         "Done",
         Throws::nothing,
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool strict : {false, true}) {
            SCOPED_TRACE(strict ? "strict" : "lenient");
            const int before = service.requests("/transcribe/postprocess").size();
            for (const auto& a : c.answers) service.queue("/transcribe/postprocess", a);
            auto f = inBackground([&]() -> std::optional<QString> {
                try {
                    return strict
                               ? client().postProcessStrict("raw words", "formal", {}, true, "ru")
                               : client().postProcess("raw words", "formal", {}, true, "ru");
                } catch (const TranscriptionError& e) {
                    EXPECT_EQ(c.strictThrows, Throws::serverError);
                    EXPECT_TRUE(e.errorDescription().startsWith("HTTP "));
                    return std::nullopt;
                }
            });
            const auto result = await(f);
            if (!strict || c.strictThrows == Throws::nothing) {
                EXPECT_EQ(result, c.lenient);
            } else {
                EXPECT_EQ(result, std::nullopt);
            }
            EXPECT_EQ(service.requests("/transcribe/postprocess").size() - before, c.requests);
        }
    }
    // What went out: the keys of the request, absent ones left out.
    const QJsonObject body = lastBody("/transcribe/postprocess");
    EXPECT_EQ(body, (QJsonObject{{"text", "raw words"},
                                 {"tone_style", "formal"},
                                 {"language", "ru"},
                                 {"cultured_filter", true}}));
    EXPECT_TRUE(testsupport::debugLogText().contains("[PostProcess] HTTP 500 — keeping raw text"));
}

TEST_F(PostProcessTest, FailuresOtherThanAStatusAreThrown) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::function<bool(std::exception_ptr)> isExpected;
    };
    const auto is = [](auto* tag) {
        using T = std::remove_pointer_t<decltype(tag)>;
        return [](std::exception_ptr e) {
            try {
                std::rethrow_exception(e);
            } catch (const T&) {
                return true;
            } catch (...) {
                return false;
            }
        };
    };
    const Case cases[] = {
        {"dropped connection",
         [&] {
             DevService::Answer a;
             a.drop = true;
             service.queue("/transcribe/postprocess", a);
         },
         is((HttpError*)nullptr)},
        {"undecodable 200", [&] { service.queue("/transcribe/postprocess", status(200, "[1]")); },
         is((WireDecodingError*)nullptr)},
        {"refresh rejected",
         [&] {
             service.queue("/transcribe/postprocess", status(401));
             refresh = [] {
                 return std::optional(TranscriptionService::Auth::Failure{true, "rejected"});
             };
         },
         is((TranscriptionService::RefreshError*)nullptr)},
        {"no URL", [&] { apiBase = "nowhere"; }, is((TranscriptionError*)nullptr)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        auto f = inBackground([&]() -> std::exception_ptr {
            try {
                client().postProcess("raw", "formal", QString("prompt"), false, "en", true, false);
            } catch (...) {
                return std::current_exception();
            }
            return nullptr;
        });
        const std::exception_ptr error = await(f);
        ASSERT_TRUE(error);
        EXPECT_TRUE(c.isExpected(error));
    }
}

TEST_F(PostProcessTest, BlankTextIsReturnedWithoutARequest) {
    EXPECT_EQ(client().postProcess(" \n\t", "formal", {}, false, "ru"), " \n\t");
    EXPECT_EQ(client().translateArbitraryText("  ", "German", true), "  ");
    EXPECT_TRUE(service.requests().isEmpty());
}

TEST_F(PostProcessTest, TranslationGivesTextOrNothing) {
    using Failure = TranscriptionService::Auth::Failure;
    struct Case {
        const char* name;
        std::vector<DevService::Answer> answers;
        std::optional<QString> result;
        int requests;
    };
    DevService::Answer dropped;
    dropped.drop = true;
    const Case cases[] = {
        {"translated", {json({{"success", true}, {"text", "Hallo"}})}, "Hallo", 1},
        {"success without text", {json({{"success", true}})}, std::nullopt, 1},
        {"failure even with a text",
         {json({{"success", false}, {"text", "Hallo"}, {"error", "x"}})},
         std::nullopt,
         1},
        {"undecodable", {status(200, "{}")}, std::nullopt, 1},
        {"refusal", {status(500)}, std::nullopt, 1},
        {"dropped connection", {dropped}, std::nullopt, 1},
        {"401 retried once even when the refresh fails",
         {status(401), json({{"success", true}, {"text", "Hallo"}})},
         "Hallo",
         2},
        {"401 twice", {status(401), status(401)}, std::nullopt, 2},
    };
    refresh = [] { return std::optional(Failure{false, "offline"}); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = service.requests("/transcribe/translate-text").size();
        for (const auto& a : c.answers) service.queue("/transcribe/translate-text", a);
        auto f =
            inBackground([&] { return client().translateArbitraryText("Hi", "German", true); });
        EXPECT_EQ(await(f), c.result);
        EXPECT_EQ(service.requests("/transcribe/translate-text").size() - before, c.requests);
    }
    EXPECT_EQ(lastBody("/transcribe/translate-text"),
              (QJsonObject{{"text", "Hi"}, {"target_language", "German"}, {"literal", true}}));
    EXPECT_EQ(service.requests("/transcribe/translate-text").last().headers.value("Authorization"),
              "Bearer " + accessToken.toUtf8());
}

TEST_F(PostProcessTest, OverlaySwitchesOnlyForALongStepWhileStillProcessing) {
    struct Case {
        const char* name;
        OverlayState before;
        bool slow;
        OverlayState after;
    };
    const Case cases[] = {
        {"slow while processing", OverlayState::processing, true, OverlayState::postProcessing},
        {"slow, overlay already elsewhere", OverlayState::success, true, OverlayState::success},
        {"quick", OverlayState::processing, false, OverlayState::processing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        overlay.states.clear();
        overlay.current = c.before;
        std::atomic<bool> finish{false};
        auto f = inBackground([&] {
            return client().withPostProcessOverlay([&] {
                while (c.slow && !finish) std::this_thread::yield();
                return 7;
            });
        });
        if (c.slow) {
            // The watcher waits on the injected clock.
            ASSERT_TRUE(waitUntil([&] { return clock.pendingTimers() == 1; }));
            clock.advance(1.4);
            EXPECT_TRUE(overlay.states.empty());
            clock.advance(0.2);
            finish = true;
        }
        EXPECT_EQ(await(f), 7);
        // Whatever was still pending is gone once the step ended.
        ASSERT_TRUE(waitUntil([&] { return clock.pendingTimers() == 0; }));
        clock.advance(5);
        EXPECT_EQ(overlay.current, c.after);
        EXPECT_EQ(overlay.states.size(), c.after == c.before ? 0u : 1u);
    }
}

TEST_F(PostProcessTest, OverlayWatcherPassesErrorsOn) {
    auto f = inBackground([&]() -> bool {
        try {
            client().withPostProcessOverlay([]() -> int { throw std::runtime_error("tone"); });
        } catch (const std::runtime_error&) {
            return true;
        }
        return false;
    });
    EXPECT_TRUE(await(f));
    ASSERT_TRUE(waitUntil([&] { return clock.pendingTimers() == 0; }));
}

}  // namespace
