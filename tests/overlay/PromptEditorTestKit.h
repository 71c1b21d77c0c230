#pragma once

#include <QString>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include "overlay/PromptEditorModel.h"
#include "pipeline/BuiltinTonePromptStore.h"
#include "platform/SettingsStore.h"

// A translator whose requests wait until the test answers them.
struct FakeTranslator {
    struct Request {
        QString text;
        QString target;
        PromptEditorModel::TranslationDone done;
    };
    std::vector<Request> requests;

    PromptEditorModel::Translator fn() {
        return [this](const QString& text, const QString& target,
                      PromptEditorModel::TranslationDone done) {
            requests.push_back({text, target, std::move(done)});
        };
    }
    void reply(size_t index, std::optional<QString> result) {
        requests.at(index).done(std::move(result));
    }
};

// An in-memory settings store shared by the tone prompt store and L10n for
// the test's lifetime, with a counter of settings pushes.
struct PromptSettings {
    SettingsStore settings;
    // Pushes run on worker threads that may outlive the test's objects.
    std::shared_ptr<std::atomic<int>> pushes = std::make_shared<std::atomic<int>>(0);

    PromptSettings() {
        SettingsStore::setSharedForTesting(&settings);
        BuiltinTonePromptStore::Collaborators c;
        c.settings = &settings;
        c.pushSettings = [p = pushes] { ++*p; };
        BuiltinTonePromptStore::setCollaborators(c);
    }
    ~PromptSettings() {
        BuiltinTonePromptStore::setCollaborators({});
        SettingsStore::setSharedForTesting(nullptr);
    }
    void setLanguage(const QString& lang) { settings.set("interfaceLanguage", lang); }
};

#include <QCoreApplication>
#include <QDir>
#include <QWidget>

// Saves what the widget shows under build/artifacts for a look; settle
// first lets pending layout requests run.
inline void saveScreenshot(QWidget& widget, const QString& name, bool settle = true) {
    QDir dir(QCoreApplication::applicationDirPath() + "/../../artifacts");
    dir.mkpath(".");
    for (int i = 0; settle && i < 3; ++i) QCoreApplication::processEvents();
    widget.grab().save(dir.filePath(name + ".png"));
}
