// The updater's alerts and its small progress window.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include "core/L10n.h"
#include "app/UpdateService.h"

namespace {

class WidgetPresenter : public UpdatePresenter {
public:
    ~WidgetPresenter() override { closeProgress(); }

    bool offerUpdate(const QString& title, const QString& text) override {
        QMessageBox box(QMessageBox::Information, title, title);
        box.setInformativeText(text);
        QPushButton* now = box.addButton(L10n::updateNow(), QMessageBox::AcceptRole);
        box.addButton(L10n::updateLater(), QMessageBox::RejectRole);
        box.setDefaultButton(now);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.exec();
        return box.clickedButton() == now;
    }

    void showInfo(const QString& text) override {
        plain(QMessageBox::Information, QStringLiteral("Software Update"), text);
    }

    void showError(const QString& text) override {
        plain(QMessageBox::Warning, QStringLiteral("Update Failed"), text);
    }

    void showProgress(const QString& title, const QString& status) override {
        closeProgress();
        // Titled only: no close, minimise or resize control.
        auto* window = new QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint |
                                                Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(title);
        window->setFixedSize(340, 100);
        auto* label = new QLabel(status, window);
        label->setObjectName(QStringLiteral("updateStatus"));
        label->setGeometry(20, 100 - 55 - 20, 300, 20);
        QFont font = label->font();
        font.setPixelSize(13);
        label->setFont(font);
        auto* bar = new QProgressBar(window);
        bar->setGeometry(20, 100 - 30 - 20, 300, 20);
        bar->setRange(0, 0);  // indeterminate, animating
        bar->setTextVisible(false);
        if (QScreen* screen = QGuiApplication::primaryScreen())
            window->move(screen->availableGeometry().center() - window->rect().center());
        window->show();
        window->raise();
        window->activateWindow();
        m_window = window;
        m_label = label;
    }

    void setProgressStatus(const QString& status) override {
        if (m_label && m_label->text() != status) m_label->setText(status);
    }

    void closeProgress() override {
        if (m_window) m_window->close();
        m_window = nullptr;
        m_label = nullptr;
    }

private:
    static void plain(QMessageBox::Icon icon, const QString& title, const QString& text) {
        QMessageBox box(icon, title, title, QMessageBox::Ok);
        box.setInformativeText(text);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.exec();
    }

    QPointer<QWidget> m_window;
    QPointer<QLabel> m_label;
};

}  // namespace

std::unique_ptr<UpdatePresenter> UpdatePresenter::createWidgets() {
    return std::make_unique<WidgetPresenter>();
}
