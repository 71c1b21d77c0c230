#include "core/L10n.h"

#include <QJsonValue>

#include "core/L10nTexts.h"
#include "core/TextTable.h"
#include "platform/SettingsStore.h"

namespace {

QString lookup(const QString& key) {
    return l10nTexts().text(key, L10n::currentLanguage());
}

// Fills %1, %2, ... in one pass, so a value that itself contains "%2" is
// never filled again.
QString filled(const QString& text, const QStringList& args) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && text[i + 1].isDigit()) {
            const int n = text[i + 1].digitValue();
            if (n >= 1 && n <= args.size()) {
                out += args[n - 1];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace

QString L10n::currentLanguage() {
    const QJsonValue v = SettingsStore::shared().value(QStringLiteral("interfaceLanguage"));
    return v.isString() ? v.toString() : QStringLiteral("en");
}

QString L10n::t(Table table) {
    const QByteArray lang = currentLanguage().toUtf8();
    const char* english = nullptr;
    for (const Entry& e : table) {
        if (lang == e.first) return QString::fromUtf8(e.second);
        if (qstrcmp(e.first, "en") == 0) english = e.second;
    }
    return english ? QString::fromUtf8(english) : QString();
}

QString L10n::fill(Table table, const QStringList& args) {
    return filled(t(table), args);
}

// A plain accessor returns the text stored under its own name, so the two
// cannot drift apart.
#define ORMIL_TEXT(name)                      \
    QString L10n::name() {                    \
        return lookup(QStringLiteral(#name)); \
    }

ORMIL_TEXT(openOrmil)
ORMIL_TEXT(pasteLastTranscription)
ORMIL_TEXT(recentTranscriptions)
ORMIL_TEXT(clipboardHistoryMenu)
ORMIL_TEXT(settings)
ORMIL_TEXT(checkForUpdates)
ORMIL_TEXT(quitOrmil)
ORMIL_TEXT(clipboardEmptyShort)
ORMIL_TEXT(noRecentTranscriptions)
ORMIL_TEXT(processing)
ORMIL_TEXT(recording)
ORMIL_TEXT(sessionExpiredTitle)
ORMIL_TEXT(sessionExpiredText)
ORMIL_TEXT(desktopHotkeysMissingTitle)
ORMIL_TEXT(desktopHotkeysMissingText)
ORMIL_TEXT(desktopHotkeysRefusedTitle)
ORMIL_TEXT(desktopHotkeysRefusedText)
ORMIL_TEXT(desktopShortcutCaption)
ORMIL_TEXT(desktopShortcutNotBound)
ORMIL_TEXT(loneModifierWayland)
ORMIL_TEXT(hotkeyCommandsCaption)
ORMIL_TEXT(hotkeyNotOnThisDesktop)
ORMIL_TEXT(voiceToText)
ORMIL_TEXT(nothingHeardTitle)
ORMIL_TEXT(nothingHeardHint)
ORMIL_TEXT(tooShortTitle)
ORMIL_TEXT(tooShortHint)
ORMIL_TEXT(remotePasteTitle)
ORMIL_TEXT(remotePasteHint)
ORMIL_TEXT(keysNotAllowedHint)
ORMIL_TEXT(textExpansionWaylandNote)
ORMIL_TEXT(perAppStylesWaylandNote)
ORMIL_TEXT(usage)
ORMIL_TEXT(logout)
ORMIL_TEXT(wordsThisWeek)
ORMIL_TEXT(notSignedIn)
ORMIL_TEXT(signInToSync)
ORMIL_TEXT(loginRegister)
ORMIL_TEXT(settingsTabApp)
ORMIL_TEXT(about)
ORMIL_TEXT(backend)
ORMIL_TEXT(version)
ORMIL_TEXT(launchAtLogin)
ORMIL_TEXT(sendErrorReports)
ORMIL_TEXT(sendErrorReportsDesc)
ORMIL_TEXT(settingsTabAudio)
ORMIL_TEXT(audio)
ORMIL_TEXT(soundFeedback)
ORMIL_TEXT(showOverlay)
ORMIL_TEXT(hideOverlayIdle)
ORMIL_TEXT(autoSwitchLayout)
ORMIL_TEXT(audioNormalization)
ORMIL_TEXT(duckLevel)
ORMIL_TEXT(volume)
ORMIL_TEXT(microphone)
ORMIL_TEXT(systemDefault)
ORMIL_TEXT(audioQualityDesc)
ORMIL_TEXT(audioQuality)
ORMIL_TEXT(audioQualityFast)
ORMIL_TEXT(audioQualityBalanced)
ORMIL_TEXT(audioQualityHigh)
ORMIL_TEXT(audioQualityBest)
ORMIL_TEXT(audioDucking)
ORMIL_TEXT(duckNone)
ORMIL_TEXT(duckPartial)
ORMIL_TEXT(duckFull)
ORMIL_TEXT(settingsTabText)
ORMIL_TEXT(transcription)
ORMIL_TEXT(perAppStyles)
ORMIL_TEXT(language)
ORMIL_TEXT(recognitionLanguage)
ORMIL_TEXT(interfaceLanguage)
ORMIL_TEXT(perAppStylesHint)
ORMIL_TEXT(perAppAddRunning)
ORMIL_TEXT(toneNone)
ORMIL_TEXT(toneNeutral)
ORMIL_TEXT(toneReadable)
ORMIL_TEXT(toneConcise)
ORMIL_TEXT(toneSummary)
ORMIL_TEXT(toneTheses)
ORMIL_TEXT(toneFormal)
ORMIL_TEXT(replaceProfanityHint)
ORMIL_TEXT(replaceProfanity)
ORMIL_TEXT(toneStyle)
ORMIL_TEXT(editTonePromptHint)
ORMIL_TEXT(settingsTabKeys)
ORMIL_TEXT(hotkey)
ORMIL_TEXT(translateHotkey)
ORMIL_TEXT(pasteLastHotkey)
ORMIL_TEXT(pasteLastHotkeyDesc)
ORMIL_TEXT(changeHotkey)
ORMIL_TEXT(cancel)
ORMIL_TEXT(currentHotkey)
ORMIL_TEXT(notSet)
ORMIL_TEXT(pressAnyKey)
ORMIL_TEXT(translateHotkeyDesc)
ORMIL_TEXT(translateTo)
ORMIL_TEXT(reset)
ORMIL_TEXT(openWindowOnLaunch)
ORMIL_TEXT(openWindowOnLaunchDesc)
ORMIL_TEXT(pressAndHold)
ORMIL_TEXT(pushToTalkDesc)
ORMIL_TEXT(toggleRecordDesc)
ORMIL_TEXT(recordingMode)
ORMIL_TEXT(pushToTalk)
ORMIL_TEXT(toggleRecord)
ORMIL_TEXT(productsSection)
ORMIL_TEXT(productsSubtitle)
ORMIL_TEXT(productsD7AvuTagline)
ORMIL_TEXT(productsD7AvuDesc)
ORMIL_TEXT(productsSameAccount)
ORMIL_TEXT(productsOpenD7Avu)
ORMIL_TEXT(editSnippet)
ORMIL_TEXT(addSnippet)
ORMIL_TEXT(voiceHint)
ORMIL_TEXT(keyboardHint)
ORMIL_TEXT(nothingFound)
ORMIL_TEXT(addSnippetsForQuick)
ORMIL_TEXT(noSnippetsYet)
ORMIL_TEXT(deleteExpansionConfirm)
ORMIL_TEXT(deleteCannotBeUndone)
ORMIL_TEXT(addVoiceSnippetsHint)
ORMIL_TEXT(noVoiceSnippetsYet)
ORMIL_TEXT(deleteSnippetConfirm)
ORMIL_TEXT(searchSnippets)
ORMIL_TEXT(tabKeyboard)
ORMIL_TEXT(tabVoice)
ORMIL_TEXT(snippets)
ORMIL_TEXT(add)
ORMIL_TEXT(dictionaryEmpty)
ORMIL_TEXT(addWordsToImprove)
ORMIL_TEXT(deleteDictionaryConfirm)
ORMIL_TEXT(searchDictionary)
ORMIL_TEXT(dictionary)
ORMIL_TEXT(addEntry)
ORMIL_TEXT(filesStatusError)
ORMIL_TEXT(filesEmpty)
ORMIL_TEXT(filesSelectFile)
ORMIL_TEXT(filesUploading)
ORMIL_TEXT(filesExtractingAudio)
ORMIL_TEXT(filesSection)
ORMIL_TEXT(filesServiceUnavailable)
ORMIL_TEXT(clipboardEmpty)
ORMIL_TEXT(filesCopy)
ORMIL_TEXT(clipboardSection)
ORMIL_TEXT(clipboardSubtitle)
ORMIL_TEXT(noRecordingsYet)
ORMIL_TEXT(today)
ORMIL_TEXT(yesterday)
ORMIL_TEXT(earlier)
ORMIL_TEXT(failedToRecognize)
ORMIL_TEXT(clearAll)
ORMIL_TEXT(searchTranscriptions)
ORMIL_TEXT(history)
ORMIL_TEXT(wordsUsed)
ORMIL_TEXT(wordsLimit)
ORMIL_TEXT(plan)
ORMIL_TEXT(stepHold)
ORMIL_TEXT(stepSpeak)
ORMIL_TEXT(stepSpeakDesc)
ORMIL_TEXT(stepRelease)
ORMIL_TEXT(stepReleaseDesc)
ORMIL_TEXT(releaseToTranscribe)
ORMIL_TEXT(welcomeBack)
ORMIL_TEXT(voiceAssistantReady)
ORMIL_TEXT(shortcutPlaceholder)
ORMIL_TEXT(differentTextForWindows)
ORMIL_TEXT(textForWindows)
ORMIL_TEXT(differentTextForWindowsHint)
ORMIL_TEXT(save)
ORMIL_TEXT(text)
ORMIL_TEXT(textForMac)
ORMIL_TEXT(triggerWord)
ORMIL_TEXT(replacement)
ORMIL_TEXT(editEntry)
ORMIL_TEXT(filesStatusDone)
ORMIL_TEXT(filesStatusProcessing)
ORMIL_TEXT(filesStatusQueued)
ORMIL_TEXT(retry)
ORMIL_TEXT(failedTranscription)
ORMIL_TEXT(sidebarMain)
ORMIL_TEXT(sidebarSettings)
ORMIL_TEXT(account)
ORMIL_TEXT(home)
ORMIL_TEXT(onboardingSkip)
ORMIL_TEXT(onboardingNext)
ORMIL_TEXT(onboardingStart)
ORMIL_TEXT(onboardingModeTitle)
ORMIL_TEXT(onboardingModeSubtitle)
ORMIL_TEXT(onboardingMicTitle)
ORMIL_TEXT(onboardingMicSubtitle)
ORMIL_TEXT(onboardingMicWaiting)
ORMIL_TEXT(onboardingMicOpenSettings)
ORMIL_TEXT(onboardingMicOk)
ORMIL_TEXT(onboardingMicDenied)
ORMIL_TEXT(onboardingWhereTitle)
ORMIL_TEXT(onboardingWhereSubtitle)
ORMIL_TEXT(onboardingWhereHint)
ORMIL_TEXT(overlayDragHint)
ORMIL_TEXT(overlayPostProcessing)
ORMIL_TEXT(overlayDockRight)
ORMIL_TEXT(overlayDockLeft)
ORMIL_TEXT(overlayDockTop)
ORMIL_TEXT(overlayDockBottom)
ORMIL_TEXT(promptEditorPromptPlaceholderCustom)
ORMIL_TEXT(promptEditorDeleteTab)
ORMIL_TEXT(promptEditorRestoreDefault)
ORMIL_TEXT(promptEditorPromptPlaceholderBuiltin)
ORMIL_TEXT(promptEditorTranslating)
ORMIL_TEXT(promptEditorTranslateFailed)
ORMIL_TEXT(promptEditorTranslatedAutoHint)
ORMIL_TEXT(promptEditorShowOriginal)
ORMIL_TEXT(promptEditorNamePlaceholder)
ORMIL_TEXT(promptEditorShowTranslation)
ORMIL_TEXT(promptEditorCancel)
ORMIL_TEXT(promptEditorSave)
ORMIL_TEXT(promptEditorSameLanguage)
ORMIL_TEXT(promptEditorSameLanguageHint)
ORMIL_TEXT(promptEditorDontChangeMeaning)
ORMIL_TEXT(promptEditorDontChangeMeaningHint)
ORMIL_TEXT(promptEditorTitleNewStyle)
ORMIL_TEXT(promptEditorPromptForStyle)
ORMIL_TEXT(promptEditorShowHiddenPrefix)
ORMIL_TEXT(promptEditorEditHint)
ORMIL_TEXT(promptEditorHideFromList)
ORMIL_TEXT(promptEditorEditModifiedHint)
ORMIL_TEXT(errorNoSpeechDetected)
ORMIL_TEXT(updateFailedDownload)
ORMIL_TEXT(updateVerifying)
ORMIL_TEXT(updateFailedInstall)
ORMIL_TEXT(updateInstalling)
ORMIL_TEXT(updateRestarting)
ORMIL_TEXT(updateWindowTitle)
ORMIL_TEXT(updateAvailableTitle)
ORMIL_TEXT(updateCurrentVersion)
ORMIL_TEXT(updateNow)
ORMIL_TEXT(updateLater)
ORMIL_TEXT(updateCheckFailed)

#undef ORMIL_TEXT

QString L10n::delete_() {
    return lookup(QStringLiteral("delete"));
}

QString L10n::updateDownloading(const QString& version) {
    return filled(lookup(QStringLiteral("updateDownloading")), {version});
}

QString L10n::updateUpToDate(const QString& version) {
    return filled(lookup(QStringLiteral("updateUpToDate")), {version});
}

QString L10n::holdHotkeyToRecord(const QString& hotkey) {
    return filled(lookup(QStringLiteral("holdHotkeyToRecord")), {hotkey});
}

QString L10n::stepHoldDesc(const QString& hotkey) {
    return filled(lookup(QStringLiteral("stepHoldDesc")), {hotkey});
}

QString L10n::holdHotkeyToStart(const QString& hotkey) {
    return filled(lookup(QStringLiteral("holdHotkeyToStart")), {hotkey});
}

QString L10n::filesHint(int maxSizeMb) {
    return filled(lookup(QStringLiteral("filesHint")), {QString::number(maxSizeMb)});
}

QString L10n::filesDailyQuotaHint(int limit, int remaining) {
    return filled(lookup(QStringLiteral("filesDailyQuotaHint")),
                  {QString::number(limit), QString::number(remaining)});
}

QString L10n::filesDailyQuotaExhausted(int limit) {
    return filled(lookup(QStringLiteral("filesDailyQuotaExhausted")), {QString::number(limit)});
}

QString L10n::filesVideoExtractFailedTooLarge(int limitMb) {
    return filled(lookup(QStringLiteral("filesVideoExtractFailedTooLarge")),
                  {QString::number(limitMb)});
}

QString L10n::filesTooLarge(int limitMb) {
    return filled(lookup(QStringLiteral("filesTooLarge")), {QString::number(limitMb)});
}

QString L10n::nWords(int count) {
    return filled(lookup(QStringLiteral("nWords")), {QString::number(count)});
}

QString L10n::longRecordingWarning(int minutes) {
    return filled(lookup(QStringLiteral("longRecordingWarning")), {QString::number(minutes)});
}
