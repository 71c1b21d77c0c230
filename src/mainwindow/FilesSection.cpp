#include "mainwindow/FilesSection.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUuid>
#include <QVBoxLayout>
#include <atomic>
#include <future>

#include "core/L10n.h"
#include "platform/Pasteboard.h"
#include "platform/PrivateFiles.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "ui/Colors.h"
#include "ui/EmptyState.h"
#include "ui/Icons.h"
#include "ui/Labels.h"
#include "ui/Metrics.h"
#include "ui/RecordList.h"
#include "ui/Texts.h"

namespace {

using FileJob = FileTranscriptionService::FileJob;

FilesSection::FileChooser& chooserSlot() {
    static FilesSection::FileChooser chooser;
    return chooser;
}

std::optional<QString> chooseWithDialog(QWidget* parent) {
    QStringList patterns;
    for (const QString& ext : FilesSection::allowedExtensions())
        patterns << "*." + ext << "*." + ext.toUpper();
    const QString path =
        QFileDialog::getOpenFileName(parent, QString(), QDir::homePath(),
                                     L10n::filesSection() + " (" + patterns.join(' ') + ")");
    if (path.isEmpty()) return std::nullopt;
    return path;
}

}  // namespace

// -------------------------------------------------------------- FileJobRow

QString FileJobRow::statusText(const FileJob& job) {
    if (job.status == QLatin1String("queued")) return L10n::filesStatusQueued();
    if (job.status == QLatin1String("processing"))
        return L10n::filesStatusProcessing() + " " + QString::number(job.progress) + "%";
    if (job.status == QLatin1String("done")) return L10n::filesStatusDone();
    return L10n::filesStatusError();
}

ListRow FileJobRow::describe(const FileJob& job, bool isExpanded) {
    ListRow row;
    row.verticalPadding = Metrics::textGap;
    row.lineSpacing = Metrics::itemGap;
    ListPart name = ListPart::label(job.filename, TextStyle::Body, QFont::DemiBold);
    name.fill = true;
    row.lines << ListLine{
        {name, ListPart::caption(job.formattedDate() + " • " + job.formattedDuration())}};
    ListPart bar;
    bar.kind = ListPart::Kind::progress;
    bar.fill = true;
    bar.value = int(std::clamp<qint64>(job.progress, 0, 100));
    row.lines << ListLine{
        {bar, ListPart::caption(statusText(job)),
         ListPart::textButton(L10n::filesCopy(), copyAction, job.status == QLatin1String("done"))}};
    const QString text = job.displayText();
    if (!text.isEmpty()) {
        ListPart shown = ListPart::label(text);
        shown.fill = true;
        shown.maxLines = isExpanded ? 0 : 2;
        if (job.status == QLatin1String("error")) shown.color = Colors::red();
        row.lines << ListLine{{shown}};
    }
    if (job.status == QLatin1String("done") || job.status == QLatin1String("error"))
        row.clickAction = toggleAction;
    row.accessibleText = job.filename + QStringLiteral(", ") + statusText(job);
    return row;
}

// ------------------------------------------------------------ FilesSection

const QStringList& FilesSection::allowedExtensions() {
    static const QStringList list{"mp3",  "wav",  "m4a", "mp4", "aac", "ogg", "opus",
                                  "flac", "webm", "wma", "amr", "mka", "mkv", "mov"};
    return list;
}

bool FilesSection::isVideo(const QString& path) {
    static const QStringList video{"mp4", "mov", "mkv", "webm"};
    return video.contains(QFileInfo(path).suffix().toLower());
}

void FilesSection::setFileChooser(FileChooser chooser) {
    chooserSlot() = std::move(chooser);
}

FilesSection::FilesSection(const MainWindowContext& context, QWidget* parent)
    : Page(parent),
      m_context(context),
      m_service(context.fileTranscription ? context.fileTranscription
                                          : &FileTranscriptionService::shared()) {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(Metrics::around(Metrics::pageMargin));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(Metrics::tightGap);
    m_title = Labels::create(L10n::filesSection(), TextStyle::Title2, QFont::Bold, this);
    m_hint = Labels::create({}, TextStyle::Caption, this, true);
    m_hint->setWordWrap(true);
    m_quota = Labels::create({}, TextStyle::Caption, this);
    m_quota->setWordWrap(true);
    texts->addWidget(m_title);
    texts->addWidget(m_hint);
    texts->addWidget(m_quota);
    header->addLayout(texts, 1);
    m_select = new QPushButton(this);
    connect(m_select, &QPushButton::clicked, this, &FilesSection::selectFile);
    header->addWidget(m_select, 0, Qt::AlignTop);
    page->addLayout(header);
    page->addWidget(Labels::divider(this));

    m_list = new RecordList(QStringLiteral("music.note.list"), this);
    m_empty = m_list->emptyState();
    m_empty->setTitle(L10n::filesEmpty());
    m_model = new ListRowsModel(this);
    m_list->view()->setModel(m_model);
    connect(m_list->view(), &RecordListView::triggered, this, &FilesSection::triggered);
    page->addWidget(m_list, 1);

    m_pollTimer = new QTimer(this);
    m_pollTimer->setInterval(pollIntervalMs);
    connect(m_pollTimer, &QTimer::timeout, this, &FilesSection::pollTick);

    if (AppState* state = m_context.appState) {
        for (auto signal :
             {&AppState::filesMaxSizeMbChanged, &AppState::filesServiceAvailableChanged,
              &AppState::filesDailyMinutesLimitChanged,
              &AppState::filesDailyMinutesRemainingChanged})
            connect(state, signal, this, &FilesSection::refresh);
    }
    rebuildList();
    refresh();
}

FilesSection::~FilesSection() = default;

void FilesSection::appeared() {
    refresh();
    m_pollTimer->start();
    loadJobs();
}

void FilesSection::disappeared() {
    m_pollTimer->stop();
}

void FilesSection::refresh() {
    const AppState* s = m_context.appState;
    const int maxMb = s ? s->filesMaxSizeMb() : 100;
    const bool available = s ? s->filesServiceAvailable() : true;
    const int limit = s ? s->filesDailyMinutesLimit() : -1;
    const int remaining = s ? s->filesDailyMinutesRemaining() : -1;

    Texts::set(m_title, L10n::filesSection());
    Texts::set(m_hint, L10n::filesHint(maxMb));
    QString quota;
    bool warning = false;
    if (!available) {
        quota = L10n::filesServiceUnavailable();
        warning = true;
    } else if (limit >= 1 && remaining < 1) {
        quota = L10n::filesDailyQuotaExhausted(limit);
        warning = true;
    } else if (limit >= 1) {
        quota = L10n::filesDailyQuotaHint(limit, remaining);
    }
    Texts::set(m_quota, quota);
    m_quota->setVisible(!quota.isEmpty());
    // From the page's palette: the label's own already carries a colour.
    Labels::setTextColor(m_quota, warning ? Colors::orange() : Colors::secondary(palette()));

    if (m_extractingProgress) {
        m_select->setIcon({});
        Texts::set(m_select, L10n::filesExtractingAudio() + " " +
                                 QString::number(int(*m_extractingProgress)) + "%");
    } else if (m_isUploading) {
        m_select->setIcon({});
        Texts::set(m_select, L10n::filesUploading());
    } else {
        m_select->setIcon(
            Icons::icon(QStringLiteral("plus"), m_select->palette().buttonText().color()));
        Texts::set(m_select, L10n::filesSelectFile());
    }
    m_select->setEnabled(!m_isUploading && !m_extractingProgress && available &&
                         !(limit >= 1 && remaining < 1));
    m_empty->setTitle(L10n::filesEmpty());
}

RecordListView* FilesSection::rows() const {
    return m_list->view();
}

void FilesSection::rebuildList() {
    QList<ListRow> rows;
    for (const FileJob& job : m_jobs) {
        ListRow row = FileJobRow::describe(job, m_expandedJobId == job.id);
        row.firstInGroup = rows.isEmpty();
        row.lastInGroup = rows.size() == m_jobs.size() - 1;
        rows << row;
    }
    m_model->setRows(std::move(rows));
    m_list->setShowsEmpty(m_jobs.isEmpty());
}

void FilesSection::toggle(const QString& id) {
    const std::optional<QString> before = m_expandedJobId;
    if (m_expandedJobId == id)
        m_expandedJobId.reset();
    else
        m_expandedJobId = id;
    // Only the rows whose state changed are described again.
    for (int i = 0; i < m_jobs.size(); ++i) {
        const QString& job = m_jobs.at(i).id;
        if (job != before && job != m_expandedJobId) continue;
        ListRow row = FileJobRow::describe(m_jobs.at(i), m_expandedJobId == job);
        row.firstInGroup = i == 0;
        row.lastInGroup = i == m_jobs.size() - 1;
        m_model->setRow(i, std::move(row));
    }
}

void FilesSection::triggered(int row, const QString& action) {
    if (row < 0 || row >= m_jobs.size()) return;
    const FileJob job = m_jobs.at(row);
    if (action == FileJobRow::toggleAction) {
        toggle(job.id);
    } else if (action == FileJobRow::copyAction && job.status == QLatin1String("done")) {
        // Not hidden from the clipboard history: recorded like any copy.
        Pasteboard* board = m_context.pasteboard;
        if (!board) return;
        board->clearContents();
        board->setString(job.text.value_or(QString()));
    }
}

void FilesSection::loadJobs() {
    FileTranscriptionService* service = m_service;
    struct Loaded {
        std::optional<QList<FileJob>> jobs;
        std::optional<FileTranscriptionService::FileLimits> limits;
    };
    auto work = [service] {
        auto limits = std::async(std::launch::async, [service] { return service->getLimits(); });
        Loaded loaded;
        loaded.jobs = service->getJobs();
        loaded.limits = limits.get();
        return loaded;
    };
    runAsync(this, std::move(work), [this](const Loaded& loaded) {
        if (loaded.jobs) {
            m_jobs = *loaded.jobs;
            rebuildList();
        }
        if (loaded.limits && m_context.appState)
            m_context.appState->applyFileLimits(loaded.limits->toAppState());
    });
}

void FilesSection::pollTick() {
    for (const FileJob& job : m_jobs) {
        if (job.status == QLatin1String("queued") || job.status == QLatin1String("processing")) {
            loadJobs();
            return;
        }
    }
}

void FilesSection::selectFile() {
    const FileChooser& chooser = chooserSlot();
    const std::optional<QString> path = chooser ? chooser(this) : chooseWithDialog(this);
    if (!path || path->isEmpty()) return;
    const qint64 limitMb = m_context.appState ? m_context.appState->filesMaxSizeMb() : 100;
    const bool video = isVideo(*path);
    if (!video) {
        const QFileInfo info(*path);
        if (info.exists() && info.size() > FileTranscriptionService::sizeLimitBytes(limitMb)) {
            showError(L10n::filesTooLarge(int(limitMb)));
            return;
        }
    }
    QString language = QStringLiteral("ru");
    if (m_context.settings) {
        if (auto stored = m_context.settings->string(QStringLiteral("recognitionLanguage")))
            language = *stored;
    }
    startUpload(*path, video, limitMb, language);
}

void FilesSection::startUpload(const QString& path, bool video, qint64 limitMb,
                               const QString& language) {
    if (video) setExtracting(0.0);
    QPointer<FilesSection> self(this);
    FileTranscriptionService* service = m_service;
    // The task outlives a rebuilt page: it keeps only what it was given and
    // reaches the page through `self`, which is null once the page is gone.
    struct Uploaded {
        bool tooLarge = false;
        std::optional<QString> error;
    };
    auto work = [self, service, path, video, limitMb, language] {
        QString uploadPath = path;
        QString temporary;
        std::optional<QString> displayName;
        if (video) {
            // Progress that is delivered after the extraction ended is dropped.
            auto extracting = std::make_shared<std::atomic<bool>>(true);
            const std::optional<QByteArray> ogg = FileTranscriptionService::extractOpusAudio(
                path, [self, extracting](double percent) {
                    runOnMain(self, [self, extracting, percent] {
                        if (self && extracting->load()) self->setExtracting(percent);
                    });
                });
            if (ogg && !ogg->isEmpty()) {
                // The sound of what was said stays private while it uploads.
                const QString file =
                    PrivateFiles::writeTemporaryFile(QString(), QStringLiteral(".ogg"), *ogg);
                if (!file.isEmpty()) {
                    uploadPath = temporary = file;
                    displayName = QFileInfo(path).fileName();
                }
            }
            extracting->store(false);
            runOnMain(self, [self] { self->setExtracting(std::nullopt); });
            if (temporary.isEmpty()) {
                const QFileInfo info(path);
                if (info.exists() &&
                    info.size() > FileTranscriptionService::sizeLimitBytes(limitMb))
                    return Uploaded{true, std::nullopt};
            }
        }
        runOnMain(self, [self] { self->setUploading(true); });
        const FileTranscriptionService::UploadResult result =
            service->upload(uploadPath, language, displayName, false);
        if (!temporary.isEmpty()) QFile::remove(temporary);
        return Uploaded{false, result.error};
    };
    runAsync(this, std::move(work), [this, limitMb](const Uploaded& uploaded) {
        if (uploaded.tooLarge) {
            showError(L10n::filesVideoExtractFailedTooLarge(int(limitMb)));
            return;
        }
        setUploading(false);
        if (uploaded.error) showError(*uploaded.error);
        loadJobs();
    });
}

void FilesSection::setExtracting(std::optional<double> percent) {
    m_extractingProgress = percent;
    refresh();
}

void FilesSection::setUploading(bool uploading) {
    m_isUploading = uploading;
    refresh();
}

void FilesSection::showError(const QString& message) {
    m_uploadError = message;
    if (m_alert) m_alert->close();
    auto* box = new QMessageBox(QMessageBox::Warning, L10n::filesStatusError(), message,
                                QMessageBox::Ok, this);
    box->setWindowModality(Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    connect(box, &QMessageBox::finished, this, [this] { m_uploadError.reset(); });
    m_alert = box;
    box->open();
}
