// The Files page against the stand-in: the quota line and the button, the
// size check before any request, a video's sound uploaded under its name,
// the poll rule, rows, and a page rebuilt while its upload runs.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <vector>

#include "MainWindowFixture.h"
#include "core/L10n.h"
#include "mainwindow/FilesSection.h"
#include "platform/PrivateFiles.h"
#include "service/HttpClient.h"
#include "support/DevService.h"
#include "support/ListProbe.h"
#include "support/Screenshots.h"
#include "support/VirtualMic.h"

namespace {

class FilesPage : public MainWindowFixture {
protected:
    FilesPage() {
        tokens = stand.createSignedInAccount({{"email", "files@ormil.test"}, {"password", "p"}});
        FileTranscriptionService::Collaborators c;
        c.http = &HttpClient::shared();
        c.apiBase = [base = stand.baseUrl()] { return base; };
        c.accessToken = [token = tokens.access]() -> std::optional<QString> { return token; };
        c.refresh = [] {};
        // Lives as long as the process, as the application's does: a page's
        // request may still be on its way when the test ends.
        // Kept in a list that is never freed, so that it is not a leak.
        static auto* services = new std::vector<FileTranscriptionService*>;
        context.fileTranscription = new FileTranscriptionService(std::move(c));
        services->push_back(context.fileTranscription);
        SettingsStore::shared().set("recognitionLanguage", QString("de"));
    }
    ~FilesPage() override { FilesSection::setFileChooser({}); }

    std::unique_ptr<FilesSection> open() {
        auto page = std::make_unique<FilesSection>(context);
        page->resize(720, 480);
        page->show();
        page->notifyAppeared();
        return page;
    }
    void choose(const QString& path) {
        FilesSection::setFileChooser([path](QWidget*) { return std::optional<QString>(path); });
    }
    void advance() {
        HttpClient http(Clock::system());
        HttpRequest r;
        r.method = "POST";
        r.url = stand.url("/__control/files/advance");
        r.body = "{}";
        ASSERT_EQ(http.send(r).status, 200);
    }
    int listRequests() { return stand.requests("/transcribe-file/list").size(); }
    static QString makeClip(const QString& name) {
        const QString wav = testsupport::root() + "/speech.wav";
        testsupport::writeFile(wav, VirtualMic::speechWav("a short clip for the files page"));
        const QString out = testsupport::root() + "/" + name;
        int code = -1;
        testsupport::runProgram("ffmpeg",
                                {"-y", "-loglevel", "error", "-f", "lavfi", "-i",
                                 "testsrc=size=64x48:rate=10:duration=3", "-i", wav, "-c:v",
                                 "mpeg4", "-c:a", "aac", "-f", "mov", out},
                                &code);
        EXPECT_EQ(code, 0);
        return out;
    }
    // The extracted sounds: in the application's private temporary folder,
    // none in the shared one.
    static QStringList oggInTemp() {
        return QDir(PrivateFiles::temporaryDirectory()).entryList({"*.ogg"}, QDir::Files) +
               QDir(QDir::tempPath()).entryList({"*.ogg"}, QDir::Files);
    }

    DevService stand;
    DevService::Tokens tokens;
};

}  // namespace

TEST_F(FilesPage, QuotaLineAndButtonFollowTheLimits) {
    auto page = open();
    struct Case {
        bool available;
        int limit;
        int remaining;
        QString quota;
        bool enabled;
    };
    const Case cases[] = {
        {true, -1, -1, "", true},
        {true, 0, 0, "", true},
        {true, 30, 0, "Daily limit of 30 min reached. Resets at 00:00 UTC.", false},
        {true, 30, 12, L10n::filesDailyQuotaHint(30, 12), true},
        {false, 30, 12, L10n::filesServiceUnavailable(), false},
        {false, -1, -1, L10n::filesServiceUnavailable(), false},
    };
    for (const Case& c : cases) {
        appState.setFilesServiceAvailable(c.available);
        appState.setFilesDailyMinutesLimit(c.limit);
        appState.setFilesDailyMinutesRemaining(c.remaining);
        EXPECT_EQ(page->quotaLabel()->text(), c.quota) << c.limit << "/" << c.remaining;
        EXPECT_EQ(page->quotaLabel()->isVisible(), !c.quota.isEmpty());
        EXPECT_EQ(page->selectButton()->isEnabled(), c.enabled) << c.limit << "/" << c.remaining;
    }
    EXPECT_EQ(page->hintLabel()->text(), L10n::filesHint(100));
    // The limits the page loads reach the state (the stand-in's defaults).
    EXPECT_TRUE(testsupport::waitUntil([&] { return appState.filesDailyMinutesLimit() == 60; }));
    EXPECT_TRUE(appState.filesServiceAvailable());
    EXPECT_EQ(page->quotaLabel()->text(), L10n::filesDailyQuotaHint(60, 60));
}

TEST_F(FilesPage, LargeAudioIsRefusedBeforeAnyRequest) {
    const QString big = testsupport::root() + "/big.mp3";
    {
        QFile file(big);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(150LL * 1048576));  // sparse
    }
    auto page = open();
    ASSERT_TRUE(testsupport::waitUntil([&] { return listRequests() == 1; }));
    choose(big);
    page->selectFile();
    EXPECT_EQ(page->uploadError(), L10n::filesTooLarge(100));
    auto* box = page->findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), L10n::filesStatusError());
    EXPECT_EQ(box->text(), L10n::filesTooLarge(100));
    box->button(QMessageBox::Ok)->click();
    EXPECT_FALSE(page->uploadError());
    testsupport::processEvents(50);
    EXPECT_TRUE(stand.requests("/transcribe-file").isEmpty());
    EXPECT_EQ(listRequests(), 1);

    // A cancelled picker changes nothing.
    FilesSection::setFileChooser([](QWidget*) { return std::optional<QString>(); });
    page->selectFile();
    EXPECT_FALSE(page->uploadError());
}

TEST_F(FilesPage, VideoSoundIsUploadedUnderTheVideosName) {
    if (QStandardPaths::findExecutable("ffmpeg").isEmpty()) GTEST_SKIP() << "ffmpeg is missing";
    const QString clip = makeClip("CLIP.MOV");
    const QStringList oggBefore = oggInTemp();
    auto page = open();
    ASSERT_TRUE(testsupport::waitUntil([&] { return listRequests() == 1; }));
    stand.hold("/transcribe-file");
    choose(clip);
    page->selectFile();
    EXPECT_TRUE(page->extractingProgress().has_value());
    EXPECT_FALSE(page->selectButton()->isEnabled());
    testsupport::saveScreenshot(page.get(), "files-extracting");
    ASSERT_TRUE(testsupport::waitUntil([&] { return page->isUploading(); }));
    EXPECT_FALSE(page->extractingProgress());
    EXPECT_EQ(page->selectButton()->text(), L10n::filesUploading());
    // What was said is readable by this user only while it uploads.
    const QStringList extracted =
        QDir(PrivateFiles::temporaryDirectory()).entryList({"*.ogg"}, QDir::Files);
    ASSERT_EQ(extracted.size(), oggBefore.size() + 1) << extracted.join(", ").toStdString();
    EXPECT_TRUE(QDir(QDir::tempPath()).entryList({"*.ogg"}, QDir::Files).isEmpty());
    for (const QString& name : extracted) {
        EXPECT_TRUE(QRegularExpression("^[0-9A-F-]{36}\\.ogg$").match(name).hasMatch())
            << name.toStdString();
        EXPECT_EQ(QFileInfo(PrivateFiles::temporaryDirectory() + "/" + name).permissions(),
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                      QFileDevice::WriteUser);
    }
    testsupport::saveScreenshot(page.get(), "files-uploading");
    stand.release();

    ASSERT_TRUE(testsupport::waitUntil([&] { return page->jobs().size() == 1; }));
    EXPECT_FALSE(page->isUploading());
    EXPECT_EQ(page->selectButton()->text(), L10n::filesSelectFile());
    const auto sent = stand.requests("/transcribe-file");
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].formField("language"), "de");
    EXPECT_TRUE(sent[0].body.contains("filename=\"CLIP.MOV\"\r\n"));
    EXPECT_TRUE(sent[0].body.contains("OggS"));
    EXPECT_LT(sent[0].body.size(), QFileInfo(clip).size());
    EXPECT_EQ(oggInTemp(), oggBefore);  // the extracted sound is gone
    EXPECT_EQ(FileJobRow::statusText(page->jobs().at(0)), L10n::filesStatusQueued());

    // Polling runs while a job is queued or processing, and stops after.
    int before = listRequests();
    advance();  // processing
    page->pollTick();
    ASSERT_TRUE(testsupport::waitUntil([&] { return listRequests() == before + 1; }));
    ASSERT_TRUE(testsupport::waitUntil([&] { return page->jobs().at(0).status == "processing"; }));
    EXPECT_EQ(FileJobRow::statusText(page->jobs().at(0)), L10n::filesStatusProcessing() + " 50%");
    advance();  // done
    page->pollTick();
    ASSERT_TRUE(testsupport::waitUntil([&] { return page->jobs().at(0).status == "done"; }));
    before = listRequests();
    page->pollTick();
    page->pollTick();
    testsupport::processEvents(100);
    EXPECT_EQ(listRequests(), before);
    EXPECT_EQ(page->pollTimer()->interval(), 3000);
    EXPECT_TRUE(page->pollTimer()->isActive());

    RecordListView* list = page->rows();
    EXPECT_TRUE(listprobe::part(listprobe::row(list, 0), FileJobRow::copyAction)->enabled);
    ASSERT_TRUE(listprobe::clickAction(list, 0, FileJobRow::copyAction));
    EXPECT_EQ(pasteboard.string(), "Stand-in transcript of CLIP.MOV.");
    // A click on the transcript itself expands the row, a second collapses it.
    const auto transcriptLines = [&] {
        const ListRow row = listprobe::row(list, 0);
        return row.lines.size() < 3 ? -1 : row.lines[2].parts[0].maxLines;
    };
    const auto clickTranscript = [&] {
        for (const PlacedPart& p : list->placement(0).parts)
            if (p.part.text == "Stand-in transcript of CLIP.MOV.")
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, p.rect.center());
    };
    ASSERT_EQ(transcriptLines(), 2);
    clickTranscript();
    EXPECT_EQ(transcriptLines(), 0);
    clickTranscript();
    EXPECT_EQ(transcriptLines(), 2);
    testsupport::saveScreenshot(page.get(), "files-done");
    page->notifyDisappeared();
    EXPECT_FALSE(page->pollTimer()->isActive());
}

TEST_F(FilesPage, RowsToggleOnlyWhenFinished) {
    auto page = open();
    FileTranscriptionService::FileJob done;
    done.id = "a";
    done.status = "done";
    done.filename = "a.mp3";
    FileTranscriptionService::FileJob failed = done;
    failed.id = "b";
    failed.status = "error";
    failed.error = "Too quiet";
    FileTranscriptionService::FileJob working = done;
    working.id = "c";
    working.status = "processing";
    working.progress = 45;
    FileTranscriptionService::FileJob odd = done;
    odd.id = "d";
    odd.status = "paused";
    odd.text = "partial";

    struct Case {
        const FileTranscriptionService::FileJob* job;
        QString status;
        bool copy;
        bool toggles;
        QString text;
    };
    const Case cases[] = {
        {&done, L10n::filesStatusDone(), true, true, ""},
        {&failed, L10n::filesStatusError(), false, true, "Too quiet"},
        {&working, L10n::filesStatusProcessing() + " 45%", false, false, ""},
        {&odd, L10n::filesStatusError(), false, false, "partial"},
    };
    for (const Case& c : cases) {
        const ListRow row = FileJobRow::describe(*c.job, false);
        EXPECT_EQ(FileJobRow::statusText(*c.job), c.status) << c.job->status.toStdString();
        EXPECT_TRUE(listprobe::texts(row).contains(c.status));
        EXPECT_EQ(listprobe::part(row, FileJobRow::copyAction)->enabled, c.copy);
        EXPECT_EQ(row.clickAction == FileJobRow::toggleAction, c.toggles);
        EXPECT_EQ(row.lines.size() == 3 ? row.lines[2].parts[0].text : QString(), c.text);
    }
}

TEST_F(FilesPage, ARebuiltPageLetsItsUploadFinishAlone) {
    if (QStandardPaths::findExecutable("ffmpeg").isEmpty()) GTEST_SKIP() << "ffmpeg is missing";
    const QString clip = makeClip("talk.mp4");
    const QStringList oggBefore = oggInTemp();
    auto page = open();
    ASSERT_TRUE(testsupport::waitUntil([&] { return listRequests() == 1; }));
    stand.hold("/transcribe-file");
    choose(clip);
    page->selectFile();
    ASSERT_TRUE(testsupport::waitUntil([&] { return page->isUploading(); }));
    page->notifyDisappeared();
    page.reset();  // the frame deletes the page
    stand.release();
    ASSERT_TRUE(testsupport::waitUntil([&] { return oggInTemp() == oggBefore; }));
    EXPECT_EQ(stand.requests("/transcribe-file").size(), 1);
    // The new page lists the job.
    auto again = open();
    EXPECT_TRUE(testsupport::waitUntil([&] { return again->jobs().size() == 1; }));
    EXPECT_EQ(again->jobs().at(0).filename, "talk.mp4");
}

// The Files list with many jobs, long names and long transcripts, in
// English and Russian: build/artifacts/list-files-*.png.
TEST_F(FilesPage, ListScreenshots) {
    const QString link = "https://ormil.test/share/" + QString("a1b2c3d4e5f6").repeated(20);
    const QStringList transcripts = {
        "Привет! Встреча переносится на пятницу, в десять утра. Возьми, пожалуйста, отчёт по "
        "бюджету и список вопросов к клиенту, чтобы мы успели всё обсудить до обеда.",
        link, "Short note."};
    const QStringList statuses = {"done", "error", "processing", "queued"};
    QJsonArray jobs;
    for (int i = 0; i < 24; ++i) {
        QJsonObject job{{"id", QString::number(i)},
                        {"status", statuses.at(i % 4)},
                        {"progress", i % 4 == 2   ? 45
                                     : i % 4 == 0 ? 100
                                                  : 0},
                        {"filename", i % 5 == 1 ? "interview_" + QString(120, 'x') + ".mp4"
                                                : QString("meeting-%1.m4a").arg(i)},
                        {"duration_seconds", 60 + i * 37},
                        {"created_at", "2026-03-10T09:15:00Z"}};
        if (i % 4 == 0) job["text"] = transcripts.at(i % 3);
        if (i % 4 == 1) job["error"] = "Audio is too quiet: " + link;
        jobs.append(job);
    }
    DevService::Answer list;
    list.json = QJsonObject{{"jobs", jobs}};
    list.count = 100;
    stand.queue("/transcribe-file/list", list);
    for (const char* language : {"en", "ru"}) {
        setLanguage(language);
        auto page = open();
        ASSERT_TRUE(testsupport::waitUntil([&] { return page->jobs().size() == 24; }));
        // The first job's transcript expanded.
        page->rows()->trigger(0, FileJobRow::toggleAction);
        testsupport::processEvents();
        EXPECT_FALSE(testsupport::saveScreenshot(page.get(), QString("list-files-%1").arg(language))
                         .isEmpty());
        page->notifyDisappeared();
    }
}
