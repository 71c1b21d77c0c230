#include "mainwindow/ConfirmDeletion.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include "core/L10n.h"
#include "platform/DebugLog.h"
#include "platform/Threading.h"

namespace {

std::function<bool(const QString&)>& handler() {
    static std::function<bool(const QString&)> h;
    return h;
}

// The key window, else the first visible window of ours.
QWidget* parentWindow() {
    if (QWidget* active = QApplication::activeWindow()) return active;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->isWindow() && !w->inherits("QMenu")) return w;
    return nullptr;
}

// The codes the alert answers with: the first button 1000, the second 1001.
constexpr int kDeleteCode = 1000;
constexpr int kCancelCode = 1001;

}  // namespace

void setConfirmDeletionHandler(std::function<bool(const QString&)> h) { handler() = std::move(h); }

bool confirmDeletion(const QString& message) {
    ORMIL_ASSERT_MAIN_THREAD();
    int code = kCancelCode;
    if (handler()) {
        code = handler()(message) ? kDeleteCode : kCancelCode;
    } else {
        QWidget* parent = parentWindow();
        QMessageBox box(parent);
        box.setIcon(QMessageBox::Warning);
        box.setWindowTitle(QStringLiteral("Ormil"));
        box.setText(message);
        box.setInformativeText(L10n::deleteCannotBeUndone());
        QPushButton* del = box.addButton(L10n::delete_(), QMessageBox::DestructiveRole);
        QPushButton* cancel = box.addButton(L10n::cancel(), QMessageBox::RejectRole);
        // Neither button is the default: Return must not delete.
        for (QPushButton* b : {del, cancel}) {
            b->setAutoDefault(false);
            b->setDefault(false);
        }
        box.setEscapeButton(cancel);
        if (parent) {
            parent->raise();
            parent->activateWindow();
        } else {
            box.setWindowFlag(Qt::WindowStaysOnTopHint);
        }
        box.exec();
        code = box.clickedButton() == del ? kDeleteCode : kCancelCode;
    }
    const bool result = code == kDeleteCode;
    debugLog(QStringLiteral("[UI] Подтверждение удаления: %1 (код %2)")
                 .arg(result ? QStringLiteral("УДАЛИТЬ") : QStringLiteral("отмена"))
                 .arg(code));
    return result;
}
