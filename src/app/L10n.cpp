#include "app/L10n.h"

#include <QJsonValue>

#include "platform/SettingsStore.h"

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

QString L10n::openOrmil() { return t({{"en", "Open Ormil"}}); }

QString L10n::pasteLastTranscription() { return t({{"en", "Paste Last Transcription"}}); }

QString L10n::recentTranscriptions() { return t({{"en", "Recent Transcriptions"}}); }

QString L10n::clipboardHistoryMenu() { return t({{"en", "Clipboard History"}}); }

QString L10n::settings() { return t({{"en", "Settings"}}); }

QString L10n::checkForUpdates() { return t({{"en", "Check for Updates..."}}); }

QString L10n::quitOrmil() { return t({{"en", "Quit Ormil"}}); }

QString L10n::clipboardEmptyShort() { return t({{"en", "Empty"}}); }

QString L10n::noRecentTranscriptions() { return t({{"en", "No recent transcriptions"}}); }

QString L10n::processing() { return t({{"en", "Processing..."}}); }

QString L10n::recording() { return t({{"en", "Recording..."}}); }

QString L10n::sessionExpiredTitle() {
    return t({{"en", "Session expired"}, {"ru", "Сессия истекла"}, {"es", "Sesión expirada"}, {"fr", "Session expirée"}, {"de", "Sitzung abgelaufen"}, {"tr", "Oturum sona erdi"}, {"it", "Sessione scaduta"}, {"pt", "Sessão expirada"}, {"pl", "Sesja wygasła"}, {"uk", "Сесія завершилася"}, {"ja", "セッションが期限切れです"}, {"ko", "세션이 만료되었습니다"}, {"zh", "会话已过期"}, {"hi", "सत्र समाप्त हो गया"}, {"ar", "انتهت الجلسة"}});
}

QString L10n::sessionExpiredText() {
    return t({{"en", "Sign in again to continue."}, {"ru", "Войдите в аккаунт заново, чтобы продолжить работу."}, {"es", "Inicie sesión de nuevo para continuar."}, {"fr", "Reconnectez-vous pour continuer."}, {"de", "Melden Sie sich erneut an, um fortzufahren."}, {"tr", "Devam etmek için tekrar giriş yapın."}, {"it", "Accedi di nuovo per continuare."}, {"pt", "Entre novamente para continuar."}, {"pl", "Zaloguj się ponownie, aby kontynuować."}, {"uk", "Увійдіть в акаунт знову, щоб продовжити."}, {"ja", "続けるには再度ログインしてください。"}, {"ko", "계속하려면 다시 로그인하세요."}, {"zh", "请重新登录以继续。"}, {"hi", "जारी रखने के लिए फिर से साइन इन करें।"}, {"ar", "سجّل الدخول مرة أخرى للمتابعة."}});
}

QString L10n::voiceToText() { return t({{"en", "Voice-to-text dictation for macOS"}}); }

QString L10n::nothingHeardTitle() { return t({{"en", "Nothing was heard"}}); }

QString L10n::nothingHeardHint() { return t({{"en", "Check the microphone or speak a little louder"}}); }

QString L10n::tooShortTitle() { return t({{"en", "Recording too short"}}); }

QString L10n::tooShortHint() { return t({{"en", "Hold the key while speaking. Prefer one press to start and another to stop? Settings → Recording Mode → Toggle."}}); }

QString L10n::remotePasteTitle() { return t({{"en", "Text is ready"}}); }

QString L10n::remotePasteHint() { return t({{"en", "Press ⌘V to paste it into the remote desktop"}}); }

QString L10n::usage() { return t({{"en", "Usage"}}); }

QString L10n::logout() { return t({{"en", "Logout"}}); }

QString L10n::wordsThisWeek() { return t({{"en", "Words this week"}}); }

QString L10n::notSignedIn() { return t({{"en", "Not signed in"}}); }

QString L10n::signInToSync() { return t({{"en", "Sign in to sync settings and access unlimited transcriptions"}}); }

QString L10n::loginRegister() { return t({{"en", "Login / Register"}}); }

QString L10n::settingsTabApp() { return t({{"en", "App"}}); }

QString L10n::about() { return t({{"en", "About"}}); }

QString L10n::backend() { return t({{"en", "Backend:"}}); }

QString L10n::version() { return t({{"en", "Version:"}}); }

QString L10n::launchAtLogin() { return t({{"en", "Launch at login"}}); }

QString L10n::sendErrorReports() { return t({{"en", "Send error reports"}}); }

QString L10n::sendErrorReportsDesc() { return t({{"en", "Technical error data only — your dictation text is never sent"}}); }

QString L10n::settingsTabAudio() { return t({{"en", "Sound & view"}}); }

QString L10n::audio() { return t({{"en", "Audio"}}); }

QString L10n::soundFeedback() { return t({{"en", "Sound feedback"}}); }

QString L10n::showOverlay() { return t({{"en", "Show overlay indicator"}}); }

QString L10n::hideOverlayIdle() { return t({{"en", "Hide when idle (show only while recording)"}}); }

QString L10n::autoSwitchLayout() { return t({{"en", "Auto-switch keyboard layout"}}); }

QString L10n::audioNormalization() { return t({{"en", "Amplify quiet speech"}}); }

QString L10n::duckLevel() { return t({{"en", "Volume while recording"}}); }

QString L10n::volume() { return t({{"en", "Volume"}}); }

QString L10n::microphone() { return t({{"en", "Microphone"}}); }

QString L10n::systemDefault() { return t({{"en", "System Default"}}); }

QString L10n::audioQualityDesc() { return t({{"en", "Higher — more accurate with a weak mic, but slower"}}); }

QString L10n::audioQuality() { return t({{"en", "Recognition"}}); }

QString L10n::audioQualityFast() { return t({{"en", "Faster"}}); }

QString L10n::audioQualityBalanced() { return t({{"en", "Balanced"}}); }

QString L10n::audioQualityHigh() { return t({{"en", "High"}}); }

QString L10n::audioQualityBest() { return t({{"en", "Maximum"}}); }

QString L10n::audioDucking() { return t({{"en", "Audio Ducking"}}); }

QString L10n::duckNone() { return t({{"en", "None"}}); }

QString L10n::duckPartial() { return t({{"en", "Partial"}}); }

QString L10n::duckFull() { return t({{"en", "Full (Mute)"}}); }

QString L10n::settingsTabText() { return t({{"en", "Text"}}); }

QString L10n::transcription() { return t({{"en", "Transcription"}}); }

QString L10n::perAppStyles() { return t({{"en", "Styles per app"}}); }

QString L10n::language() { return t({{"en", "Language"}}); }

QString L10n::recognitionLanguage() { return t({{"en", "Recognition Language"}}); }

QString L10n::interfaceLanguage() { return t({{"en", "Interface Language"}}); }

QString L10n::perAppStylesHint() { return t({{"en", "Your own processing style for chosen apps"}}); }

QString L10n::perAppAddRunning() { return t({{"en", "Add from running apps"}}); }

QString L10n::toneNone() { return t({{"en", "None"}}); }

QString L10n::toneNeutral() { return t({{"en", "Neutral"}}); }

QString L10n::toneReadable() { return t({{"en", "Readable"}}); }

QString L10n::toneConcise() { return t({{"en", "Concise"}}); }

QString L10n::toneSummary() { return t({{"en", "Condensed"}}); }

QString L10n::toneTheses() { return t({{"en", "Bullet points"}}); }

QString L10n::toneFormal() { return t({{"en", "Formal"}}); }

QString L10n::replaceProfanityHint() { return t({{"en", "Politely replaces profanity in any mode"}}); }

QString L10n::replaceProfanity() { return t({{"en", "Replace profanity"}}); }

QString L10n::toneStyle() { return t({{"en", "Tone Style"}}); }

QString L10n::editTonePromptHint() { return t({{"en", "Edit prompt"}}); }

QString L10n::settingsTabKeys() { return t({{"en", "Keys"}}); }

QString L10n::hotkey() { return t({{"en", "Hotkey"}}); }

QString L10n::translateHotkey() { return t({{"en", "Translate Hotkey"}}); }

QString L10n::pasteLastHotkey() { return t({{"en", "Paste Last Hotkey"}}); }

QString L10n::pasteLastHotkeyDesc() { return t({{"en", "Re-insert the last transcription into the focused field"}}); }

QString L10n::changeHotkey() { return t({{"en", "Change Hotkey"}}); }

QString L10n::cancel() { return t({{"en", "Cancel"}}); }

QString L10n::currentHotkey() { return t({{"en", "Current hotkey:"}}); }

QString L10n::notSet() { return t({{"en", "Not set"}}); }

QString L10n::pressAnyKey() { return t({{"en", "Press any key..."}}); }

QString L10n::translateHotkeyDesc() { return t({{"en", "Hold to record + translate to target language"}}); }

QString L10n::translateTo() { return t({{"en", "Translate to"}}); }

QString L10n::reset() { return t({{"en", "Reset"}}); }

QString L10n::openWindowOnLaunch() { return t({{"en", "Open window on launch"}}); }

QString L10n::openWindowOnLaunchDesc() { return t({{"en", "The app lives in the menu bar and has no Dock icon. Without this the launch looks like nothing happened."}}); }

QString L10n::pressAndHold() { return t({{"en", "Press and hold to record, release to transcribe"}}); }

QString L10n::pushToTalkDesc() { return t({{"en", "Hold key to record, release to stop"}}); }

QString L10n::toggleRecordDesc() { return t({{"en", "Press once to start, press again to stop"}}); }

QString L10n::recordingMode() { return t({{"en", "Recording Mode"}}); }

QString L10n::pushToTalk() { return t({{"en", "Push-to-Talk"}}); }

QString L10n::toggleRecord() { return t({{"en", "Toggle"}}); }

QString L10n::productsSection() { return t({{"en", "Our products"}}); }

QString L10n::productsSubtitle() { return t({{"en", "Z7 ecosystem — services that work together"}}); }

QString L10n::productsD7AvuTagline() { return t({{"en", "AI agent in your messenger"}}); }

QString L10n::productsD7AvuDesc() { return t({{"en", "A personal AI agent that understands context, remembers you and gets tasks done. Works in Telegram, VK and Max. Try it for free."}}); }

QString L10n::productsSameAccount() { return t({{"en", "Sign in with the same account as ORMIL — no new registration needed."}}); }

QString L10n::productsOpenD7Avu() { return t({{"en", "Open D7Avu"}}); }

QString L10n::editSnippet() { return t({{"en", "Edit Snippet"}}); }

QString L10n::addSnippet() { return t({{"en", "Add Snippet"}}); }

QString L10n::voiceHint() { return t({{"en", "Say the code word while dictating — the transcribed text gets the full snippet instead."}}); }

QString L10n::keyboardHint() { return t({{"en", "Type the shortcut in any app — it expands into full text as you type."}}); }

QString L10n::nothingFound() { return t({{"en", "Nothing found"}}); }

QString L10n::addSnippetsForQuick() { return t({{"en", "Add text snippets for quick insertion"}}); }

QString L10n::noSnippetsYet() { return t({{"en", "No snippets yet"}}); }

QString L10n::deleteExpansionConfirm() { return t({{"en", "Delete this text expansion?"}}); }

QString L10n::deleteCannotBeUndone() { return t({{"en", "This action cannot be undone."}}); }

QString L10n::delete_() { return t({{"en", "Delete"}}); }

QString L10n::addVoiceSnippetsHint() { return t({{"en", "Add a code word you will say out loud"}}); }

QString L10n::noVoiceSnippetsYet() { return t({{"en", "No voice snippets yet"}}); }

QString L10n::deleteSnippetConfirm() { return t({{"en", "Delete this snippet?"}}); }

QString L10n::searchSnippets() { return t({{"en", "Search snippets..."}}); }

QString L10n::tabKeyboard() { return t({{"en", "Keyboard"}}); }

QString L10n::tabVoice() { return t({{"en", "Voice"}}); }

QString L10n::snippets() { return t({{"en", "Snippets"}}); }

QString L10n::add() { return t({{"en", "Add"}}); }

QString L10n::dictionaryEmpty() { return t({{"en", "Dictionary is empty"}}); }

QString L10n::addWordsToImprove() { return t({{"en", "Add words to improve recognition"}}); }

QString L10n::deleteDictionaryConfirm() { return t({{"en", "Delete this dictionary entry?"}}); }

QString L10n::searchDictionary() { return t({{"en", "Search dictionary..."}}); }

QString L10n::dictionary() { return t({{"en", "Dictionary"}}); }

QString L10n::addEntry() { return t({{"en", "Add Entry"}}); }

QString L10n::filesStatusError() { return t({{"en", "Error"}}); }

QString L10n::filesEmpty() { return t({{"en", "Your file transcription history will appear here"}}); }

QString L10n::filesSelectFile() { return t({{"en", "Select audio or video"}}); }

QString L10n::filesUploading() { return t({{"en", "Uploading..."}}); }

QString L10n::filesExtractingAudio() { return t({{"en", "Extracting audio from video..."}}); }

QString L10n::filesSection() { return t({{"en", "Files"}}); }

QString L10n::filesServiceUnavailable() { return t({{"en", "File transcription service is temporarily unavailable. Please try again later."}}); }

QString L10n::clipboardEmpty() { return t({{"en", "Clipboard history is empty"}}); }

QString L10n::filesCopy() { return t({{"en", "Copy"}}); }

QString L10n::clipboardSection() { return t({{"en", "Clipboard"}}); }

QString L10n::clipboardSubtitle() { return t({{"en", "Texts you copied yourself — transcription inserts are not included"}}); }

QString L10n::noRecordingsYet() { return t({{"en", "No recordings yet"}}); }

QString L10n::today() { return t({{"en", "Today"}}); }

QString L10n::yesterday() { return t({{"en", "Yesterday"}}); }

QString L10n::earlier() { return t({{"en", "Earlier"}}); }

QString L10n::failedToRecognize() { return t({{"en", "Failed to Recognize"}}); }

QString L10n::clearAll() { return t({{"en", "Clear All"}}); }

QString L10n::searchTranscriptions() { return t({{"en", "Search transcriptions..."}}); }

QString L10n::history() { return t({{"en", "History"}}); }

QString L10n::wordsUsed() { return t({{"en", "Words Used"}}); }

QString L10n::wordsLimit() { return t({{"en", "Words Limit"}}); }

QString L10n::plan() { return t({{"en", "Plan"}}); }

QString L10n::stepHold() { return t({{"en", "Hold"}}); }

QString L10n::stepSpeak() { return t({{"en", "Speak"}}); }

QString L10n::stepSpeakDesc() { return t({{"en", "Say what you\nwant to type"}}); }

QString L10n::stepRelease() { return t({{"en", "Release"}}); }

QString L10n::stepReleaseDesc() { return t({{"en", "Text is typed\nautomatically"}}); }

QString L10n::releaseToTranscribe() { return t({{"en", "Release to transcribe and paste"}}); }

QString L10n::welcomeBack() { return t({{"en", "Welcome back"}}); }

QString L10n::voiceAssistantReady() { return t({{"en", "Your voice assistant is ready"}}); }

QString L10n::shortcutPlaceholder() { return t({{"en", "Shortcut (e.g. //sig)"}}); }

QString L10n::differentTextForWindows() { return t({{"en", "Different text for Windows"}}); }

QString L10n::textForWindows() { return t({{"en", "Text for Windows"}}); }

QString L10n::differentTextForWindowsHint() { return t({{"en", "Same shortcut, different result on each system"}}); }

QString L10n::save() { return t({{"en", "Save"}}); }

QString L10n::text() { return t({{"en", "Text"}}); }

QString L10n::textForMac() { return t({{"en", "Text for macOS"}}); }

QString L10n::triggerWord() { return t({{"en", "Trigger word"}}); }

QString L10n::replacement() { return t({{"en", "Replacement"}}); }

QString L10n::editEntry() { return t({{"en", "Edit Entry"}}); }

QString L10n::filesStatusDone() { return t({{"en", "Done"}}); }

QString L10n::filesStatusProcessing() { return t({{"en", "Processing"}}); }

QString L10n::filesStatusQueued() { return t({{"en", "Queued..."}}); }

QString L10n::retry() { return t({{"en", "Retry"}}); }

QString L10n::failedTranscription() { return t({{"en", "Failed transcription"}}); }

QString L10n::sidebarMain() { return t({{"en", "MAIN"}}); }

QString L10n::sidebarSettings() { return t({{"en", "SETTINGS"}}); }

QString L10n::account() { return t({{"en", "Account"}}); }

QString L10n::home() { return t({{"en", "Home"}}); }

QString L10n::onboardingSkip() { return t({{"en", "Skip"}}); }

QString L10n::onboardingNext() { return t({{"en", "Next"}}); }

QString L10n::onboardingStart() { return t({{"en", "Get started"}}); }

QString L10n::onboardingModeTitle() { return t({{"en", "How recording starts"}}); }

QString L10n::onboardingModeSubtitle() { return t({{"en", "Choose what feels natural. You can change this any time in Settings."}}); }

QString L10n::onboardingMicTitle() { return t({{"en", "Check the microphone"}}); }

QString L10n::onboardingMicSubtitle() { return t({{"en", "Say something — the bar below should react. If it stays flat, the wrong input device is selected or access is not granted."}}); }

QString L10n::onboardingMicWaiting() { return t({{"en", "Waiting for sound..."}}); }

QString L10n::onboardingMicOpenSettings() { return t({{"en", "Open system settings"}}); }

QString L10n::onboardingMicOk() { return t({{"en", "Microphone works"}}); }

QString L10n::onboardingMicDenied() { return t({{"en", "Microphone access is not granted — without it dictation returns empty text."}}); }

QString L10n::onboardingWhereTitle() { return t({{"en", "Where the app lives"}}); }

QString L10n::onboardingWhereSubtitle() { return t({{"en", "Ormil has no Dock icon on purpose: it sits in the menu bar and is always at hand."}}); }

QString L10n::onboardingWhereHint() { return t({{"en", "Look for the «Z7» badge at the top right of the screen, next to the clock. Click it to open this window again."}}); }

QString L10n::overlayDragHint() { return t({{"en", "Drag to move. Right-click to choose screen edge"}}); }

QString L10n::overlayPostProcessing() { return t({{"en", "Processing text…"}}); }

QString L10n::overlayDockRight() { return t({{"en", "Along right edge"}}); }

QString L10n::overlayDockLeft() { return t({{"en", "Along left edge"}}); }

QString L10n::overlayDockTop() { return t({{"en", "Along top edge"}}); }

QString L10n::overlayDockBottom() { return t({{"en", "Along bottom edge"}}); }

QString L10n::promptEditorPromptPlaceholderCustom() { return t({{"en", "Prompt for processing the source text. For example: \"Translate to English, keep terms\" or a detailed multi-paragraph instruction — whatever works for you."}}); }

QString L10n::promptEditorDeleteTab() { return t({{"en", "Delete"}}); }

QString L10n::promptEditorRestoreDefault() { return t({{"en", "Restore default"}}); }

QString L10n::promptEditorPromptPlaceholderBuiltin() { return t({{"en", "Prompt text — can be edited in full, up to a complete replacement."}}); }

QString L10n::promptEditorTranslating() { return t({{"en", "Translating…"}}); }

QString L10n::promptEditorTranslateFailed() { return t({{"en", "Couldn't translate — showing the English original."}}); }

QString L10n::promptEditorTranslatedAutoHint() { return t({{"en", "Translated automatically — will be translated back to English on save."}}); }

QString L10n::promptEditorShowOriginal() { return t({{"en", "Show original (EN)"}}); }

QString L10n::promptEditorNamePlaceholder() { return t({{"en", "Style name"}}); }

QString L10n::promptEditorShowTranslation() { return t({{"en", "Show translation"}}); }

QString L10n::promptEditorCancel() { return t({{"en", "Cancel"}}); }

QString L10n::promptEditorSave() { return t({{"en", "Save"}}); }

QString L10n::promptEditorSameLanguage() { return t({{"en", "Same language as source"}}); }

QString L10n::promptEditorSameLanguageHint() { return t({{"en", "The result must stay in the language of the dictated text"}}); }

QString L10n::promptEditorDontChangeMeaning() { return t({{"en", "Don't change the meaning"}}); }

QString L10n::promptEditorDontChangeMeaningHint() { return t({{"en", "Style and wording may change, but not the meaning"}}); }

QString L10n::promptEditorTitleNewStyle() { return t({{"en", "New Style"}}); }

QString L10n::promptEditorPromptForStyle() { return t({{"en", "Prompt for style: "}}); }

QString L10n::promptEditorShowHiddenPrefix() { return t({{"en", "Show: "}}); }

QString L10n::promptEditorEditHint() { return t({{"en", "Edit…"}}); }

QString L10n::promptEditorHideFromList() { return t({{"en", "Hide from list"}}); }

QString L10n::promptEditorEditModifiedHint() { return t({{"en", "Edit… (modified)"}}); }

QString L10n::errorNoSpeechDetected() {
    return t({{"en", "No speech detected — check that the right microphone is selected and access is granted"}, {"ru", "Речь не распознана — проверьте, выбран ли нужный микрофон и выдан ли доступ"}, {"es", "No se detectó voz: comprueba el micrófono y el permiso"}, {"fr", "Aucune parole détectée — vérifiez le micro et l’autorisation"}, {"de", "Keine Sprache erkannt – prüfen Sie Mikrofon und Zugriff"}, {"tr", "Konuşma algılanmadı — mikrofonu ve izni kontrol edin"}, {"it", "Nessun parlato rilevato: controlla microfono e permessi"}, {"pt", "Nenhuma fala detectada — verifique o microfone e a permissão"}, {"pl", "Nie wykryto mowy — sprawdź mikrofon i uprawnienia"}, {"uk", "Мовлення не розпізнано — перевірте мікрофон і доступ"}, {"ja", "音声が検出されませんでした。マイクとアクセス許可を確認してください"}, {"ko", "음성이 감지되지 않았습니다 — 마이크와 권한을 확인하세요"}, {"zh", "未检测到语音 — 请检查麦克风和权限"}, {"hi", "कोई भाषण नहीं मिला — माइक्रोफ़ोन और अनुमति जाँचें"}, {"ar", "لم يُكتشف كلام — تحقق من الميكروفون والإذن"}});
}

QString L10n::updateFailedDownload() { return t({{"en", "Could not download the update. Please try again later."}}); }

QString L10n::updateVerifying() { return t({{"en", "Checking the download..."}}); }

QString L10n::updateFailedInstall() { return t({{"en", "Could not install the update. Please try again later."}}); }

QString L10n::updateInstalling() { return t({{"en", "Installing..."}}); }

QString L10n::updateRestarting() { return t({{"en", "Restarting Ormil..."}}); }

QString L10n::updateWindowTitle() { return t({{"en", "Updating Ormil"}}); }

QString L10n::updateAvailableTitle() { return t({{"en", "Ormil update available"}}); }

QString L10n::updateCurrentVersion() { return t({{"en", "Installed version"}}); }

QString L10n::updateNow() { return t({{"en", "Update"}}); }

QString L10n::updateLater() { return t({{"en", "Later"}}); }

QString L10n::updateCheckFailed() { return t({{"en", "Could not check for updates. Please try again later."}}); }

QString L10n::fill(Table table, const QStringList& args) {
    // One pass, so a value that itself contains "%2" is never filled again.
    const QString text = t(table);
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

QString L10n::updateDownloading(const QString& version) {
    return fill({{"en", "Downloading version %1..."}}, {version});
}

QString L10n::updateUpToDate(const QString& version) {
    return fill({{"en", "You have the latest version, %1"}}, {version});
}

QString L10n::holdHotkeyToRecord(const QString& hotkey) {
    return fill({{"en", "Hold %1 to record"}}, {hotkey});
}

QString L10n::stepHoldDesc(const QString& hotkey) {
    return fill({{"en", "Press and hold\n%1"}}, {hotkey});
}

QString L10n::holdHotkeyToStart(const QString& hotkey) {
    return fill({{"en", "Hold %1 to start recording"}}, {hotkey});
}

QString L10n::filesHint(int maxSizeMb) {
    return fill({{"en", "Audio up to %1 MB. Video — no size limit, we only recognize the sound: mp3, wav, m4a, mp4, ogg, flac etc."}},
                {QString::number(maxSizeMb)});
}

QString L10n::filesDailyQuotaHint(int limit, int remaining) {
    return fill({{"en", "Up to %1 min of audio per day. %2 min left today (resets at 00:00 UTC)."}},
                {QString::number(limit), QString::number(remaining)});
}

QString L10n::filesDailyQuotaExhausted(int limit) {
    return fill({{"en", "Daily limit of %1 min reached. Resets at 00:00 UTC."}}, {QString::number(limit)});
}

QString L10n::filesVideoExtractFailedTooLarge(int limitMb) {
    return fill({{"en", "Could not extract audio from the video locally, and the file itself is larger than %1 MB."}},
                {QString::number(limitMb)});
}

QString L10n::filesTooLarge(int limitMb) {
    return fill({{"en", "File is too large. Maximum size is %1 MB."}}, {QString::number(limitMb)});
}

QString L10n::nWords(int count) {
    return fill({{"en", "%1 words"}}, {QString::number(count)});
}

QString L10n::longRecordingWarning(int minutes) {
    return fill({{"en", "Recording has been going for over %1 min. The result may be less accurate!"},
                 {"ru", "Запись уже >%1 мин. Качество результата может снизиться!"}},
                {QString::number(minutes)});
}
