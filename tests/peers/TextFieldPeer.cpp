// A text field in a process of its own, for tests that type into "another
// application". It prints "window <id>" once shown, "focused" when its window
// gets the keyboard focus and "unfocused" when it loses it, and
// "text <contents>" after every change, one line each, contents
// percent-encoded so a line stays one line. ORMIL_PEER_APP_ID, when set, is
// its desktop entry id (a Wayland window's app id).
#include <QApplication>
#include <QLineEdit>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>
#include <cstdio>

namespace {
void say(const QByteArray& line) {
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("ORMIL_PEER_APP_ID"))
        QGuiApplication::setDesktopFileName(qEnvironmentVariable("ORMIL_PEER_APP_ID"));
    QWidget window;
    window.setWindowTitle("Text field peer");
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit(&window);
    layout->addWidget(edit);
    window.resize(400, 60);
    QObject::connect(edit, &QLineEdit::textChanged,
                     [](const QString& text) { say("text " + QUrl::toPercentEncoding(text)); });
    QObject::connect(&app, &QGuiApplication::focusWindowChanged,
                     [](QWindow* w) { say(w ? "focused" : "unfocused"); });
    window.show();
    edit->setFocus();
    say("window " + QByteArray::number(static_cast<qulonglong>(window.winId())));
    return app.exec();
}
