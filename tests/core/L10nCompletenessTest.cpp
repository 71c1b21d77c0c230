#include <gtest/gtest.h>

#include <QRegularExpression>
#include <functional>
#include <set>

#include "core/L10n.h"
#include "platform/SettingsStore.h"

namespace {

const char* const kLanguages[] = {"en", "ru", "es", "fr", "de", "tr", "it", "pt",
                                  "pl", "uk", "ja", "ko", "zh", "hi", "ar"};
// The style prompt editor is translated only into these; the others show English.
const std::set<QString> kPromptEditorLanguages = {"en", "ru", "es", "fr", "de", "tr"};

struct Key {
    const char* name;
    QString (*text)();
    bool promptEditorOnly;
};

const Key kKeys[] = {
    {"openOrmil", &L10n::openOrmil, false},
    {"pasteLastTranscription", &L10n::pasteLastTranscription, false},
    {"recentTranscriptions", &L10n::recentTranscriptions, false},
    {"clipboardHistoryMenu", &L10n::clipboardHistoryMenu, false},
    {"settings", &L10n::settings, false},
    {"checkForUpdates", &L10n::checkForUpdates, false},
    {"quitOrmil", &L10n::quitOrmil, false},
    {"clipboardEmptyShort", &L10n::clipboardEmptyShort, false},
    {"noRecentTranscriptions", &L10n::noRecentTranscriptions, false},
    {"processing", &L10n::processing, false},
    {"recording", &L10n::recording, false},
    {"sessionExpiredTitle", &L10n::sessionExpiredTitle, false},
    {"sessionExpiredText", &L10n::sessionExpiredText, false},
    {"desktopHotkeysMissingTitle", &L10n::desktopHotkeysMissingTitle, false},
    {"desktopHotkeysMissingText", &L10n::desktopHotkeysMissingText, false},
    {"desktopHotkeysRefusedTitle", &L10n::desktopHotkeysRefusedTitle, false},
    {"desktopHotkeysRefusedText", &L10n::desktopHotkeysRefusedText, false},
    {"desktopShortcutCaption", &L10n::desktopShortcutCaption, false},
    {"desktopShortcutNotBound", &L10n::desktopShortcutNotBound, false},
    {"loneModifierWayland", &L10n::loneModifierWayland, false},
    {"hotkeyCommandsCaption", &L10n::hotkeyCommandsCaption, false},
    {"hotkeyNotOnThisDesktop", &L10n::hotkeyNotOnThisDesktop, false},
    {"voiceToText", &L10n::voiceToText, false},
    {"nothingHeardTitle", &L10n::nothingHeardTitle, false},
    {"nothingHeardHint", &L10n::nothingHeardHint, false},
    {"tooShortTitle", &L10n::tooShortTitle, false},
    {"tooShortHint", &L10n::tooShortHint, false},
    {"remotePasteTitle", &L10n::remotePasteTitle, false},
    {"remotePasteHint", &L10n::remotePasteHint, false},
    {"usage", &L10n::usage, false},
    {"logout", &L10n::logout, false},
    {"wordsThisWeek", &L10n::wordsThisWeek, false},
    {"notSignedIn", &L10n::notSignedIn, false},
    {"signInToSync", &L10n::signInToSync, false},
    {"loginRegister", &L10n::loginRegister, false},
    {"settingsTabApp", &L10n::settingsTabApp, false},
    {"about", &L10n::about, false},
    {"backend", &L10n::backend, false},
    {"version", &L10n::version, false},
    {"launchAtLogin", &L10n::launchAtLogin, false},
    {"sendErrorReports", &L10n::sendErrorReports, false},
    {"sendErrorReportsDesc", &L10n::sendErrorReportsDesc, false},
    {"settingsTabAudio", &L10n::settingsTabAudio, false},
    {"audio", &L10n::audio, false},
    {"soundFeedback", &L10n::soundFeedback, false},
    {"showOverlay", &L10n::showOverlay, false},
    {"hideOverlayIdle", &L10n::hideOverlayIdle, false},
    {"autoSwitchLayout", &L10n::autoSwitchLayout, false},
    {"audioNormalization", &L10n::audioNormalization, false},
    {"duckLevel", &L10n::duckLevel, false},
    {"volume", &L10n::volume, false},
    {"microphone", &L10n::microphone, false},
    {"systemDefault", &L10n::systemDefault, false},
    {"audioQualityDesc", &L10n::audioQualityDesc, false},
    {"audioQuality", &L10n::audioQuality, false},
    {"audioQualityFast", &L10n::audioQualityFast, false},
    {"audioQualityBalanced", &L10n::audioQualityBalanced, false},
    {"audioQualityHigh", &L10n::audioQualityHigh, false},
    {"audioQualityBest", &L10n::audioQualityBest, false},
    {"audioDucking", &L10n::audioDucking, false},
    {"duckNone", &L10n::duckNone, false},
    {"duckPartial", &L10n::duckPartial, false},
    {"duckFull", &L10n::duckFull, false},
    {"settingsTabText", &L10n::settingsTabText, false},
    {"transcription", &L10n::transcription, false},
    {"perAppStyles", &L10n::perAppStyles, false},
    {"language", &L10n::language, false},
    {"recognitionLanguage", &L10n::recognitionLanguage, false},
    {"interfaceLanguage", &L10n::interfaceLanguage, false},
    {"perAppStylesHint", &L10n::perAppStylesHint, false},
    {"perAppAddRunning", &L10n::perAppAddRunning, false},
    {"toneNone", &L10n::toneNone, false},
    {"toneNeutral", &L10n::toneNeutral, false},
    {"toneReadable", &L10n::toneReadable, false},
    {"toneConcise", &L10n::toneConcise, false},
    {"toneSummary", &L10n::toneSummary, false},
    {"toneTheses", &L10n::toneTheses, false},
    {"toneFormal", &L10n::toneFormal, false},
    {"replaceProfanityHint", &L10n::replaceProfanityHint, false},
    {"replaceProfanity", &L10n::replaceProfanity, false},
    {"toneStyle", &L10n::toneStyle, false},
    {"editTonePromptHint", &L10n::editTonePromptHint, true},
    {"settingsTabKeys", &L10n::settingsTabKeys, false},
    {"hotkey", &L10n::hotkey, false},
    {"translateHotkey", &L10n::translateHotkey, false},
    {"pasteLastHotkey", &L10n::pasteLastHotkey, false},
    {"pasteLastHotkeyDesc", &L10n::pasteLastHotkeyDesc, false},
    {"changeHotkey", &L10n::changeHotkey, false},
    {"cancel", &L10n::cancel, false},
    {"currentHotkey", &L10n::currentHotkey, false},
    {"notSet", &L10n::notSet, false},
    {"pressAnyKey", &L10n::pressAnyKey, false},
    {"translateHotkeyDesc", &L10n::translateHotkeyDesc, false},
    {"translateTo", &L10n::translateTo, false},
    {"reset", &L10n::reset, false},
    {"openWindowOnLaunch", &L10n::openWindowOnLaunch, false},
    {"openWindowOnLaunchDesc", &L10n::openWindowOnLaunchDesc, false},
    {"pressAndHold", &L10n::pressAndHold, false},
    {"pushToTalkDesc", &L10n::pushToTalkDesc, false},
    {"toggleRecordDesc", &L10n::toggleRecordDesc, false},
    {"recordingMode", &L10n::recordingMode, false},
    {"pushToTalk", &L10n::pushToTalk, false},
    {"toggleRecord", &L10n::toggleRecord, false},
    {"productsSection", &L10n::productsSection, false},
    {"productsSubtitle", &L10n::productsSubtitle, false},
    {"productsD7AvuTagline", &L10n::productsD7AvuTagline, false},
    {"productsD7AvuDesc", &L10n::productsD7AvuDesc, false},
    {"productsSameAccount", &L10n::productsSameAccount, false},
    {"productsOpenD7Avu", &L10n::productsOpenD7Avu, false},
    {"editSnippet", &L10n::editSnippet, false},
    {"addSnippet", &L10n::addSnippet, false},
    {"voiceHint", &L10n::voiceHint, false},
    {"keyboardHint", &L10n::keyboardHint, false},
    {"nothingFound", &L10n::nothingFound, false},
    {"addSnippetsForQuick", &L10n::addSnippetsForQuick, false},
    {"noSnippetsYet", &L10n::noSnippetsYet, false},
    {"deleteExpansionConfirm", &L10n::deleteExpansionConfirm, false},
    {"deleteCannotBeUndone", &L10n::deleteCannotBeUndone, false},
    {"delete", &L10n::delete_, false},
    {"addVoiceSnippetsHint", &L10n::addVoiceSnippetsHint, false},
    {"noVoiceSnippetsYet", &L10n::noVoiceSnippetsYet, false},
    {"deleteSnippetConfirm", &L10n::deleteSnippetConfirm, false},
    {"searchSnippets", &L10n::searchSnippets, false},
    {"tabKeyboard", &L10n::tabKeyboard, false},
    {"tabVoice", &L10n::tabVoice, false},
    {"snippets", &L10n::snippets, false},
    {"add", &L10n::add, false},
    {"dictionaryEmpty", &L10n::dictionaryEmpty, false},
    {"addWordsToImprove", &L10n::addWordsToImprove, false},
    {"deleteDictionaryConfirm", &L10n::deleteDictionaryConfirm, false},
    {"searchDictionary", &L10n::searchDictionary, false},
    {"dictionary", &L10n::dictionary, false},
    {"addEntry", &L10n::addEntry, false},
    {"filesStatusError", &L10n::filesStatusError, false},
    {"filesEmpty", &L10n::filesEmpty, false},
    {"filesSelectFile", &L10n::filesSelectFile, false},
    {"filesUploading", &L10n::filesUploading, false},
    {"filesExtractingAudio", &L10n::filesExtractingAudio, false},
    {"filesSection", &L10n::filesSection, false},
    {"filesServiceUnavailable", &L10n::filesServiceUnavailable, false},
    {"clipboardEmpty", &L10n::clipboardEmpty, false},
    {"filesCopy", &L10n::filesCopy, false},
    {"clipboardSection", &L10n::clipboardSection, false},
    {"clipboardSubtitle", &L10n::clipboardSubtitle, false},
    {"noRecordingsYet", &L10n::noRecordingsYet, false},
    {"today", &L10n::today, false},
    {"yesterday", &L10n::yesterday, false},
    {"earlier", &L10n::earlier, false},
    {"failedToRecognize", &L10n::failedToRecognize, false},
    {"clearAll", &L10n::clearAll, false},
    {"searchTranscriptions", &L10n::searchTranscriptions, false},
    {"history", &L10n::history, false},
    {"wordsUsed", &L10n::wordsUsed, false},
    {"wordsLimit", &L10n::wordsLimit, false},
    {"plan", &L10n::plan, false},
    {"stepHold", &L10n::stepHold, false},
    {"stepSpeak", &L10n::stepSpeak, false},
    {"stepSpeakDesc", &L10n::stepSpeakDesc, false},
    {"stepRelease", &L10n::stepRelease, false},
    {"stepReleaseDesc", &L10n::stepReleaseDesc, false},
    {"releaseToTranscribe", &L10n::releaseToTranscribe, false},
    {"welcomeBack", &L10n::welcomeBack, false},
    {"voiceAssistantReady", &L10n::voiceAssistantReady, false},
    {"shortcutPlaceholder", &L10n::shortcutPlaceholder, false},
    {"differentTextForWindows", &L10n::differentTextForWindows, false},
    {"textForWindows", &L10n::textForWindows, false},
    {"differentTextForWindowsHint", &L10n::differentTextForWindowsHint, false},
    {"save", &L10n::save, false},
    {"text", &L10n::text, false},
    {"textForMac", &L10n::textForMac, false},
    {"triggerWord", &L10n::triggerWord, false},
    {"replacement", &L10n::replacement, false},
    {"editEntry", &L10n::editEntry, false},
    {"filesStatusDone", &L10n::filesStatusDone, false},
    {"filesStatusProcessing", &L10n::filesStatusProcessing, false},
    {"filesStatusQueued", &L10n::filesStatusQueued, false},
    {"retry", &L10n::retry, false},
    {"failedTranscription", &L10n::failedTranscription, false},
    {"sidebarMain", &L10n::sidebarMain, false},
    {"sidebarSettings", &L10n::sidebarSettings, false},
    {"account", &L10n::account, false},
    {"home", &L10n::home, false},
    {"onboardingSkip", &L10n::onboardingSkip, false},
    {"onboardingNext", &L10n::onboardingNext, false},
    {"onboardingStart", &L10n::onboardingStart, false},
    {"onboardingModeTitle", &L10n::onboardingModeTitle, false},
    {"onboardingModeSubtitle", &L10n::onboardingModeSubtitle, false},
    {"onboardingMicTitle", &L10n::onboardingMicTitle, false},
    {"onboardingMicSubtitle", &L10n::onboardingMicSubtitle, false},
    {"onboardingMicWaiting", &L10n::onboardingMicWaiting, false},
    {"onboardingMicOpenSettings", &L10n::onboardingMicOpenSettings, false},
    {"onboardingMicOk", &L10n::onboardingMicOk, false},
    {"onboardingMicDenied", &L10n::onboardingMicDenied, false},
    {"onboardingWhereTitle", &L10n::onboardingWhereTitle, false},
    {"onboardingWhereSubtitle", &L10n::onboardingWhereSubtitle, false},
    {"onboardingWhereHint", &L10n::onboardingWhereHint, false},
    {"overlayDragHint", &L10n::overlayDragHint, false},
    {"overlayPostProcessing", &L10n::overlayPostProcessing, false},
    {"overlayDockRight", &L10n::overlayDockRight, false},
    {"overlayDockLeft", &L10n::overlayDockLeft, false},
    {"overlayDockTop", &L10n::overlayDockTop, false},
    {"overlayDockBottom", &L10n::overlayDockBottom, false},
    {"promptEditorPromptPlaceholderCustom", &L10n::promptEditorPromptPlaceholderCustom, true},
    {"promptEditorDeleteTab", &L10n::promptEditorDeleteTab, true},
    {"promptEditorRestoreDefault", &L10n::promptEditorRestoreDefault, true},
    {"promptEditorPromptPlaceholderBuiltin", &L10n::promptEditorPromptPlaceholderBuiltin, true},
    {"promptEditorTranslating", &L10n::promptEditorTranslating, true},
    {"promptEditorTranslateFailed", &L10n::promptEditorTranslateFailed, true},
    {"promptEditorTranslatedAutoHint", &L10n::promptEditorTranslatedAutoHint, true},
    {"promptEditorShowOriginal", &L10n::promptEditorShowOriginal, true},
    {"promptEditorNamePlaceholder", &L10n::promptEditorNamePlaceholder, true},
    {"promptEditorShowTranslation", &L10n::promptEditorShowTranslation, true},
    {"promptEditorCancel", &L10n::promptEditorCancel, true},
    {"promptEditorSave", &L10n::promptEditorSave, true},
    {"promptEditorSameLanguage", &L10n::promptEditorSameLanguage, true},
    {"promptEditorSameLanguageHint", &L10n::promptEditorSameLanguageHint, true},
    {"promptEditorDontChangeMeaning", &L10n::promptEditorDontChangeMeaning, true},
    {"promptEditorDontChangeMeaningHint", &L10n::promptEditorDontChangeMeaningHint, true},
    {"promptEditorTitleNewStyle", &L10n::promptEditorTitleNewStyle, true},
    {"promptEditorPromptForStyle", &L10n::promptEditorPromptForStyle, true},
    {"promptEditorShowHiddenPrefix", &L10n::promptEditorShowHiddenPrefix, true},
    {"promptEditorEditHint", &L10n::promptEditorEditHint, true},
    {"promptEditorHideFromList", &L10n::promptEditorHideFromList, true},
    {"promptEditorEditModifiedHint", &L10n::promptEditorEditModifiedHint, true},
    {"errorNoSpeechDetected", &L10n::errorNoSpeechDetected, false},
    {"updateFailedDownload", &L10n::updateFailedDownload, false},
    {"updateVerifying", &L10n::updateVerifying, false},
    {"updateFailedInstall", &L10n::updateFailedInstall, false},
    {"updateInstalling", &L10n::updateInstalling, false},
    {"updateRestarting", &L10n::updateRestarting, false},
    {"updateWindowTitle", &L10n::updateWindowTitle, false},
    {"updateAvailableTitle", &L10n::updateAvailableTitle, false},
    {"updateCurrentVersion", &L10n::updateCurrentVersion, false},
    {"updateNow", &L10n::updateNow, false},
    {"updateLater", &L10n::updateLater, false},
    {"updateCheckFailed", &L10n::updateCheckFailed, false},
};

// English texts that some languages rightly keep as they are (loanwords and labels).
const std::set<QString> kMayStayEnglish = {
    "Audio",         "Neutral", "Formal",   "Error", "Plan",         "Volume",  "Microphone",
    "Transcription", "App",     "Version:", "Text",  "Push-to-Talk", "Account", "Home",
};

class L10nTables : public ::testing::Test {
protected:
    void SetUp() override { SettingsStore::setSharedForTesting(&settings_); }
    void TearDown() override { SettingsStore::setSharedForTesting(nullptr); }
    void use(const QString& lang) { settings_.set("interfaceLanguage", lang); }
    QString english(const std::function<QString()>& text) {
        use("en");
        return text();
    }

    SettingsStore settings_;
};

TEST_F(L10nTables, EveryKeyHasItsLanguagesAndNoLeftoverEnglish) {
    for (const Key& key : kKeys) {
        const QString en = english(key.text);
        ASSERT_FALSE(en.isEmpty()) << key.name;
        for (const char* lang : kLanguages) {
            use(lang);
            const QString text = key.text();
            SCOPED_TRACE(std::string(key.name) + " / " + lang);
            EXPECT_FALSE(text.trimmed().isEmpty());
            if (QString(lang) == "en") continue;
            if (key.promptEditorOnly && !kPromptEditorLanguages.count(lang)) {
                EXPECT_EQ(text, en);
            } else if (!kMayStayEnglish.count(en)) {
                EXPECT_NE(text, en);
            }
        }
    }
}

TEST_F(L10nTables, NoTextNamesTheMacPlatform) {
    const QRegularExpression mac(QStringLiteral("⌘|macOS|\\bDock\\b|menu bar"));
    for (const Key& key : kKeys) {
        for (const char* lang : kLanguages) {
            use(lang);
            EXPECT_FALSE(mac.match(key.text()).hasMatch()) << key.name << " / " << lang;
        }
    }
}

TEST_F(L10nTables, TrailingSpacesAndLineBreaksMatchEnglish) {
    // Labels that run into a value ("Show: " + name) and two-line step texts
    // keep their shape in every language.
    for (const Key& key : kKeys) {
        const QString en = english(key.text);
        for (const char* lang : kLanguages) {
            use(lang);
            const QString text = key.text();
            EXPECT_EQ(text.endsWith(' '), en.endsWith(' ')) << key.name << " / " << lang;
            EXPECT_EQ(text.count('\n'), en.count('\n')) << key.name << " / " << lang;
        }
    }
}

struct Function {
    const char* name;
    std::function<QString()> call;
    QStringList values;  // each must appear exactly once
};

const Function kFunctions[] = {
    {"updateDownloading", [] { return L10n::updateDownloading("7.4.2-rc"); }, {"7.4.2-rc"}},
    {"updateUpToDate", [] { return L10n::updateUpToDate("7.4.2-rc"); }, {"7.4.2-rc"}},
    {"holdHotkeyToRecord", [] { return L10n::holdHotkeyToRecord("Right Alt"); }, {"Right Alt"}},
    {"stepHoldDesc", [] { return L10n::stepHoldDesc("Right Alt"); }, {"Right Alt"}},
    {"holdHotkeyToStart", [] { return L10n::holdHotkeyToStart("Right Alt"); }, {"Right Alt"}},
    {"filesHint", [] { return L10n::filesHint(731); }, {"731"}},
    {"filesDailyQuotaHint", [] { return L10n::filesDailyQuotaHint(731, 58); }, {"731", "58"}},
    {"filesDailyQuotaExhausted", [] { return L10n::filesDailyQuotaExhausted(731); }, {"731"}},
    {"filesVideoExtractFailedTooLarge",
     [] { return L10n::filesVideoExtractFailedTooLarge(731); },
     {"731"}},
    {"filesTooLarge", [] { return L10n::filesTooLarge(731); }, {"731"}},
    {"nWords", [] { return L10n::nWords(731); }, {"731"}},
    {"longRecordingWarning", [] { return L10n::longRecordingWarning(731); }, {"731"}},
};

TEST_F(L10nTables, EveryFunctionFillsEachValueOnceInEveryLanguage) {
    for (const Function& f : kFunctions) {
        const QString en = english(f.call);
        for (const char* lang : kLanguages) {
            use(lang);
            const QString text = f.call();
            SCOPED_TRACE(std::string(f.name) + " / " + lang);
            for (const QString& v : f.values) EXPECT_EQ(text.count(v), 1) << text.toStdString();
            EXPECT_FALSE(text.contains(QRegularExpression("%[0-9]"))) << text.toStdString();
            if (QString(lang) != "en") {
                EXPECT_NE(text, en);
            }
        }
    }
}

TEST_F(L10nTables, QuotaResetTimeIsMoscowAndUtcInRussianOnly) {
    for (const char* lang : kLanguages) {
        use(lang);
        for (const QString& text :
             {L10n::filesDailyQuotaHint(30, 5), L10n::filesDailyQuotaExhausted(30)}) {
            EXPECT_TRUE(text.contains("00:00 UTC")) << lang << ": " << text.toStdString();
            EXPECT_EQ(text.contains("03:00"), QString(lang) == "ru")
                << lang << ": " << text.toStdString();
        }
    }
}

TEST_F(L10nTables, NumbersArePlainDecimalsWithoutPluralForms) {
    use("en");
    EXPECT_EQ(L10n::nWords(1), "1 words");
    EXPECT_EQ(L10n::nWords(5), "5 words");
    EXPECT_EQ(L10n::nWords(1234567), "1234567 words");
    EXPECT_EQ(L10n::nWords(-3), "-3 words");
    EXPECT_EQ(L10n::nWords(0), "0 words");
    EXPECT_TRUE(
        L10n::filesDailyQuotaHint(30, 0).endsWith("0 min left today (resets at 00:00 UTC)."));
    for (const char* lang : kLanguages) {
        use(lang);
        const QString one = L10n::nWords(1), five = L10n::nWords(5);
        EXPECT_EQ(QString(one).replace("1", "5"), five) << lang;
    }
}

}  // namespace
