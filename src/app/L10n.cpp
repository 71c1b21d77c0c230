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

QString L10n::openOrmil() {
    return t({
        {"en", "Open Ormil"},
        {"ru", "Открыть Ormil"},
    });
}

QString L10n::pasteLastTranscription() {
    return t({
        {"en", "Paste Last Transcription"},
        {"ru", "Вставить последнюю расшифровку"},
    });
}

QString L10n::recentTranscriptions() {
    return t({
        {"en", "Recent Transcriptions"},
        {"ru", "Последние расшифровки"},
    });
}

QString L10n::clipboardHistoryMenu() {
    return t({
        {"en", "Clipboard History"},
        {"ru", "История буфера обмена"},
    });
}

QString L10n::settings() {
    return t({
        {"en", "Settings"},
        {"ru", "Настройки"},
    });
}

QString L10n::checkForUpdates() {
    return t({
        {"en", "Check for Updates..."},
        {"ru", "Проверить обновления..."},
    });
}

QString L10n::quitOrmil() {
    return t({
        {"en", "Quit Ormil"},
        {"ru", "Выйти из Ormil"},
    });
}

QString L10n::clipboardEmptyShort() {
    return t({
        {"en", "Empty"},
        {"ru", "Пусто"},
    });
}

QString L10n::noRecentTranscriptions() {
    return t({
        {"en", "No recent transcriptions"},
        {"ru", "Нет последних расшифровок"},
    });
}

QString L10n::processing() {
    return t({
        {"en", "Processing..."},
        {"ru", "Обработка..."},
    });
}

QString L10n::recording() {
    return t({
        {"en", "Recording..."},
        {"ru", "Запись..."},
    });
}

QString L10n::sessionExpiredTitle() {
    return t({
        {"en", "Session expired"},
        {"ru", "Сессия истекла"},
        {"es", "Sesión expirada"},
        {"fr", "Session expirée"},
        {"de", "Sitzung abgelaufen"},
        {"tr", "Oturum sona erdi"},
        {"it", "Sessione scaduta"},
        {"pt", "Sessão expirada"},
        {"pl", "Sesja wygasła"},
        {"uk", "Сесія завершилася"},
        {"ja", "セッションが期限切れです"},
        {"ko", "세션이 만료되었습니다"},
        {"zh", "会话已过期"},
        {"hi", "सत्र समाप्त हो गया"},
        {"ar", "انتهت الجلسة"},
    });
}

QString L10n::sessionExpiredText() {
    return t({
        {"en", "Sign in again to continue."},
        {"ru", "Войдите в аккаунт заново, чтобы продолжить работу."},
        {"es", "Inicie sesión de nuevo para continuar."},
        {"fr", "Reconnectez-vous pour continuer."},
        {"de", "Melden Sie sich erneut an, um fortzufahren."},
        {"tr", "Devam etmek için tekrar giriş yapın."},
        {"it", "Accedi di nuovo per continuare."},
        {"pt", "Entre novamente para continuar."},
        {"pl", "Zaloguj się ponownie, aby kontynuować."},
        {"uk", "Увійдіть в акаунт знову, щоб продовжити."},
        {"ja", "続けるには再度ログインしてください。"},
        {"ko", "계속하려면 다시 로그인하세요."},
        {"zh", "请重新登录以继续。"},
        {"hi", "जारी रखने के लिए फिर से साइन इन करें।"},
        {"ar", "سجّل الدخول مرة أخرى للمتابعة."},
    });
}

QString L10n::voiceToText() {
    return t({
        {"en", "Voice-to-text dictation for Linux"},
        {"ru", "Голосовая диктовка для Linux"},
    });
}

QString L10n::nothingHeardTitle() {
    return t({
        {"en", "Nothing was heard"},
        {"ru", "Речь не слышна"},
        {"es", "No se escuchó nada"},
        {"fr", "Rien n'a été entendu"},
        {"de", "Nichts gehört"},
        {"tr", "Ses duyulmadı"},
        {"it", "Nessun suono rilevato"},
        {"pt", "Nada foi ouvido"},
        {"pl", "Nic nie słychać"},
        {"uk", "Мовлення не чути"},
        {"ja", "音声が聞き取れません"},
        {"ko", "음성이 들리지 않습니다"},
        {"zh", "未检测到语音"},
        {"hi", "कुछ सुनाई नहीं दिया"},
        {"ar", "لم يُسمع أي صوت"},
    });
}

QString L10n::nothingHeardHint() {
    return t({
        {"en", "Check the microphone or speak a little louder"},
        {"ru", "Проверьте микрофон или говорите чуть громче"},
        {"es", "Revise el micrófono o hable un poco más alto"},
        {"fr", "Vérifiez le micro ou parlez un peu plus fort"},
        {"de", "Mikrofon prüfen oder etwas lauter sprechen"},
        {"tr", "Mikrofonu kontrol edin veya biraz daha yüksek konuşun"},
        {"it", "Controlla il microfono o parla un po' più forte"},
        {"pt", "Verifique o microfone ou fale um pouco mais alto"},
        {"pl", "Sprawdź mikrofon lub mów nieco głośniej"},
        {"uk", "Перевірте мікрофон або говоріть трохи гучніше"},
        {"ja", "マイクを確認するか、少し大きな声で話してください"},
        {"ko", "마이크를 확인하거나 조금 더 크게 말해 주세요"},
        {"zh", "请检查麦克风或说得大声一些"},
        {"hi", "माइक्रोफ़ोन जांचें या थोड़ा ज़ोर से बोलें"},
        {"ar", "تحقق من الميكروفون أو تحدث بصوت أعلى قليلاً"},
    });
}

QString L10n::tooShortTitle() {
    return t({
        {"en", "Recording too short"},
        {"ru", "Запись слишком короткая"},
        {"es", "Grabación demasiado corta"},
        {"fr", "Enregistrement trop court"},
        {"de", "Aufnahme zu kurz"},
        {"tr", "Kayıt çok kısa"},
        {"it", "Registrazione troppo breve"},
        {"pt", "Gravação muito curta"},
        {"pl", "Nagranie za krótkie"},
        {"uk", "Запис надто короткий"},
        {"ja", "録音が短すぎます"},
        {"ko", "녹음이 너무 짧습니다"},
        {"zh", "录音太短"},
        {"hi", "रिकॉर्डिंग बहुत छोटी है"},
        {"ar", "التسجيل قصير جدًا"},
    });
}

QString L10n::tooShortHint() {
    return t({
        {"en", "Hold the key while speaking. Prefer one press to start and another to stop? Settings → Recording Mode → Toggle."},
        {"ru", "Удерживайте клавишу, пока говорите. Хотите включать запись одним нажатием? Настройки → Режим записи → Переключение."},
        {"es", "Mantén pulsada la tecla mientras hablas. ¿Prefieres una pulsación para iniciar y otra para parar? Ajustes → Modo de grabación → Alternar."},
        {"fr", "Maintenez la touche pendant que vous parlez. Vous préférez une pression pour démarrer et une autre pour arrêter ? Paramètres → Mode d’enregistrement → Basculer."},
        {"de", "Halten Sie die Taste beim Sprechen gedrückt. Lieber einmal drücken zum Starten und erneut zum Stoppen? Einstellungen → Aufnahmemodus → Umschalten."},
        {"tr", "Konuşurken tuşu basılı tutun. Başlatmak ve durdurmak için birer kez basmayı mı tercih edersiniz? Ayarlar → Kayıt modu → Aç/Kapat."},
        {"it", "Tieni premuto il tasto mentre parli. Preferisci una pressione per avviare e un’altra per fermare? Impostazioni → Modalità di registrazione → Attiva/disattiva."},
        {"pt", "Segure a tecla enquanto fala. Prefere um toque para iniciar e outro para parar? Configurações → Modo de Gravação → Alternar."},
        {"pl", "Przytrzymaj klawisz podczas mówienia. Wolisz jedno naciśnięcie na start i kolejne na stop? Ustawienia → Tryb nagrywania → Przełącznik."},
        {"uk", "Утримуйте клавішу, поки говорите. Хочете вмикати запис одним натисканням? Налаштування → Режим запису → Перемикач."},
        {"ja", "話している間はキーを押し続けてください。1回押して開始、もう1回で停止がよければ、設定 → 録音モード → トグル。"},
        {"ko", "말하는 동안 키를 누르고 계세요. 한 번 눌러 시작하고 다시 눌러 멈추려면 설정 → 녹음 모드 → 토글."},
        {"zh", "说话时请按住按键。想按一次开始、再按一次停止？设置 → 录音模式 → 开关模式。"},
        {"hi", "बोलते समय कुंजी दबाए रखें। एक बार दबाकर शुरू और दोबारा दबाकर बंद करना चाहते हैं? सेटिंग्स → रिकॉर्डिंग मोड → टॉगल।"},
        {"ar", "استمر بالضغط على المفتاح أثناء التحدث. تفضّل ضغطة للبدء وأخرى للإيقاف؟ الإعدادات ← وضع التسجيل ← تبديل."},
    });
}

QString L10n::remotePasteTitle() {
    return t({
        {"en", "Text is ready"},
        {"ru", "Текст готов"},
        {"es", "Texto listo"},
        {"fr", "Texte prêt"},
        {"de", "Text bereit"},
        {"tr", "Metin hazır"},
        {"it", "Testo pronto"},
        {"pt", "Texto pronto"},
        {"pl", "Tekst gotowy"},
        {"uk", "Текст готовий"},
        {"ja", "テキストの準備ができました"},
        {"ko", "텍스트 준비 완료"},
        {"zh", "文本已就绪"},
        {"hi", "पाठ तैयार है"},
        {"ar", "النص جاهز"},
    });
}

QString L10n::remotePasteHint() {
    return t({
        {"en", "Press Ctrl+V to paste it into the remote desktop"},
        {"ru", "Нажмите Ctrl+V, чтобы вставить его в удалённый рабочий стол"},
        {"es", "Pulse Ctrl+V para pegarlo en el escritorio remoto"},
        {"fr", "Appuyez sur Ctrl+V pour le coller dans le bureau distant"},
        {"de", "Drücken Sie Ctrl+V, um ihn im Remote-Desktop einzufügen"},
        {"tr", "Uzak masaüstüne yapıştırmak için Ctrl+V tuşlarına basın"},
        {"it", "Premi Ctrl+V per incollarlo nel desktop remoto"},
        {"pt", "Pressione Ctrl+V para colá-lo na área de trabalho remota"},
        {"pl", "Naciśnij Ctrl+V, aby wkleić go w pulpicie zdalnym"},
        {"uk", "Натисніть Ctrl+V, щоб вставити його у віддалений робочий стіл"},
        {"ja", "Ctrl+V を押すとリモートデスクトップに貼り付けられます"},
        {"ko", "Ctrl+V를 누르면 원격 데스크톱에 붙여넣어집니다"},
        {"zh", "按 Ctrl+V 即可粘贴到远程桌面"},
        {"hi", "रिमोट डेस्कटॉप में चिपकाने के लिए Ctrl+V दबाएँ"},
        {"ar", "اضغط Ctrl+V للصقه في سطح المكتب البعيد"},
    });
}

QString L10n::usage() {
    return t({
        {"en", "Usage"},
        {"ru", "Использование"},
    });
}

QString L10n::logout() {
    return t({
        {"en", "Logout"},
        {"ru", "Выйти"},
    });
}

QString L10n::wordsThisWeek() {
    return t({
        {"en", "Words this week"},
        {"ru", "Слов за неделю"},
    });
}

QString L10n::notSignedIn() {
    return t({
        {"en", "Not signed in"},
        {"ru", "Вход не выполнен"},
    });
}

QString L10n::signInToSync() {
    return t({
        {"en", "Sign in to sync settings and access unlimited transcriptions"},
        {"ru", "Войдите, чтобы синхронизировать настройки и получить безлимитные расшифровки"},
    });
}

QString L10n::loginRegister() {
    return t({
        {"en", "Login / Register"},
        {"ru", "Вход / Регистрация"},
    });
}

QString L10n::settingsTabApp() {
    return t({
        {"en", "App"},
        {"ru", "Приложение"},
    });
}

QString L10n::about() {
    return t({
        {"en", "About"},
        {"ru", "О программе"},
    });
}

QString L10n::backend() {
    return t({
        {"en", "Backend:"},
        {"ru", "Сервер:"},
    });
}

QString L10n::version() {
    return t({
        {"en", "Version:"},
        {"ru", "Версия:"},
    });
}

QString L10n::launchAtLogin() {
    return t({
        {"en", "Launch at login"},
        {"ru", "Запускать при входе в систему"},
    });
}

QString L10n::sendErrorReports() {
    return t({
        {"en", "Send error reports"},
        {"ru", "Отправлять отчёты об ошибках"},
    });
}

QString L10n::sendErrorReportsDesc() {
    return t({
        {"en", "Technical error data only — your dictation text is never sent"},
        {"ru", "Только технические данные об ошибке — текст диктовки никогда не отправляется"},
    });
}

QString L10n::settingsTabAudio() {
    return t({
        {"en", "Sound & view"},
        {"ru", "Звук и вид"},
    });
}

QString L10n::audio() {
    return t({
        {"en", "Audio"},
        {"ru", "Звук"},
    });
}

QString L10n::soundFeedback() {
    return t({
        {"en", "Sound feedback"},
        {"ru", "Звуковые сигналы"},
    });
}

QString L10n::showOverlay() {
    return t({
        {"en", "Show overlay indicator"},
        {"ru", "Показывать индикатор"},
    });
}

QString L10n::hideOverlayIdle() {
    return t({
        {"en", "Hide when idle (show only while recording)"},
        {"ru", "Скрывать в простое (показывать только во время записи)"},
    });
}

QString L10n::autoSwitchLayout() {
    return t({
        {"en", "Auto-switch keyboard layout"},
        {"ru", "Автопереключение раскладки"},
    });
}

QString L10n::audioNormalization() {
    return t({
        {"en", "Amplify quiet speech"},
        {"ru", "Усиливать тихую речь"},
    });
}

QString L10n::duckLevel() {
    return t({
        {"en", "Volume while recording"},
        {"ru", "Громкость во время записи"},
    });
}

QString L10n::volume() {
    return t({
        {"en", "Volume"},
        {"ru", "Громкость"},
    });
}

QString L10n::microphone() {
    return t({
        {"en", "Microphone"},
        {"ru", "Микрофон"},
    });
}

QString L10n::systemDefault() {
    return t({
        {"en", "System Default"},
        {"ru", "Системный по умолчанию"},
    });
}

QString L10n::audioQualityDesc() {
    return t({
        {"en", "Higher — more accurate with a weak mic, but slower"},
        {"ru", "Выше — точнее при слабом микрофоне, но медленнее"},
    });
}

QString L10n::audioQuality() {
    return t({
        {"en", "Recognition"},
        {"ru", "Распознавание"},
    });
}

QString L10n::audioQualityFast() {
    return t({
        {"en", "Faster"},
        {"ru", "Быстрее"},
    });
}

QString L10n::audioQualityBalanced() {
    return t({
        {"en", "Balanced"},
        {"ru", "Сбалансированно"},
    });
}

QString L10n::audioQualityHigh() {
    return t({
        {"en", "High"},
        {"ru", "Высокое"},
    });
}

QString L10n::audioQualityBest() {
    return t({
        {"en", "Maximum"},
        {"ru", "Максимальное"},
    });
}

QString L10n::audioDucking() {
    return t({
        {"en", "Audio Ducking"},
        {"ru", "Приглушение звука"},
    });
}

QString L10n::duckNone() {
    return t({
        {"en", "None"},
        {"ru", "Нет"},
    });
}

QString L10n::duckPartial() {
    return t({
        {"en", "Partial"},
        {"ru", "Частичное"},
    });
}

QString L10n::duckFull() {
    return t({
        {"en", "Full (Mute)"},
        {"ru", "Полное (без звука)"},
    });
}

QString L10n::settingsTabText() {
    return t({
        {"en", "Text"},
        {"ru", "Текст"},
    });
}

QString L10n::transcription() {
    return t({
        {"en", "Transcription"},
        {"ru", "Расшифровка"},
    });
}

QString L10n::perAppStyles() {
    return t({
        {"en", "Styles per app"},
        {"ru", "Стили для приложений"},
    });
}

QString L10n::language() {
    return t({
        {"en", "Language"},
        {"ru", "Язык"},
    });
}

QString L10n::recognitionLanguage() {
    return t({
        {"en", "Recognition Language"},
        {"ru", "Язык распознавания"},
    });
}

QString L10n::interfaceLanguage() {
    return t({
        {"en", "Interface Language"},
        {"ru", "Язык интерфейса"},
    });
}

QString L10n::perAppStylesHint() {
    return t({
        {"en", "Your own processing style for chosen apps"},
        {"ru", "Свой стиль обработки для выбранных приложений"},
    });
}

QString L10n::perAppAddRunning() {
    return t({
        {"en", "Add from running apps"},
        {"ru", "Добавить из запущенных приложений"},
    });
}

QString L10n::toneNone() {
    return t({
        {"en", "None"},
        {"ru", "Без обработки"},
    });
}

QString L10n::toneNeutral() {
    return t({
        {"en", "Neutral"},
        {"ru", "Нейтральный"},
    });
}

QString L10n::toneReadable() {
    return t({
        {"en", "Readable"},
        {"ru", "Читабельный"},
    });
}

QString L10n::toneConcise() {
    return t({
        {"en", "Concise"},
        {"ru", "Лаконичный"},
    });
}

QString L10n::toneSummary() {
    return t({
        {"en", "Condensed"},
        {"ru", "Сжатый"},
    });
}

QString L10n::toneTheses() {
    return t({
        {"en", "Bullet points"},
        {"ru", "Тезисы"},
    });
}

QString L10n::toneFormal() {
    return t({
        {"en", "Formal"},
        {"ru", "Официальный"},
    });
}

QString L10n::replaceProfanityHint() {
    return t({
        {"en", "Politely replaces profanity in any mode"},
        {"ru", "Вежливо заменяет ненормативную лексику в любом режиме"},
    });
}

QString L10n::replaceProfanity() {
    return t({
        {"en", "Replace profanity"},
        {"ru", "Заменять мат"},
    });
}

QString L10n::toneStyle() {
    return t({
        {"en", "Tone Style"},
        {"ru", "Стиль текста"},
    });
}

QString L10n::editTonePromptHint() {
    return t({
        {"en", "Edit prompt"},
        {"ru", "Изменить промпт"},
    });
}

QString L10n::settingsTabKeys() {
    return t({
        {"en", "Keys"},
        {"ru", "Клавиши"},
    });
}

QString L10n::hotkey() {
    return t({
        {"en", "Hotkey"},
        {"ru", "Горячая клавиша"},
    });
}

QString L10n::translateHotkey() {
    return t({
        {"en", "Translate Hotkey"},
        {"ru", "Клавиша перевода"},
    });
}

QString L10n::pasteLastHotkey() {
    return t({
        {"en", "Paste Last Hotkey"},
        {"ru", "Клавиша вставки последней"},
    });
}

QString L10n::pasteLastHotkeyDesc() {
    return t({
        {"en", "Re-insert the last transcription into the focused field"},
        {"ru", "Повторно вставить последнюю расшифровку в активное поле"},
    });
}

QString L10n::changeHotkey() {
    return t({
        {"en", "Change Hotkey"},
        {"ru", "Изменить клавишу"},
    });
}

QString L10n::cancel() {
    return t({
        {"en", "Cancel"},
        {"ru", "Отмена"},
    });
}

QString L10n::currentHotkey() {
    return t({
        {"en", "Current hotkey:"},
        {"ru", "Текущая клавиша:"},
    });
}

QString L10n::notSet() {
    return t({
        {"en", "Not set"},
        {"ru", "Не задана"},
    });
}

QString L10n::pressAnyKey() {
    return t({
        {"en", "Press any key..."},
        {"ru", "Нажмите любую клавишу..."},
    });
}

QString L10n::translateHotkeyDesc() {
    return t({
        {"en", "Hold to record + translate to target language"},
        {"ru", "Удерживайте для записи + перевода на целевой язык"},
    });
}

QString L10n::translateTo() {
    return t({
        {"en", "Translate to"},
        {"ru", "Переводить на"},
    });
}

QString L10n::reset() {
    return t({
        {"en", "Reset"},
        {"ru", "Сбросить"},
    });
}

QString L10n::openWindowOnLaunch() {
    return t({
        {"en", "Open window on launch"},
        {"ru", "Открывать окно при запуске"},
    });
}

QString L10n::openWindowOnLaunchDesc() {
    return t({
        {"en", "The app lives in the system tray and has no taskbar icon. Without this the launch looks like nothing happened."},
        {"ru", "Приложение живёт в системном трее и не имеет значка на панели задач. Без этой настройки кажется, что запуск ничего не дал."},
    });
}

QString L10n::pressAndHold() {
    return t({
        {"en", "Press and hold to record, release to transcribe"},
        {"ru", "Нажмите и удерживайте для записи, отпустите для расшифровки"},
    });
}

QString L10n::pushToTalkDesc() {
    return t({
        {"en", "Hold key to record, release to stop"},
        {"ru", "Удерживайте клавишу для записи, отпустите для остановки"},
    });
}

QString L10n::toggleRecordDesc() {
    return t({
        {"en", "Press once to start, press again to stop"},
        {"ru", "Нажмите один раз для начала, ещё раз — для остановки"},
    });
}

QString L10n::recordingMode() {
    return t({
        {"en", "Recording Mode"},
        {"ru", "Режим записи"},
    });
}

QString L10n::pushToTalk() {
    return t({
        {"en", "Push-to-Talk"},
        {"ru", "Удержание"},
    });
}

QString L10n::toggleRecord() {
    return t({
        {"en", "Toggle"},
        {"ru", "Переключение"},
    });
}

QString L10n::productsSection() {
    return t({
        {"en", "Our products"},
        {"ru", "Наши продукты"},
    });
}

QString L10n::productsSubtitle() {
    return t({
        {"en", "Z7 ecosystem — services that work together"},
        {"ru", "Экосистема Z7 — сервисы, которые работают вместе"},
    });
}

QString L10n::productsD7AvuTagline() {
    return t({
        {"en", "AI agent in your messenger"},
        {"ru", "ИИ-агент в вашем мессенджере"},
    });
}

QString L10n::productsD7AvuDesc() {
    return t({
        {"en", "A personal AI agent that understands context, remembers you and gets tasks done. Works in Telegram, VK and Max. Try it for free."},
        {"ru", "Личный ИИ-агент, который понимает контекст, помнит вас и выполняет задачи. Работает в Telegram, VK и Max. Попробуйте бесплатно."},
    });
}

QString L10n::productsSameAccount() {
    return t({
        {"en", "Sign in with the same account as ORMIL — no new registration needed."},
        {"ru", "Входите с тем же аккаунтом, что и в ORMIL, — новая регистрация не нужна."},
    });
}

QString L10n::productsOpenD7Avu() {
    return t({
        {"en", "Open D7Avu"},
        {"ru", "Открыть D7Avu"},
    });
}

QString L10n::editSnippet() {
    return t({
        {"en", "Edit Snippet"},
        {"ru", "Изменить сниппет"},
    });
}

QString L10n::addSnippet() {
    return t({
        {"en", "Add Snippet"},
        {"ru", "Добавить сниппет"},
    });
}

QString L10n::voiceHint() {
    return t({
        {"en", "Say the code word while dictating — the transcribed text gets the full snippet instead."},
        {"ru", "Произнесите кодовое слово во время диктовки — в расшифровке вместо него появится весь сниппет."},
    });
}

QString L10n::keyboardHint() {
    return t({
        {"en", "Type the shortcut in any app — it expands into full text as you type."},
        {"ru", "Наберите сокращение в любом приложении — оно развернётся в полный текст прямо при вводе."},
    });
}

QString L10n::nothingFound() {
    return t({
        {"en", "Nothing found"},
        {"ru", "Ничего не найдено"},
    });
}

QString L10n::addSnippetsForQuick() {
    return t({
        {"en", "Add text snippets for quick insertion"},
        {"ru", "Добавьте сниппеты для быстрой вставки текста"},
    });
}

QString L10n::noSnippetsYet() {
    return t({
        {"en", "No snippets yet"},
        {"ru", "Сниппетов пока нет"},
    });
}

QString L10n::deleteExpansionConfirm() {
    return t({
        {"en", "Delete this text expansion?"},
        {"ru", "Удалить этот сниппет с сокращением?"},
    });
}

QString L10n::deleteCannotBeUndone() {
    return t({
        {"en", "This action cannot be undone."},
        {"ru", "Это действие нельзя отменить."},
    });
}

QString L10n::delete_() {
    return t({
        {"en", "Delete"},
        {"ru", "Удалить"},
    });
}

QString L10n::addVoiceSnippetsHint() {
    return t({
        {"en", "Add a code word you will say out loud"},
        {"ru", "Добавьте кодовое слово, которое будете произносить вслух"},
    });
}

QString L10n::noVoiceSnippetsYet() {
    return t({
        {"en", "No voice snippets yet"},
        {"ru", "Голосовых сниппетов пока нет"},
    });
}

QString L10n::deleteSnippetConfirm() {
    return t({
        {"en", "Delete this snippet?"},
        {"ru", "Удалить этот сниппет?"},
    });
}

QString L10n::searchSnippets() {
    return t({
        {"en", "Search snippets..."},
        {"ru", "Поиск сниппетов..."},
    });
}

QString L10n::tabKeyboard() {
    return t({
        {"en", "Keyboard"},
        {"ru", "Клавиатура"},
    });
}

QString L10n::tabVoice() {
    return t({
        {"en", "Voice"},
        {"ru", "Голос"},
    });
}

QString L10n::snippets() {
    return t({
        {"en", "Snippets"},
        {"ru", "Сниппеты"},
    });
}

QString L10n::add() {
    return t({
        {"en", "Add"},
        {"ru", "Добавить"},
    });
}

QString L10n::dictionaryEmpty() {
    return t({
        {"en", "Dictionary is empty"},
        {"ru", "Словарь пуст"},
    });
}

QString L10n::addWordsToImprove() {
    return t({
        {"en", "Add words to improve recognition"},
        {"ru", "Добавьте слова, чтобы улучшить распознавание"},
    });
}

QString L10n::deleteDictionaryConfirm() {
    return t({
        {"en", "Delete this dictionary entry?"},
        {"ru", "Удалить эту запись словаря?"},
    });
}

QString L10n::searchDictionary() {
    return t({
        {"en", "Search dictionary..."},
        {"ru", "Поиск по словарю..."},
    });
}

QString L10n::dictionary() {
    return t({
        {"en", "Dictionary"},
        {"ru", "Словарь"},
    });
}

QString L10n::addEntry() {
    return t({
        {"en", "Add Entry"},
        {"ru", "Добавить запись"},
    });
}

QString L10n::filesStatusError() {
    return t({
        {"en", "Error"},
        {"ru", "Ошибка"},
    });
}

QString L10n::filesEmpty() {
    return t({
        {"en", "Your file transcription history will appear here"},
        {"ru", "Здесь появится история расшифровки файлов"},
    });
}

QString L10n::filesSelectFile() {
    return t({
        {"en", "Select audio or video"},
        {"ru", "Выбрать аудио или видео"},
    });
}

QString L10n::filesUploading() {
    return t({
        {"en", "Uploading..."},
        {"ru", "Загрузка..."},
    });
}

QString L10n::filesExtractingAudio() {
    return t({
        {"en", "Extracting audio from video..."},
        {"ru", "Извлечение звука из видео..."},
    });
}

QString L10n::filesSection() {
    return t({
        {"en", "Files"},
        {"ru", "Файлы"},
    });
}

QString L10n::filesServiceUnavailable() {
    return t({
        {"en", "File transcription service is temporarily unavailable. Please try again later."},
        {"ru", "Сервис расшифровки файлов временно недоступен. Попробуйте позже."},
    });
}

QString L10n::clipboardEmpty() {
    return t({
        {"en", "Clipboard history is empty"},
        {"ru", "История буфера обмена пуста"},
    });
}

QString L10n::filesCopy() {
    return t({
        {"en", "Copy"},
        {"ru", "Копировать"},
    });
}

QString L10n::clipboardSection() {
    return t({
        {"en", "Clipboard"},
        {"ru", "Буфер обмена"},
    });
}

QString L10n::clipboardSubtitle() {
    return t({
        {"en", "Texts you copied yourself — transcription inserts are not included"},
        {"ru", "Тексты, которые вы скопировали сами, — вставки расшифровок сюда не попадают"},
    });
}

QString L10n::noRecordingsYet() {
    return t({
        {"en", "No recordings yet"},
        {"ru", "Записей пока нет"},
    });
}

QString L10n::today() {
    return t({
        {"en", "Today"},
        {"ru", "Сегодня"},
    });
}

QString L10n::yesterday() {
    return t({
        {"en", "Yesterday"},
        {"ru", "Вчера"},
    });
}

QString L10n::earlier() {
    return t({
        {"en", "Earlier"},
        {"ru", "Ранее"},
    });
}

QString L10n::failedToRecognize() {
    return t({
        {"en", "Failed to Recognize"},
        {"ru", "Не удалось распознать"},
    });
}

QString L10n::clearAll() {
    return t({
        {"en", "Clear All"},
        {"ru", "Очистить всё"},
    });
}

QString L10n::searchTranscriptions() {
    return t({
        {"en", "Search transcriptions..."},
        {"ru", "Поиск расшифровок..."},
    });
}

QString L10n::history() {
    return t({
        {"en", "History"},
        {"ru", "История"},
    });
}

QString L10n::wordsUsed() {
    return t({
        {"en", "Words Used"},
        {"ru", "Использовано слов"},
    });
}

QString L10n::wordsLimit() {
    return t({
        {"en", "Words Limit"},
        {"ru", "Лимит слов"},
    });
}

QString L10n::plan() {
    return t({
        {"en", "Plan"},
        {"ru", "Тариф"},
    });
}

QString L10n::stepHold() {
    return t({
        {"en", "Hold"},
        {"ru", "Удерживайте"},
    });
}

QString L10n::stepSpeak() {
    return t({
        {"en", "Speak"},
        {"ru", "Говорите"},
    });
}

QString L10n::stepSpeakDesc() {
    return t({
        {"en", "Say what you\nwant to type"},
        {"ru", "Скажите то, что\nхотите напечатать"},
    });
}

QString L10n::stepRelease() {
    return t({
        {"en", "Release"},
        {"ru", "Отпустите"},
    });
}

QString L10n::stepReleaseDesc() {
    return t({
        {"en", "Text is typed\nautomatically"},
        {"ru", "Текст напечатается\nавтоматически"},
    });
}

QString L10n::releaseToTranscribe() {
    return t({
        {"en", "Release to transcribe and paste"},
        {"ru", "Отпустите, чтобы расшифровать и вставить"},
    });
}

QString L10n::welcomeBack() {
    return t({
        {"en", "Welcome back"},
        {"ru", "С возвращением"},
    });
}

QString L10n::voiceAssistantReady() {
    return t({
        {"en", "Your voice assistant is ready"},
        {"ru", "Ваш голосовой помощник готов"},
    });
}

QString L10n::shortcutPlaceholder() {
    return t({
        {"en", "Shortcut (e.g. //sig)"},
        {"ru", "Сокращение (например, //sig)"},
    });
}

QString L10n::differentTextForWindows() {
    return t({
        {"en", "Different text for Windows"},
        {"ru", "Другой текст для Windows"},
    });
}

QString L10n::textForWindows() {
    return t({
        {"en", "Text for Windows"},
        {"ru", "Текст для Windows"},
    });
}

QString L10n::differentTextForWindowsHint() {
    return t({
        {"en", "Same shortcut, different result on each system"},
        {"ru", "Одно сокращение — разный результат в каждой системе"},
    });
}

QString L10n::save() {
    return t({
        {"en", "Save"},
        {"ru", "Сохранить"},
    });
}

QString L10n::text() {
    return t({
        {"en", "Text"},
        {"ru", "Текст"},
    });
}

QString L10n::textForMac() {
    return t({
        {"en", "Text for Linux"},
        {"ru", "Текст для Linux"},
    });
}

QString L10n::triggerWord() {
    return t({
        {"en", "Trigger word"},
        {"ru", "Кодовое слово"},
    });
}

QString L10n::replacement() {
    return t({
        {"en", "Replacement"},
        {"ru", "Замена"},
    });
}

QString L10n::editEntry() {
    return t({
        {"en", "Edit Entry"},
        {"ru", "Изменить запись"},
    });
}

QString L10n::filesStatusDone() {
    return t({
        {"en", "Done"},
        {"ru", "Готово"},
    });
}

QString L10n::filesStatusProcessing() {
    return t({
        {"en", "Processing"},
        {"ru", "Обработка"},
    });
}

QString L10n::filesStatusQueued() {
    return t({
        {"en", "Queued..."},
        {"ru", "В очереди..."},
    });
}

QString L10n::retry() {
    return t({
        {"en", "Retry"},
        {"ru", "Повторить"},
    });
}

QString L10n::failedTranscription() {
    return t({
        {"en", "Failed transcription"},
        {"ru", "Неудачная расшифровка"},
    });
}

QString L10n::sidebarMain() {
    return t({
        {"en", "MAIN"},
        {"ru", "ГЛАВНОЕ"},
    });
}

QString L10n::sidebarSettings() {
    return t({
        {"en", "SETTINGS"},
        {"ru", "НАСТРОЙКИ"},
    });
}

QString L10n::account() {
    return t({
        {"en", "Account"},
        {"ru", "Аккаунт"},
    });
}

QString L10n::home() {
    return t({
        {"en", "Home"},
        {"ru", "Главная"},
    });
}

QString L10n::onboardingSkip() {
    return t({
        {"en", "Skip"},
        {"ru", "Пропустить"},
    });
}

QString L10n::onboardingNext() {
    return t({
        {"en", "Next"},
        {"ru", "Далее"},
    });
}

QString L10n::onboardingStart() {
    return t({
        {"en", "Get started"},
        {"ru", "Начать"},
    });
}

QString L10n::onboardingModeTitle() {
    return t({
        {"en", "How recording starts"},
        {"ru", "Как начинается запись"},
    });
}

QString L10n::onboardingModeSubtitle() {
    return t({
        {"en", "Choose what feels natural. You can change this any time in Settings."},
        {"ru", "Выберите, что вам удобнее. Это можно изменить в любой момент в настройках."},
    });
}

QString L10n::onboardingMicTitle() {
    return t({
        {"en", "Check the microphone"},
        {"ru", "Проверьте микрофон"},
    });
}

QString L10n::onboardingMicSubtitle() {
    return t({
        {"en", "Say something — the bar below should react. If it stays flat, the wrong input device is selected or access is not granted."},
        {"ru", "Скажите что-нибудь — полоска ниже должна реагировать. Если она неподвижна, выбрано не то устройство ввода или не выдан доступ."},
    });
}

QString L10n::onboardingMicWaiting() {
    return t({
        {"en", "Waiting for sound..."},
        {"ru", "Ждём звук..."},
    });
}

QString L10n::onboardingMicOpenSettings() {
    return t({
        {"en", "Open system settings"},
        {"ru", "Открыть системные настройки"},
    });
}

QString L10n::onboardingMicOk() {
    return t({
        {"en", "Microphone works"},
        {"ru", "Микрофон работает"},
    });
}

QString L10n::onboardingMicDenied() {
    return t({
        {"en", "Microphone access is not granted — without it dictation returns empty text."},
        {"ru", "Доступ к микрофону не выдан — без него диктовка возвращает пустой текст."},
    });
}

QString L10n::onboardingWhereTitle() {
    return t({
        {"en", "Where the app lives"},
        {"ru", "Где живёт приложение"},
    });
}

QString L10n::onboardingWhereSubtitle() {
    return t({
        {"en", "Ormil has no taskbar icon on purpose: it sits in the system tray and is always at hand."},
        {"ru", "У Ormil намеренно нет значка на панели задач: он живёт в системном трее и всегда под рукой."},
    });
}

QString L10n::onboardingWhereHint() {
    return t({
        {"en", "Look for the «Z7» badge in the system tray, usually next to the clock. Click it to open this window again."},
        {"ru", "Ищите значок «Z7» в системном трее, обычно рядом с часами. Нажмите на него, чтобы снова открыть это окно."},
    });
}

QString L10n::overlayDragHint() {
    return t({
        {"en", "Drag to move. Right-click to choose screen edge"},
        {"ru", "Перетащите, чтобы переместить. Правый клик — выбор края экрана"},
    });
}

QString L10n::overlayPostProcessing() {
    return t({
        {"en", "Processing text…"},
        {"ru", "Обработка текста…"},
    });
}

QString L10n::overlayDockRight() {
    return t({
        {"en", "Along right edge"},
        {"ru", "Вдоль правого края"},
    });
}

QString L10n::overlayDockLeft() {
    return t({
        {"en", "Along left edge"},
        {"ru", "Вдоль левого края"},
    });
}

QString L10n::overlayDockTop() {
    return t({
        {"en", "Along top edge"},
        {"ru", "Вдоль верхнего края"},
    });
}

QString L10n::overlayDockBottom() {
    return t({
        {"en", "Along bottom edge"},
        {"ru", "Вдоль нижнего края"},
    });
}

QString L10n::promptEditorPromptPlaceholderCustom() {
    return t({
        {"en", "Prompt for processing the source text. For example: \"Translate to English, keep terms\" or a detailed multi-paragraph instruction — whatever works for you."},
        {"ru", "Промпт для обработки исходного текста. Например: \"Переведи на английский, сохрани термины\" или подробная инструкция на несколько абзацев — как вам удобнее."},
    });
}

QString L10n::promptEditorDeleteTab() {
    return t({
        {"en", "Delete"},
        {"ru", "Удалить"},
    });
}

QString L10n::promptEditorRestoreDefault() {
    return t({
        {"en", "Restore default"},
        {"ru", "Вернуть по умолчанию"},
    });
}

QString L10n::promptEditorPromptPlaceholderBuiltin() {
    return t({
        {"en", "Prompt text — can be edited in full, up to a complete replacement."},
        {"ru", "Текст промпта — можно править целиком, вплоть до полной замены."},
    });
}

QString L10n::promptEditorTranslating() {
    return t({
        {"en", "Translating…"},
        {"ru", "Перевод…"},
    });
}

QString L10n::promptEditorTranslateFailed() {
    return t({
        {"en", "Couldn't translate — showing the English original."},
        {"ru", "Не удалось перевести — показан английский оригинал."},
    });
}

QString L10n::promptEditorTranslatedAutoHint() {
    return t({
        {"en", "Translated automatically — will be translated back to English on save."},
        {"ru", "Переведено автоматически — при сохранении будет переведено обратно на английский."},
    });
}

QString L10n::promptEditorShowOriginal() {
    return t({
        {"en", "Show original (EN)"},
        {"ru", "Показать оригинал (EN)"},
    });
}

QString L10n::promptEditorNamePlaceholder() {
    return t({
        {"en", "Style name"},
        {"ru", "Название стиля"},
    });
}

QString L10n::promptEditorShowTranslation() {
    return t({
        {"en", "Show translation"},
        {"ru", "Показать перевод"},
    });
}

QString L10n::promptEditorCancel() {
    return t({
        {"en", "Cancel"},
        {"ru", "Отмена"},
    });
}

QString L10n::promptEditorSave() {
    return t({
        {"en", "Save"},
        {"ru", "Сохранить"},
    });
}

QString L10n::promptEditorSameLanguage() {
    return t({
        {"en", "Same language as source"},
        {"ru", "На языке оригинала"},
    });
}

QString L10n::promptEditorSameLanguageHint() {
    return t({
        {"en", "The result must stay in the language of the dictated text"},
        {"ru", "Результат должен остаться на языке продиктованного текста"},
    });
}

QString L10n::promptEditorDontChangeMeaning() {
    return t({
        {"en", "Don't change the meaning"},
        {"ru", "Не менять смысл"},
    });
}

QString L10n::promptEditorDontChangeMeaningHint() {
    return t({
        {"en", "Style and wording may change, but not the meaning"},
        {"ru", "Стиль и формулировки могут меняться, но не смысл"},
    });
}

QString L10n::promptEditorTitleNewStyle() {
    return t({
        {"en", "New Style"},
        {"ru", "Новый стиль"},
    });
}

QString L10n::promptEditorPromptForStyle() {
    return t({
        {"en", "Prompt for style: "},
        {"ru", "Промпт для стиля: "},
    });
}

QString L10n::promptEditorShowHiddenPrefix() {
    return t({
        {"en", "Show: "},
        {"ru", "Показать: "},
    });
}

QString L10n::promptEditorEditHint() {
    return t({
        {"en", "Edit…"},
        {"ru", "Изменить…"},
    });
}

QString L10n::promptEditorHideFromList() {
    return t({
        {"en", "Hide from list"},
        {"ru", "Скрыть из списка"},
    });
}

QString L10n::promptEditorEditModifiedHint() {
    return t({
        {"en", "Edit… (modified)"},
        {"ru", "Изменить… (изменён)"},
    });
}

QString L10n::errorNoSpeechDetected() {
    return t({
        {"en", "No speech detected — check that the right microphone is selected and access is granted"},
        {"ru", "Речь не распознана — проверьте, выбран ли нужный микрофон и выдан ли доступ"},
        {"es", "No se detectó voz: comprueba el micrófono y el permiso"},
        {"fr", "Aucune parole détectée — vérifiez le micro et l’autorisation"},
        {"de", "Keine Sprache erkannt – prüfen Sie Mikrofon und Zugriff"},
        {"tr", "Konuşma algılanmadı — mikrofonu ve izni kontrol edin"},
        {"it", "Nessun parlato rilevato: controlla microfono e permessi"},
        {"pt", "Nenhuma fala detectada — verifique o microfone e a permissão"},
        {"pl", "Nie wykryto mowy — sprawdź mikrofon i uprawnienia"},
        {"uk", "Мовлення не розпізнано — перевірте мікрофон і доступ"},
        {"ja", "音声が検出されませんでした。マイクとアクセス許可を確認してください"},
        {"ko", "음성이 감지되지 않았습니다 — 마이크와 권한을 확인하세요"},
        {"zh", "未检测到语音 — 请检查麦克风和权限"},
        {"hi", "कोई भाषण नहीं मिला — माइक्रोफ़ोन और अनुमति जाँचें"},
        {"ar", "لم يُكتشف كلام — تحقق من الميكروفون والإذن"},
    });
}

QString L10n::updateFailedDownload() {
    return t({
        {"en", "Could not download the update. Please try again later."},
        {"ru", "Не удалось скачать обновление. Попробуйте позже."},
    });
}

QString L10n::updateVerifying() {
    return t({
        {"en", "Checking the download..."},
        {"ru", "Проверка загрузки..."},
    });
}

QString L10n::updateFailedInstall() {
    return t({
        {"en", "Could not install the update. Please try again later."},
        {"ru", "Не удалось установить обновление. Попробуйте позже."},
    });
}

QString L10n::updateInstalling() {
    return t({
        {"en", "Installing..."},
        {"ru", "Установка..."},
    });
}

QString L10n::updateRestarting() {
    return t({
        {"en", "Restarting Ormil..."},
        {"ru", "Перезапуск Ormil..."},
    });
}

QString L10n::updateWindowTitle() {
    return t({
        {"en", "Updating Ormil"},
        {"ru", "Обновление Ormil"},
    });
}

QString L10n::updateAvailableTitle() {
    return t({
        {"en", "Ormil update available"},
        {"ru", "Доступно обновление Ormil"},
    });
}

QString L10n::updateCurrentVersion() {
    return t({
        {"en", "Installed version"},
        {"ru", "Установленная версия"},
    });
}

QString L10n::updateNow() {
    return t({
        {"en", "Update"},
        {"ru", "Обновить"},
    });
}

QString L10n::updateLater() {
    return t({
        {"en", "Later"},
        {"ru", "Позже"},
    });
}

QString L10n::updateCheckFailed() {
    return t({
        {"en", "Could not check for updates. Please try again later."},
        {"ru", "Не удалось проверить обновления. Попробуйте позже."},
    });
}

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
    return fill(
        {
            {"en", "Downloading version %1..."},
            {"ru", "Загрузка версии %1..."},
        },
        {version});
}

QString L10n::updateUpToDate(const QString& version) {
    return fill(
        {
            {"en", "You have the latest version, %1"},
            {"ru", "У вас последняя версия, %1"},
        },
        {version});
}

QString L10n::holdHotkeyToRecord(const QString& hotkey) {
    return fill(
        {
            {"en", "Hold %1 to record"},
            {"ru", "Удерживайте %1 для записи"},
        },
        {hotkey});
}

QString L10n::stepHoldDesc(const QString& hotkey) {
    return fill(
        {
            {"en", "Press and hold\n%1"},
            {"ru", "Нажмите и удерживайте\n%1"},
        },
        {hotkey});
}

QString L10n::holdHotkeyToStart(const QString& hotkey) {
    return fill(
        {
            {"en", "Hold %1 to start recording"},
            {"ru", "Удерживайте %1, чтобы начать запись"},
        },
        {hotkey});
}

QString L10n::filesHint(int maxSizeMb) {
    return fill(
        {
            {"en", "Audio up to %1 MB. Video — no size limit, we only recognize the sound: mp3, wav, m4a, mp4, ogg, flac etc."},
            {"ru", "Аудио до %1 МБ. Видео — без ограничения размера, распознаём только звук: mp3, wav, m4a, mp4, ogg, flac и др."},
        },
        {QString::number(maxSizeMb)});
}

QString L10n::filesDailyQuotaHint(int limit, int remaining) {
    return fill(
        {
            {"en", "Up to %1 min of audio per day. %2 min left today (resets at 00:00 UTC)."},
            {"ru", "До %1 мин аудио в день. Сегодня осталось %2 мин (сброс в 03:00 по Москве, 00:00 UTC)."},
        },
        {QString::number(limit), QString::number(remaining)});
}

QString L10n::filesDailyQuotaExhausted(int limit) {
    return fill(
        {
            {"en", "Daily limit of %1 min reached. Resets at 00:00 UTC."},
            {"ru", "Дневной лимит %1 мин исчерпан. Сброс в 03:00 по Москве (00:00 UTC)."},
        },
        {QString::number(limit)});
}

QString L10n::filesVideoExtractFailedTooLarge(int limitMb) {
    return fill(
        {
            {"en", "Could not extract audio from the video locally, and the file itself is larger than %1 MB."},
            {"ru", "Не удалось извлечь звук из видео на компьютере, а сам файл больше %1 МБ."},
        },
        {QString::number(limitMb)});
}

QString L10n::filesTooLarge(int limitMb) {
    return fill(
        {
            {"en", "File is too large. Maximum size is %1 MB."},
            {"ru", "Файл слишком большой. Максимальный размер — %1 МБ."},
        },
        {QString::number(limitMb)});
}

QString L10n::nWords(int count) {
    return fill(
        {
            {"en", "%1 words"},
            {"ru", "%1 слов"},
        },
        {QString::number(count)});
}

QString L10n::longRecordingWarning(int minutes) {
    return fill(
        {
            {"en", "Recording has been going for over %1 min. The result may be less accurate!"},
            {"ru", "Запись уже >%1 мин. Качество результата может снизиться!"},
        },
        {QString::number(minutes)});
}
