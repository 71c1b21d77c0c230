#pragma once

#include <QString>
#include <vector>

#include "pipeline/BuiltinTonePromptStore.h"
#include "platform/SettingsStore.h"
#include "windows/TextEditorModel.h"

// A post-processor whose requests wait until the test answers them.
struct FakePostProcessor {
    struct Call {
        TextEditorModel::PostProcessRequest request;
        std::function<void(TextEditorModel::PostProcessOutcome)> done;
    };
    std::vector<Call> calls;

    TextEditorModel::PostProcessor fn() {
        return [this](const TextEditorModel::PostProcessRequest& r,
                      std::function<void(TextEditorModel::PostProcessOutcome)> done) {
            calls.push_back({r, std::move(done)});
        };
    }
    void succeed(size_t i, const QString& text) { calls.at(i).done({text, {}}); }
    void fail(size_t i, const QString& error) { calls.at(i).done({std::nullopt, error}); }
};

// One in-memory settings store for the editor, the tone prompt store and
// the interface texts, for the test's lifetime.
struct EditorSettings {
    SettingsStore settings;

    EditorSettings() {
        SettingsStore::setSharedForTesting(&settings);
        BuiltinTonePromptStore::Collaborators c;
        c.settings = &settings;
        BuiltinTonePromptStore::setCollaborators(c);
    }
    ~EditorSettings() {
        BuiltinTonePromptStore::setCollaborators({});
        SettingsStore::setSharedForTesting(nullptr);
    }
};
