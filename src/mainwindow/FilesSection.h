#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "mainwindow/MainWindowContext.h"
#include "records/FileTranscriptionService.h"
#include "ui/ListRow.h"
#include "ui/Page.h"

class EmptyState;
class ListRowsModel;
class RecordList;
class RecordListView;
class QLabel;
class QMessageBox;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QTimer;
class QVBoxLayout;

// One job of the Files page: name, date and length, a progress bar, the
// status, a Copy button for a finished transcript and the text itself (two
// lines until the row is expanded). A click anywhere on a finished or
// failed row toggles it.
namespace FileJobRow {
inline const QString copyAction = QStringLiteral("copy");
inline const QString toggleAction = QStringLiteral("toggle");
QString statusText(const FileTranscriptionService::FileJob& job);
ListRow describe(const FileTranscriptionService::FileJob& job, bool isExpanded);
}  // namespace FileJobRow

// The Files page: the user's limits, a button that sends an audio or video
// file (a video's sound is extracted first), and the list of the user's
// jobs, reloaded every 3 s while one is queued or processing. An upload or
// extraction under way finishes even when the page is rebuilt; it then
// touches only the page it started from, if that still exists.
class FilesSection : public Page {
    Q_OBJECT
public:
    static constexpr int pollIntervalMs = 3000;
    // The extensions the picker offers, in order (both letter cases are
    // accepted).
    static const QStringList& allowedExtensions();
    static bool isVideo(const QString& path);

    FilesSection(const MainWindowContext& context, QWidget* parent = nullptr);
    ~FilesSection() override;

    void appeared() override;
    void disappeared() override;
    void refresh() override;

    // The picker: the application's is a file dialog; tests answer it.
    // Nothing: the user cancelled.
    using FileChooser = std::function<std::optional<QString>(QWidget* parent)>;
    static void setFileChooser(FileChooser chooser);

    // The select button's action.
    void selectFile();
    // Reloads the jobs and the limits.
    void loadJobs();
    // One poll tick: reloads when a job is queued or processing.
    void pollTick();

    // What the page shows, for tests.
    const QList<FileTranscriptionService::FileJob>& jobs() const { return m_jobs; }
    QPushButton* selectButton() const { return m_select; }
    QLabel* quotaLabel() const { return m_quota; }
    QLabel* hintLabel() const { return m_hint; }
    std::optional<double> extractingProgress() const { return m_extractingProgress; }
    bool isUploading() const { return m_isUploading; }
    std::optional<QString> uploadError() const { return m_uploadError; }
    RecordListView* rows() const;
    QTimer* pollTimer() const { return m_pollTimer; }

private:
    void startUpload(const QString& path, bool video, qint64 limitMb, const QString& language);
    void setExtracting(std::optional<double> percent);
    void setUploading(bool uploading);
    void showError(const QString& message);
    void rebuildList();
    void toggle(const QString& id);
    void triggered(int row, const QString& action);

    MainWindowContext m_context;
    FileTranscriptionService* m_service;
    QList<FileTranscriptionService::FileJob> m_jobs;
    bool m_isUploading = false;
    std::optional<double> m_extractingProgress;
    std::optional<QString> m_expandedJobId;
    std::optional<QString> m_uploadError;

    QLabel* m_title = nullptr;
    QLabel* m_hint = nullptr;
    QLabel* m_quota = nullptr;
    QPushButton* m_select = nullptr;
    RecordList* m_list = nullptr;
    ListRowsModel* m_model = nullptr;
    EmptyState* m_empty = nullptr;
    QTimer* m_pollTimer = nullptr;
    QPointer<QMessageBox> m_alert;
};
