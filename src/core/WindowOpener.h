#pragma once

#include <QString>

// The application's windows as pages and services may ask for them, without
// knowing the shell that owns them. The shell installs itself with
// setShared() at start-up; before that (and in tests that install nothing)
// shared() is null and callers do nothing.
class WindowOpener {
public:
    virtual ~WindowOpener() = default;

    virtual void openMainWindow() = 0;
    virtual void showLoginWindow() = 0;
    virtual void showOnboardingWindow() = 0;
    // The text editor, for administrators only.
    virtual void openEditorWindow() = 0;
    // The prompt editor of a built-in tone, in a window titled `title`.
    virtual void openBuiltinStyleEditor(const QString& tone, const QString& title) = 0;
    // The main window with its Settings section.
    virtual void openSettings() = 0;
    // Called after a window of ours went away or was hidden.
    virtual void restoreAccessoryModeIfNeeded() = 0;

    static WindowOpener* shared() { return instance(); }
    static void setShared(WindowOpener* opener) { instance() = opener; }

private:
    static WindowOpener*& instance() {
        static WindowOpener* opener = nullptr;
        return opener;
    }
};
