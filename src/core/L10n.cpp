#include "core/L10n.h"

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
        {"es", "Abrir Ormil"},
        {"fr", "Ouvrir Ormil"},
        {"de", "Ormil öffnen"},
        {"tr", "Ormil'i aç"},
        {"it", "Apri Ormil"},
        {"pt", "Abrir o Ormil"},
        {"pl", "Otwórz Ormil"},
        {"uk", "Відкрити Ormil"},
        {"ja", "Ormil を開く"},
        {"ko", "Ormil 열기"},
        {"zh", "打开 Ormil"},
        {"hi", "Ormil खोलें"},
        {"ar", "فتح Ormil"},
    });
}

QString L10n::pasteLastTranscription() {
    return t({
        {"en", "Paste Last Transcription"},
        {"ru", "Вставить последнюю расшифровку"},
        {"es", "Pegar última transcripción"},
        {"fr", "Coller la dernière transcription"},
        {"de", "Letzte Transkription einfügen"},
        {"tr", "Son transkripsiyonu yapıştır"},
        {"it", "Incolla l’ultima trascrizione"},
        {"pt", "Colar última transcrição"},
        {"pl", "Wklej ostatnią transkrypcję"},
        {"uk", "Вставити останню транскрипцію"},
        {"ja", "最後の文字起こしを貼り付け"},
        {"ko", "마지막 변환 텍스트 붙여넣기"},
        {"zh", "粘贴上一次转写"},
        {"hi", "पिछला ट्रांसक्रिप्शन पेस्ट करें"},
        {"ar", "لصق آخر تفريغ نصي"},
    });
}

QString L10n::recentTranscriptions() {
    return t({
        {"en", "Recent Transcriptions"},
        {"ru", "Последние расшифровки"},
        {"es", "Transcripciones recientes"},
        {"fr", "Transcriptions récentes"},
        {"de", "Letzte Transkriptionen"},
        {"tr", "Son transkripsiyonlar"},
        {"it", "Trascrizioni recenti"},
        {"pt", "Transcrições recentes"},
        {"pl", "Ostatnie transkrypcje"},
        {"uk", "Останні транскрипції"},
        {"ja", "最近の文字起こし"},
        {"ko", "최근 변환 텍스트"},
        {"zh", "最近的转写"},
        {"hi", "हाल के ट्रांसक्रिप्शन"},
        {"ar", "التفريغات النصية الأخيرة"},
    });
}

QString L10n::clipboardHistoryMenu() {
    return t({
        {"en", "Clipboard History"},
        {"ru", "История буфера обмена"},
        {"es", "Historial del portapapeles"},
        {"fr", "Historique du presse-papiers"},
        {"de", "Verlauf der Zwischenablage"},
        {"tr", "Pano geçmişi"},
        {"it", "Cronologia degli appunti"},
        {"pt", "Histórico da área de transferência"},
        {"pl", "Historia schowka"},
        {"uk", "Історія буфера обміну"},
        {"ja", "クリップボード履歴"},
        {"ko", "클립보드 기록"},
        {"zh", "剪贴板历史"},
        {"hi", "क्लिपबोर्ड इतिहास"},
        {"ar", "سجل الحافظة"},
    });
}

QString L10n::settings() {
    return t({
        {"en", "Settings"},
        {"ru", "Настройки"},
        {"es", "Ajustes"},
        {"fr", "Paramètres"},
        {"de", "Einstellungen"},
        {"tr", "Ayarlar"},
        {"it", "Impostazioni"},
        {"pt", "Configurações"},
        {"pl", "Ustawienia"},
        {"uk", "Налаштування"},
        {"ja", "設定"},
        {"ko", "설정"},
        {"zh", "设置"},
        {"hi", "सेटिंग्स"},
        {"ar", "الإعدادات"},
    });
}

QString L10n::checkForUpdates() {
    return t({
        {"en", "Check for Updates..."},
        {"ru", "Проверить обновления..."},
        {"es", "Buscar actualizaciones..."},
        {"fr", "Rechercher des mises à jour..."},
        {"de", "Nach Updates suchen..."},
        {"tr", "Güncellemeleri denetle..."},
        {"it", "Cerca aggiornamenti..."},
        {"pt", "Verificar atualizações..."},
        {"pl", "Sprawdź aktualizacje..."},
        {"uk", "Перевірити оновлення..."},
        {"ja", "アップデートを確認..."},
        {"ko", "업데이트 확인..."},
        {"zh", "检查更新..."},
        {"hi", "अपडेट जाँचें..."},
        {"ar", "البحث عن تحديثات..."},
    });
}

QString L10n::quitOrmil() {
    return t({
        {"en", "Quit Ormil"},
        {"ru", "Выйти из Ormil"},
        {"es", "Salir de Ormil"},
        {"fr", "Quitter Ormil"},
        {"de", "Ormil beenden"},
        {"tr", "Ormil'den çık"},
        {"it", "Esci da Ormil"},
        {"pt", "Sair do Ormil"},
        {"pl", "Zakończ Ormil"},
        {"uk", "Вийти з Ormil"},
        {"ja", "Ormil を終了"},
        {"ko", "Ormil 종료"},
        {"zh", "退出 Ormil"},
        {"hi", "Ormil बंद करें"},
        {"ar", "إنهاء Ormil"},
    });
}

QString L10n::clipboardEmptyShort() {
    return t({
        {"en", "Empty"},
        {"ru", "Пусто"},
        {"es", "Vacío"},
        {"fr", "Vide"},
        {"de", "Leer"},
        {"tr", "Boş"},
        {"it", "Vuoto"},
        {"pt", "Vazio"},
        {"pl", "Pusto"},
        {"uk", "Порожньо"},
        {"ja", "空"},
        {"ko", "비어 있음"},
        {"zh", "空"},
        {"hi", "खाली"},
        {"ar", "فارغ"},
    });
}

QString L10n::noRecentTranscriptions() {
    return t({
        {"en", "No recent transcriptions"},
        {"ru", "Нет последних расшифровок"},
        {"es", "No hay transcripciones recientes"},
        {"fr", "Aucune transcription récente"},
        {"de", "Keine aktuellen Transkriptionen"},
        {"tr", "Son transkripsiyon yok"},
        {"it", "Nessuna trascrizione recente"},
        {"pt", "Nenhuma transcrição recente"},
        {"pl", "Brak ostatnich transkrypcji"},
        {"uk", "Немає останніх транскрипцій"},
        {"ja", "最近の文字起こしはありません"},
        {"ko", "최근 변환 텍스트가 없습니다"},
        {"zh", "没有最近的转写"},
        {"hi", "कोई हालिया ट्रांसक्रिप्शन नहीं"},
        {"ar", "لا توجد تفريغات نصية حديثة"},
    });
}

QString L10n::processing() {
    return t({
        {"en", "Processing..."},
        {"ru", "Обработка..."},
        {"es", "Procesando..."},
        {"fr", "Traitement..."},
        {"de", "Wird verarbeitet..."},
        {"tr", "İşleniyor..."},
        {"it", "Elaborazione..."},
        {"pt", "Processando..."},
        {"pl", "Przetwarzanie..."},
        {"uk", "Обробка..."},
        {"ja", "処理中..."},
        {"ko", "처리 중..."},
        {"zh", "正在处理..."},
        {"hi", "प्रोसेस हो रहा है..."},
        {"ar", "جارٍ المعالجة..."},
    });
}

QString L10n::recording() {
    return t({
        {"en", "Recording..."},
        {"ru", "Запись..."},
        {"es", "Grabando..."},
        {"fr", "Enregistrement..."},
        {"de", "Aufnahme läuft..."},
        {"tr", "Kaydediliyor..."},
        {"it", "Registrazione..."},
        {"pt", "Gravando..."},
        {"pl", "Nagrywanie..."},
        {"uk", "Запис..."},
        {"ja", "録音中..."},
        {"ko", "녹음 중..."},
        {"zh", "正在录音..."},
        {"hi", "रिकॉर्ड हो रहा है..."},
        {"ar", "جارٍ التسجيل..."},
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
        {"es", "Dictado por voz para Linux"},
        {"fr", "Dictée vocale pour Linux"},
        {"de", "Sprachdiktat für Linux"},
        {"tr", "Linux için sesli dikte"},
        {"it", "Dettatura vocale per Linux"},
        {"pt", "Ditado por voz para Linux"},
        {"pl", "Dyktowanie głosowe dla Linuksa"},
        {"uk", "Голосове диктування для Linux"},
        {"ja", "Linux 向け音声入力"},
        {"ko", "Linux용 음성 받아쓰기"},
        {"zh", "适用于 Linux 的语音听写"},
        {"hi", "Linux के लिए वॉइस डिक्टेशन"},
        {"ar", "إملاء صوتي لنظام Linux"},
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
        {"en",
         "Hold the key while speaking. Prefer one press to start and another to stop? Settings → "
         "Recording Mode → Toggle."},
        {"ru",
         "Удерживайте клавишу, пока говорите. Хотите включать запись одним нажатием? Настройки → "
         "Режим записи → Переключение."},
        {"es",
         "Mantén pulsada la tecla mientras hablas. ¿Prefieres una pulsación para iniciar y otra "
         "para parar? Ajustes → Modo de grabación → Alternar."},
        {"fr",
         "Maintenez la touche pendant que vous parlez. Vous préférez une pression pour démarrer et "
         "une autre pour arrêter ? Paramètres → Mode d’enregistrement → Basculer."},
        {"de",
         "Halten Sie die Taste beim Sprechen gedrückt. Lieber einmal drücken zum Starten und "
         "erneut zum Stoppen? Einstellungen → Aufnahmemodus → Umschalten."},
        {"tr",
         "Konuşurken tuşu basılı tutun. Başlatmak ve durdurmak için birer kez basmayı mı tercih "
         "edersiniz? Ayarlar → Kayıt modu → Aç/Kapat."},
        {"it",
         "Tieni premuto il tasto mentre parli. Preferisci una pressione per avviare e un’altra per "
         "fermare? Impostazioni → Modalità di registrazione → Attiva/disattiva."},
        {"pt",
         "Segure a tecla enquanto fala. Prefere um toque para iniciar e outro para parar? "
         "Configurações → Modo de Gravação → Alternar."},
        {"pl",
         "Przytrzymaj klawisz podczas mówienia. Wolisz jedno naciśnięcie na start i kolejne na "
         "stop? Ustawienia → Tryb nagrywania → Przełącznik."},
        {"uk",
         "Утримуйте клавішу, поки говорите. Хочете вмикати запис одним натисканням? Налаштування → "
         "Режим запису → Перемикач."},
        {"ja",
         "話している間はキーを押し続けてください。1回押して開始、もう1回で停止がよければ、設定 → "
         "録音モード → トグル。"},
        {"ko",
         "말하는 동안 키를 누르고 계세요. 한 번 눌러 시작하고 다시 눌러 멈추려면 설정 → 녹음 모드 "
         "→ 토글."},
        {"zh", "说话时请按住按键。想按一次开始、再按一次停止？设置 → 录音模式 → 开关模式。"},
        {"hi",
         "बोलते समय कुंजी दबाए रखें। एक बार दबाकर शुरू और दोबारा दबाकर बंद करना चाहते हैं? सेटिंग्स → रिकॉर्डिंग "
         "मोड → टॉगल।"},
        {"ar",
         "استمر بالضغط على المفتاح أثناء التحدث. تفضّل ضغطة للبدء وأخرى للإيقاف؟ الإعدادات ← وضع "
         "التسجيل ← تبديل."},
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
        {"es", "Uso"},
        {"fr", "Utilisation"},
        {"de", "Nutzung"},
        {"tr", "Kullanım"},
        {"it", "Utilizzo"},
        {"pt", "Uso"},
        {"pl", "Wykorzystanie"},
        {"uk", "Використання"},
        {"ja", "使用状況"},
        {"ko", "사용량"},
        {"zh", "用量"},
        {"hi", "उपयोग"},
        {"ar", "الاستخدام"},
    });
}

QString L10n::logout() {
    return t({
        {"en", "Logout"},
        {"ru", "Выйти"},
        {"es", "Cerrar sesión"},
        {"fr", "Se déconnecter"},
        {"de", "Abmelden"},
        {"tr", "Çıkış yap"},
        {"it", "Esci dall’account"},
        {"pt", "Sair da conta"},
        {"pl", "Wyloguj się"},
        {"uk", "Вийти"},
        {"ja", "ログアウト"},
        {"ko", "로그아웃"},
        {"zh", "退出登录"},
        {"hi", "लॉग आउट"},
        {"ar", "تسجيل الخروج"},
    });
}

QString L10n::wordsThisWeek() {
    return t({
        {"en", "Words this week"},
        {"ru", "Слов за неделю"},
        {"es", "Palabras esta semana"},
        {"fr", "Mots cette semaine"},
        {"de", "Wörter diese Woche"},
        {"tr", "Bu haftaki kelimeler"},
        {"it", "Parole questa settimana"},
        {"pt", "Palavras nesta semana"},
        {"pl", "Słowa w tym tygodniu"},
        {"uk", "Слів цього тижня"},
        {"ja", "今週の単語数"},
        {"ko", "이번 주 단어 수"},
        {"zh", "本周字数"},
        {"hi", "इस सप्ताह के शब्द"},
        {"ar", "الكلمات هذا الأسبوع"},
    });
}

QString L10n::notSignedIn() {
    return t({
        {"en", "Not signed in"},
        {"ru", "Вход не выполнен"},
        {"es", "Sesión no iniciada"},
        {"fr", "Non connecté"},
        {"de", "Nicht angemeldet"},
        {"tr", "Giriş yapılmadı"},
        {"it", "Accesso non effettuato"},
        {"pt", "Sem login"},
        {"pl", "Nie zalogowano"},
        {"uk", "Вхід не виконано"},
        {"ja", "未ログイン"},
        {"ko", "로그인하지 않음"},
        {"zh", "未登录"},
        {"hi", "साइन इन नहीं है"},
        {"ar", "لم يتم تسجيل الدخول"},
    });
}

QString L10n::signInToSync() {
    return t({
        {"en", "Sign in to sync settings and access unlimited transcriptions"},
        {"ru", "Войдите, чтобы синхронизировать настройки и получить безлимитные расшифровки"},
        {"es", "Inicia sesión para sincronizar los ajustes y acceder a transcripciones ilimitadas"},
        {"fr",
         "Connectez-vous pour synchroniser les paramètres et accéder à des transcriptions "
         "illimitées"},
        {"de",
         "Melden Sie sich an, um Einstellungen zu synchronisieren und unbegrenzt zu "
         "transkribieren"},
        {"tr", "Ayarları eşitlemek ve sınırsız transkripsiyona erişmek için giriş yapın"},
        {"it", "Accedi per sincronizzare le impostazioni e avere trascrizioni illimitate"},
        {"pt", "Entre para sincronizar as configurações e ter transcrições ilimitadas"},
        {"pl", "Zaloguj się, aby synchronizować ustawienia i mieć nielimitowane transkrypcje"},
        {"uk", "Увійдіть, щоб синхронізувати налаштування й отримати необмежені транскрипції"},
        {"ja", "ログインすると設定を同期でき、文字起こしが無制限になります"},
        {"ko", "로그인하면 설정을 동기화하고 무제한으로 변환할 수 있습니다"},
        {"zh", "登录即可同步设置并无限制转写"},
        {"hi", "सेटिंग्स सिंक करने और असीमित ट्रांसक्रिप्शन पाने के लिए साइन इन करें"},
        {"ar", "سجّل الدخول لمزامنة الإعدادات والحصول على تفريغ نصي غير محدود"},
    });
}

QString L10n::loginRegister() {
    return t({
        {"en", "Login / Register"},
        {"ru", "Вход / Регистрация"},
        {"es", "Iniciar sesión / Registrarse"},
        {"fr", "Connexion / Inscription"},
        {"de", "Anmelden / Registrieren"},
        {"tr", "Giriş / Kayıt"},
        {"it", "Accedi / Registrati"},
        {"pt", "Entrar / Cadastrar"},
        {"pl", "Logowanie / Rejestracja"},
        {"uk", "Вхід / Реєстрація"},
        {"ja", "ログイン / 登録"},
        {"ko", "로그인 / 가입"},
        {"zh", "登录 / 注册"},
        {"hi", "लॉग इन / रजिस्टर"},
        {"ar", "تسجيل الدخول / إنشاء حساب"},
    });
}

QString L10n::settingsTabApp() {
    return t({
        {"en", "App"},
        {"ru", "Приложение"},
        {"es", "Aplicación"},
        {"fr", "Application"},
        {"de", "App"},
        {"tr", "Uygulama"},
        {"it", "App"},
        {"pt", "Aplicativo"},
        {"pl", "Aplikacja"},
        {"uk", "Застосунок"},
        {"ja", "アプリ"},
        {"ko", "앱"},
        {"zh", "应用"},
        {"hi", "ऐप"},
        {"ar", "التطبيق"},
    });
}

QString L10n::about() {
    return t({
        {"en", "About"},
        {"ru", "О программе"},
        {"es", "Acerca de"},
        {"fr", "À propos"},
        {"de", "Über"},
        {"tr", "Hakkında"},
        {"it", "Informazioni"},
        {"pt", "Sobre"},
        {"pl", "O aplikacji"},
        {"uk", "Про застосунок"},
        {"ja", "このアプリについて"},
        {"ko", "정보"},
        {"zh", "关于"},
        {"hi", "परिचय"},
        {"ar", "حول"},
    });
}

QString L10n::backend() {
    return t({
        {"en", "Backend:"},
        {"ru", "Сервер:"},
        {"es", "Servidor:"},
        {"fr", "Serveur :"},
        {"de", "Server:"},
        {"tr", "Sunucu:"},
        {"it", "Server:"},
        {"pt", "Servidor:"},
        {"pl", "Serwer:"},
        {"uk", "Сервер:"},
        {"ja", "サーバー："},
        {"ko", "서버:"},
        {"zh", "服务器："},
        {"hi", "सर्वर:"},
        {"ar", "الخادم:"},
    });
}

QString L10n::version() {
    return t({
        {"en", "Version:"},
        {"ru", "Версия:"},
        {"es", "Versión:"},
        {"fr", "Version :"},
        {"de", "Version:"},
        {"tr", "Sürüm:"},
        {"it", "Versione:"},
        {"pt", "Versão:"},
        {"pl", "Wersja:"},
        {"uk", "Версія:"},
        {"ja", "バージョン："},
        {"ko", "버전:"},
        {"zh", "版本："},
        {"hi", "संस्करण:"},
        {"ar", "الإصدار:"},
    });
}

QString L10n::launchAtLogin() {
    return t({
        {"en", "Launch at login"},
        {"ru", "Запускать при входе в систему"},
        {"es", "Abrir al iniciar sesión"},
        {"fr", "Lancer à l’ouverture de session"},
        {"de", "Bei der Anmeldung starten"},
        {"tr", "Oturum açılınca başlat"},
        {"it", "Avvia all’accesso"},
        {"pt", "Abrir ao iniciar a sessão"},
        {"pl", "Uruchamiaj po zalogowaniu"},
        {"uk", "Запускати під час входу в систему"},
        {"ja", "ログイン時に起動"},
        {"ko", "로그인 시 실행"},
        {"zh", "登录时启动"},
        {"hi", "लॉग इन पर शुरू करें"},
        {"ar", "التشغيل عند تسجيل الدخول"},
    });
}

QString L10n::sendErrorReports() {
    return t({
        {"en", "Send error reports"},
        {"ru", "Отправлять отчёты об ошибках"},
        {"es", "Enviar informes de errores"},
        {"fr", "Envoyer les rapports d’erreur"},
        {"de", "Fehlerberichte senden"},
        {"tr", "Hata raporları gönder"},
        {"it", "Invia segnalazioni di errore"},
        {"pt", "Enviar relatórios de erro"},
        {"pl", "Wysyłaj raporty o błędach"},
        {"uk", "Надсилати звіти про помилки"},
        {"ja", "エラーレポートを送信"},
        {"ko", "오류 보고서 보내기"},
        {"zh", "发送错误报告"},
        {"hi", "त्रुटि रिपोर्ट भेजें"},
        {"ar", "إرسال تقارير الأخطاء"},
    });
}

QString L10n::sendErrorReportsDesc() {
    return t({
        {"en", "Technical error data only — your dictation text is never sent"},
        {"ru", "Только технические данные об ошибке — текст диктовки никогда не отправляется"},
        {"es", "Solo datos técnicos del error: el texto de tu dictado nunca se envía"},
        {"fr",
         "Uniquement des données techniques sur l’erreur — le texte de votre dictée n’est jamais "
         "envoyé"},
        {"de", "Nur technische Fehlerdaten – Ihr Diktattext wird nie gesendet"},
        {"tr", "Yalnızca teknik hata verileri — dikte metniniz asla gönderilmez"},
        {"it", "Solo dati tecnici sull’errore: il testo della tua dettatura non viene mai inviato"},
        {"pt", "Apenas dados técnicos do erro — o texto do seu ditado nunca é enviado"},
        {"pl", "Tylko techniczne dane o błędzie — tekst dyktowania nigdy nie jest wysyłany"},
        {"uk", "Лише технічні дані про помилку — текст диктування ніколи не надсилається"},
        {"ja", "技術的なエラー情報のみ — 音声入力のテキストは送信されません"},
        {"ko", "기술적인 오류 데이터만 보냅니다 — 받아쓰기 텍스트는 절대 보내지 않습니다"},
        {"zh", "仅发送技术性错误数据 — 绝不会发送你的听写文本"},
        {"hi", "केवल तकनीकी त्रुटि डेटा — आपके डिक्टेशन का टेक्स्ट कभी नहीं भेजा जाता"},
        {"ar", "بيانات تقنية عن الخطأ فقط — لا يُرسل نص الإملاء أبدًا"},
    });
}

QString L10n::settingsTabAudio() {
    return t({
        {"en", "Sound & view"},
        {"ru", "Звук и вид"},
        {"es", "Sonido y vista"},
        {"fr", "Son et affichage"},
        {"de", "Ton & Anzeige"},
        {"tr", "Ses ve görünüm"},
        {"it", "Suono e aspetto"},
        {"pt", "Som e aparência"},
        {"pl", "Dźwięk i wygląd"},
        {"uk", "Звук і вигляд"},
        {"ja", "サウンドと表示"},
        {"ko", "소리 및 보기"},
        {"zh", "声音与显示"},
        {"hi", "ध्वनि और दृश्य"},
        {"ar", "الصوت والعرض"},
    });
}

QString L10n::audio() {
    return t({
        {"en", "Audio"},
        {"ru", "Звук"},
        {"es", "Audio"},
        {"fr", "Audio"},
        {"de", "Audio"},
        {"tr", "Ses"},
        {"it", "Audio"},
        {"pt", "Áudio"},
        {"pl", "Dźwięk"},
        {"uk", "Звук"},
        {"ja", "オーディオ"},
        {"ko", "오디오"},
        {"zh", "音频"},
        {"hi", "ऑडियो"},
        {"ar", "الصوت"},
    });
}

QString L10n::soundFeedback() {
    return t({
        {"en", "Sound feedback"},
        {"ru", "Звуковые сигналы"},
        {"es", "Sonidos de aviso"},
        {"fr", "Signaux sonores"},
        {"de", "Tonsignale"},
        {"tr", "Sesli geri bildirim"},
        {"it", "Segnali acustici"},
        {"pt", "Sinais sonoros"},
        {"pl", "Sygnały dźwiękowe"},
        {"uk", "Звукові сигнали"},
        {"ja", "効果音"},
        {"ko", "효과음"},
        {"zh", "提示音"},
        {"hi", "ध्वनि संकेत"},
        {"ar", "تنبيهات صوتية"},
    });
}

QString L10n::showOverlay() {
    return t({
        {"en", "Show overlay indicator"},
        {"ru", "Показывать индикатор"},
        {"es", "Mostrar indicador flotante"},
        {"fr", "Afficher l’indicateur flottant"},
        {"de", "Schwebende Anzeige einblenden"},
        {"tr", "Kayan göstergeyi göster"},
        {"it", "Mostra l’indicatore flottante"},
        {"pt", "Mostrar indicador flutuante"},
        {"pl", "Pokazuj pływający wskaźnik"},
        {"uk", "Показувати індикатор"},
        {"ja", "オーバーレイ表示を表示"},
        {"ko", "오버레이 표시기 보기"},
        {"zh", "显示浮动指示器"},
        {"hi", "ओवरले संकेतक दिखाएँ"},
        {"ar", "إظهار المؤشر العائم"},
    });
}

QString L10n::hideOverlayIdle() {
    return t({
        {"en", "Hide when idle (show only while recording)"},
        {"ru", "Скрывать в простое (показывать только во время записи)"},
        {"es", "Ocultar en reposo (mostrar solo al grabar)"},
        {"fr", "Masquer au repos (afficher seulement pendant l’enregistrement)"},
        {"de", "Im Leerlauf ausblenden (nur während der Aufnahme zeigen)"},
        {"tr", "Boştayken gizle (yalnızca kayıt sırasında göster)"},
        {"it", "Nascondi quando inattivo (mostra solo durante la registrazione)"},
        {"pt", "Ocultar quando inativo (mostrar só durante a gravação)"},
        {"pl", "Ukrywaj w bezczynności (pokazuj tylko podczas nagrywania)"},
        {"uk", "Ховати в простої (показувати лише під час запису)"},
        {"ja", "待機中は隠す（録音中のみ表示）"},
        {"ko", "대기 중에는 숨기기(녹음 중에만 표시)"},
        {"zh", "空闲时隐藏（仅在录音时显示）"},
        {"hi", "निष्क्रिय होने पर छिपाएँ (केवल रिकॉर्डिंग के दौरान दिखाएँ)"},
        {"ar", "الإخفاء عند الخمول (الإظهار أثناء التسجيل فقط)"},
    });
}

QString L10n::autoSwitchLayout() {
    return t({
        {"en", "Auto-switch keyboard layout"},
        {"ru", "Автопереключение раскладки"},
        {"es", "Cambiar distribución de teclado automáticamente"},
        {"fr", "Changer automatiquement la disposition du clavier"},
        {"de", "Tastaturlayout automatisch wechseln"},
        {"tr", "Klavye düzenini otomatik değiştir"},
        {"it", "Cambia automaticamente il layout della tastiera"},
        {"pt", "Trocar o layout do teclado automaticamente"},
        {"pl", "Automatycznie przełączaj układ klawiatury"},
        {"uk", "Автоматично перемикати розкладку"},
        {"ja", "キーボードレイアウトを自動切り替え"},
        {"ko", "키보드 자판 자동 전환"},
        {"zh", "自动切换键盘布局"},
        {"hi", "कीबोर्ड लेआउट अपने-आप बदलें"},
        {"ar", "تبديل تخطيط لوحة المفاتيح تلقائيًا"},
    });
}

QString L10n::audioNormalization() {
    return t({
        {"en", "Amplify quiet speech"},
        {"ru", "Усиливать тихую речь"},
        {"es", "Amplificar la voz baja"},
        {"fr", "Amplifier la voix faible"},
        {"de", "Leise Sprache verstärken"},
        {"tr", "Alçak sesi yükselt"},
        {"it", "Amplifica il parlato a basso volume"},
        {"pt", "Amplificar fala baixa"},
        {"pl", "Wzmacniaj cichą mowę"},
        {"uk", "Підсилювати тихе мовлення"},
        {"ja", "小さな声を増幅"},
        {"ko", "작은 목소리 증폭"},
        {"zh", "放大轻声说话"},
        {"hi", "धीमी आवाज़ को बढ़ाएँ"},
        {"ar", "تضخيم الكلام الخافت"},
    });
}

QString L10n::duckLevel() {
    return t({
        {"en", "Volume while recording"},
        {"ru", "Громкость во время записи"},
        {"es", "Volumen durante la grabación"},
        {"fr", "Volume pendant l’enregistrement"},
        {"de", "Lautstärke während der Aufnahme"},
        {"tr", "Kayıt sırasında ses düzeyi"},
        {"it", "Volume durante la registrazione"},
        {"pt", "Volume durante a gravação"},
        {"pl", "Głośność podczas nagrywania"},
        {"uk", "Гучність під час запису"},
        {"ja", "録音中の音量"},
        {"ko", "녹음 중 볼륨"},
        {"zh", "录音时的音量"},
        {"hi", "रिकॉर्डिंग के दौरान वॉल्यूम"},
        {"ar", "مستوى الصوت أثناء التسجيل"},
    });
}

QString L10n::volume() {
    return t({
        {"en", "Volume"},
        {"ru", "Громкость"},
        {"es", "Volumen"},
        {"fr", "Volume"},
        {"de", "Lautstärke"},
        {"tr", "Ses düzeyi"},
        {"it", "Volume"},
        {"pt", "Volume"},
        {"pl", "Głośność"},
        {"uk", "Гучність"},
        {"ja", "音量"},
        {"ko", "볼륨"},
        {"zh", "音量"},
        {"hi", "वॉल्यूम"},
        {"ar", "مستوى الصوت"},
    });
}

QString L10n::microphone() {
    return t({
        {"en", "Microphone"},
        {"ru", "Микрофон"},
        {"es", "Micrófono"},
        {"fr", "Microphone"},
        {"de", "Mikrofon"},
        {"tr", "Mikrofon"},
        {"it", "Microfono"},
        {"pt", "Microfone"},
        {"pl", "Mikrofon"},
        {"uk", "Мікрофон"},
        {"ja", "マイク"},
        {"ko", "마이크"},
        {"zh", "麦克风"},
        {"hi", "माइक्रोफ़ोन"},
        {"ar", "الميكروفون"},
    });
}

QString L10n::systemDefault() {
    return t({
        {"en", "System Default"},
        {"ru", "Системный по умолчанию"},
        {"es", "Predeterminado del sistema"},
        {"fr", "Par défaut du système"},
        {"de", "Systemstandard"},
        {"tr", "Sistem varsayılanı"},
        {"it", "Predefinito di sistema"},
        {"pt", "Padrão do sistema"},
        {"pl", "Domyślny systemowy"},
        {"uk", "Системний за замовчуванням"},
        {"ja", "システムのデフォルト"},
        {"ko", "시스템 기본값"},
        {"zh", "系统默认"},
        {"hi", "सिस्टम डिफ़ॉल्ट"},
        {"ar", "الافتراضي للنظام"},
    });
}

QString L10n::audioQualityDesc() {
    return t({
        {"en", "Higher — more accurate with a weak mic, but slower"},
        {"ru", "Выше — точнее при слабом микрофоне, но медленнее"},
        {"es", "Más alto: más preciso con un micrófono débil, pero más lento"},
        {"fr", "Plus élevée — plus précise avec un micro faible, mais plus lente"},
        {"de", "Höher – genauer bei schwachem Mikrofon, aber langsamer"},
        {"tr", "Daha yüksek — zayıf mikrofonda daha doğru, ama daha yavaş"},
        {"it", "Più alto: più preciso con un microfono debole, ma più lento"},
        {"pt", "Mais alto — mais preciso com um microfone fraco, porém mais lento"},
        {"pl", "Wyższe — dokładniejsze przy słabym mikrofonie, ale wolniejsze"},
        {"uk", "Вища — точніше зі слабким мікрофоном, але повільніше"},
        {"ja", "高いほど、弱いマイクでも正確になりますが遅くなります"},
        {"ko", "높을수록 약한 마이크에서도 정확하지만 느려집니다"},
        {"zh", "越高，在麦克风较弱时越准确，但速度越慢"},
        {"hi", "ऊँचा — कमज़ोर माइक के साथ अधिक सटीक, लेकिन धीमा"},
        {"ar", "أعلى — أدق مع ميكروفون ضعيف، لكنه أبطأ"},
    });
}

QString L10n::audioQuality() {
    return t({
        {"en", "Recognition"},
        {"ru", "Распознавание"},
        {"es", "Reconocimiento"},
        {"fr", "Reconnaissance"},
        {"de", "Erkennung"},
        {"tr", "Tanıma"},
        {"it", "Riconoscimento"},
        {"pt", "Reconhecimento"},
        {"pl", "Rozpoznawanie"},
        {"uk", "Розпізнавання"},
        {"ja", "認識"},
        {"ko", "인식"},
        {"zh", "识别"},
        {"hi", "पहचान"},
        {"ar", "التعرّف"},
    });
}

QString L10n::audioQualityFast() {
    return t({
        {"en", "Faster"},
        {"ru", "Быстрее"},
        {"es", "Rápido"},
        {"fr", "Rapide"},
        {"de", "Schneller"},
        {"tr", "Hızlı"},
        {"it", "Più veloce"},
        {"pt", "Mais rápido"},
        {"pl", "Szybsze"},
        {"uk", "Швидше"},
        {"ja", "高速"},
        {"ko", "빠르게"},
        {"zh", "较快"},
        {"hi", "तेज़"},
        {"ar", "أسرع"},
    });
}

QString L10n::audioQualityBalanced() {
    return t({
        {"en", "Balanced"},
        {"ru", "Сбалансированное"},
        {"es", "Equilibrado"},
        {"fr", "Équilibrée"},
        {"de", "Ausgewogen"},
        {"tr", "Dengeli"},
        {"it", "Bilanciato"},
        {"pt", "Equilibrado"},
        {"pl", "Zrównoważone"},
        {"uk", "Збалансоване"},
        {"ja", "バランス"},
        {"ko", "균형"},
        {"zh", "均衡"},
        {"hi", "संतुलित"},
        {"ar", "متوازن"},
    });
}

QString L10n::audioQualityHigh() {
    return t({
        {"en", "High"},
        {"ru", "Высокое"},
        {"es", "Alto"},
        {"fr", "Élevée"},
        {"de", "Hoch"},
        {"tr", "Yüksek"},
        {"it", "Alto"},
        {"pt", "Alto"},
        {"pl", "Wysokie"},
        {"uk", "Високе"},
        {"ja", "高"},
        {"ko", "높음"},
        {"zh", "高"},
        {"hi", "उच्च"},
        {"ar", "عالٍ"},
    });
}

QString L10n::audioQualityBest() {
    return t({
        {"en", "Maximum"},
        {"ru", "Максимальное"},
        {"es", "Máximo"},
        {"fr", "Maximale"},
        {"de", "Maximal"},
        {"tr", "En yüksek"},
        {"it", "Massimo"},
        {"pt", "Máximo"},
        {"pl", "Maksymalne"},
        {"uk", "Максимальне"},
        {"ja", "最高"},
        {"ko", "최대"},
        {"zh", "最高"},
        {"hi", "अधिकतम"},
        {"ar", "أقصى"},
    });
}

QString L10n::audioDucking() {
    return t({
        {"en", "Audio Ducking"},
        {"ru", "Приглушение звука"},
        {"es", "Atenuación de audio"},
        {"fr", "Atténuation du son"},
        {"de", "Audio absenken"},
        {"tr", "Sesi kısma"},
        {"it", "Attenuazione audio"},
        {"pt", "Redução de áudio"},
        {"pl", "Ściszanie dźwięku"},
        {"uk", "Приглушення звуку"},
        {"ja", "オーディオダッキング"},
        {"ko", "오디오 더킹"},
        {"zh", "音频闪避"},
        {"hi", "ऑडियो डकिंग"},
        {"ar", "خفض الصوت"},
    });
}

QString L10n::duckNone() {
    return t({
        {"en", "None"},
        {"ru", "Нет"},
        {"es", "Ninguna"},
        {"fr", "Aucune"},
        {"de", "Keine"},
        {"tr", "Yok"},
        {"it", "Nessuna"},
        {"pt", "Nenhuma"},
        {"pl", "Brak"},
        {"uk", "Немає"},
        {"ja", "なし"},
        {"ko", "없음"},
        {"zh", "无"},
        {"hi", "कोई नहीं"},
        {"ar", "بدون"},
    });
}

QString L10n::duckPartial() {
    return t({
        {"en", "Partial"},
        {"ru", "Частичное"},
        {"es", "Parcial"},
        {"fr", "Partielle"},
        {"de", "Teilweise"},
        {"tr", "Kısmi"},
        {"it", "Parziale"},
        {"pt", "Parcial"},
        {"pl", "Częściowe"},
        {"uk", "Часткове"},
        {"ja", "一部"},
        {"ko", "부분"},
        {"zh", "部分"},
        {"hi", "आंशिक"},
        {"ar", "جزئي"},
    });
}

QString L10n::duckFull() {
    return t({
        {"en", "Full (Mute)"},
        {"ru", "Полное (без звука)"},
        {"es", "Total (silenciar)"},
        {"fr", "Totale (muet)"},
        {"de", "Vollständig (stumm)"},
        {"tr", "Tam (sessiz)"},
        {"it", "Totale (muto)"},
        {"pt", "Total (mudo)"},
        {"pl", "Pełne (wyciszenie)"},
        {"uk", "Повне (без звуку)"},
        {"ja", "完全（ミュート）"},
        {"ko", "전체(음소거)"},
        {"zh", "完全（静音）"},
        {"hi", "पूर्ण (म्यूट)"},
        {"ar", "كامل (كتم)"},
    });
}

QString L10n::settingsTabText() {
    return t({
        {"en", "Text"},
        {"ru", "Текст"},
        {"es", "Texto"},
        {"fr", "Texte"},
        {"de", "Text"},
        {"tr", "Metin"},
        {"it", "Testo"},
        {"pt", "Texto"},
        {"pl", "Tekst"},
        {"uk", "Текст"},
        {"ja", "テキスト"},
        {"ko", "텍스트"},
        {"zh", "文本"},
        {"hi", "टेक्स्ट"},
        {"ar", "النص"},
    });
}

QString L10n::transcription() {
    return t({
        {"en", "Transcription"},
        {"ru", "Расшифровка"},
        {"es", "Transcripción"},
        {"fr", "Transcription"},
        {"de", "Transkription"},
        {"tr", "Transkripsiyon"},
        {"it", "Trascrizione"},
        {"pt", "Transcrição"},
        {"pl", "Transkrypcja"},
        {"uk", "Транскрипція"},
        {"ja", "文字起こし"},
        {"ko", "변환"},
        {"zh", "转写"},
        {"hi", "ट्रांसक्रिप्शन"},
        {"ar", "التفريغ النصي"},
    });
}

QString L10n::perAppStyles() {
    return t({
        {"en", "Styles per app"},
        {"ru", "Стили для приложений"},
        {"es", "Estilos por aplicación"},
        {"fr", "Styles par application"},
        {"de", "Stile pro App"},
        {"tr", "Uygulamaya göre stiller"},
        {"it", "Stili per app"},
        {"pt", "Estilos por aplicativo"},
        {"pl", "Style dla aplikacji"},
        {"uk", "Стилі для застосунків"},
        {"ja", "アプリごとのスタイル"},
        {"ko", "앱별 스타일"},
        {"zh", "按应用设置风格"},
        {"hi", "ऐप के अनुसार शैलियाँ"},
        {"ar", "أنماط لكل تطبيق"},
    });
}

QString L10n::language() {
    return t({
        {"en", "Language"},
        {"ru", "Язык"},
        {"es", "Idioma"},
        {"fr", "Langue"},
        {"de", "Sprache"},
        {"tr", "Dil"},
        {"it", "Lingua"},
        {"pt", "Idioma"},
        {"pl", "Język"},
        {"uk", "Мова"},
        {"ja", "言語"},
        {"ko", "언어"},
        {"zh", "语言"},
        {"hi", "भाषा"},
        {"ar", "اللغة"},
    });
}

QString L10n::recognitionLanguage() {
    return t({
        {"en", "Recognition Language"},
        {"ru", "Язык распознавания"},
        {"es", "Idioma de reconocimiento"},
        {"fr", "Langue de reconnaissance"},
        {"de", "Erkennungssprache"},
        {"tr", "Tanıma dili"},
        {"it", "Lingua di riconoscimento"},
        {"pt", "Idioma de reconhecimento"},
        {"pl", "Język rozpoznawania"},
        {"uk", "Мова розпізнавання"},
        {"ja", "認識言語"},
        {"ko", "인식 언어"},
        {"zh", "识别语言"},
        {"hi", "पहचान की भाषा"},
        {"ar", "لغة التعرّف"},
    });
}

QString L10n::interfaceLanguage() {
    return t({
        {"en", "Interface Language"},
        {"ru", "Язык интерфейса"},
        {"es", "Idioma de la interfaz"},
        {"fr", "Langue de l’interface"},
        {"de", "Sprache der Oberfläche"},
        {"tr", "Arayüz dili"},
        {"it", "Lingua dell’interfaccia"},
        {"pt", "Idioma da interface"},
        {"pl", "Język interfejsu"},
        {"uk", "Мова інтерфейсу"},
        {"ja", "表示言語"},
        {"ko", "인터페이스 언어"},
        {"zh", "界面语言"},
        {"hi", "इंटरफ़ेस की भाषा"},
        {"ar", "لغة الواجهة"},
    });
}

QString L10n::perAppStylesHint() {
    return t({
        {"en", "Your own processing style for chosen apps"},
        {"ru", "Свой стиль обработки для выбранных приложений"},
        {"es", "Tu propio estilo de procesamiento para las aplicaciones elegidas"},
        {"fr", "Votre propre style de traitement pour les applications choisies"},
        {"de", "Eigener Verarbeitungsstil für ausgewählte Apps"},
        {"tr", "Seçilen uygulamalar için kendi işleme stiliniz"},
        {"it", "Il tuo stile di elaborazione per le app scelte"},
        {"pt", "Seu próprio estilo de processamento para os aplicativos escolhidos"},
        {"pl", "Własny styl przetwarzania dla wybranych aplikacji"},
        {"uk", "Власний стиль обробки для вибраних застосунків"},
        {"ja", "選んだアプリ専用の処理スタイル"},
        {"ko", "선택한 앱에 나만의 처리 스타일 적용"},
        {"zh", "为所选应用使用专属的处理风格"},
        {"hi", "चुने गए ऐप्स के लिए आपकी अपनी प्रोसेसिंग शैली"},
        {"ar", "نمط معالجة خاص بك للتطبيقات المختارة"},
    });
}

QString L10n::perAppAddRunning() {
    return t({
        {"en", "Add from running apps"},
        {"ru", "Добавить из запущенных приложений"},
        {"es", "Añadir de las aplicaciones abiertas"},
        {"fr", "Ajouter depuis les applications ouvertes"},
        {"de", "Aus laufenden Apps hinzufügen"},
        {"tr", "Çalışan uygulamalardan ekle"},
        {"it", "Aggiungi dalle app in esecuzione"},
        {"pt", "Adicionar dos aplicativos abertos"},
        {"pl", "Dodaj z uruchomionych aplikacji"},
        {"uk", "Додати із запущених застосунків"},
        {"ja", "起動中のアプリから追加"},
        {"ko", "실행 중인 앱에서 추가"},
        {"zh", "从正在运行的应用中添加"},
        {"hi", "चल रहे ऐप्स से जोड़ें"},
        {"ar", "إضافة من التطبيقات المفتوحة"},
    });
}

QString L10n::toneNone() {
    return t({
        {"en", "None"},
        {"ru", "Без обработки"},
        {"es", "Ninguno"},
        {"fr", "Aucun"},
        {"de", "Keiner"},
        {"tr", "Yok"},
        {"it", "Nessuno"},
        {"pt", "Nenhum"},
        {"pl", "Brak"},
        {"uk", "Без обробки"},
        {"ja", "なし"},
        {"ko", "없음"},
        {"zh", "无"},
        {"hi", "कोई नहीं"},
        {"ar", "بدون"},
    });
}

QString L10n::toneNeutral() {
    return t({
        {"en", "Neutral"},
        {"ru", "Нейтральный"},
        {"es", "Neutral"},
        {"fr", "Neutre"},
        {"de", "Neutral"},
        {"tr", "Nötr"},
        {"it", "Neutro"},
        {"pt", "Neutro"},
        {"pl", "Neutralny"},
        {"uk", "Нейтральний"},
        {"ja", "ニュートラル"},
        {"ko", "중립"},
        {"zh", "中性"},
        {"hi", "तटस्थ"},
        {"ar", "محايد"},
    });
}

QString L10n::toneReadable() {
    return t({
        {"en", "Readable"},
        {"ru", "Читабельный"},
        {"es", "Legible"},
        {"fr", "Lisible"},
        {"de", "Gut lesbar"},
        {"tr", "Okunaklı"},
        {"it", "Scorrevole"},
        {"pt", "Legível"},
        {"pl", "Przystępny"},
        {"uk", "Зручний для читання"},
        {"ja", "読みやすく"},
        {"ko", "읽기 쉽게"},
        {"zh", "易读"},
        {"hi", "पठनीय"},
        {"ar", "سهل القراءة"},
    });
}

QString L10n::toneConcise() {
    return t({
        {"en", "Concise"},
        {"ru", "Лаконичный"},
        {"es", "Conciso"},
        {"fr", "Concis"},
        {"de", "Knapp"},
        {"tr", "Kısa ve öz"},
        {"it", "Conciso"},
        {"pt", "Conciso"},
        {"pl", "Zwięzły"},
        {"uk", "Лаконічний"},
        {"ja", "簡潔"},
        {"ko", "간결하게"},
        {"zh", "简洁"},
        {"hi", "संक्षिप्त"},
        {"ar", "موجز"},
    });
}

QString L10n::toneSummary() {
    return t({
        {"en", "Condensed"},
        {"ru", "Сжатый"},
        {"es", "Condensado"},
        {"fr", "Condensé"},
        {"de", "Verdichtet"},
        {"tr", "Yoğunlaştırılmış"},
        {"it", "Condensato"},
        {"pt", "Condensado"},
        {"pl", "Skrócony"},
        {"uk", "Стислий"},
        {"ja", "要約"},
        {"ko", "압축"},
        {"zh", "精简"},
        {"hi", "सारांश"},
        {"ar", "مكثّف"},
    });
}

QString L10n::toneTheses() {
    return t({
        {"en", "Bullet points"},
        {"ru", "Тезисы"},
        {"es", "Viñetas"},
        {"fr", "Liste à puces"},
        {"de", "Stichpunkte"},
        {"tr", "Madde işaretleri"},
        {"it", "Elenco puntato"},
        {"pt", "Tópicos"},
        {"pl", "Punkty"},
        {"uk", "Тези"},
        {"ja", "箇条書き"},
        {"ko", "글머리 기호"},
        {"zh", "要点列表"},
        {"hi", "बुलेट पॉइंट"},
        {"ar", "نقاط"},
    });
}

QString L10n::toneFormal() {
    return t({
        {"en", "Formal"},
        {"ru", "Официальный"},
        {"es", "Formal"},
        {"fr", "Formel"},
        {"de", "Förmlich"},
        {"tr", "Resmî"},
        {"it", "Formale"},
        {"pt", "Formal"},
        {"pl", "Oficjalny"},
        {"uk", "Офіційний"},
        {"ja", "フォーマル"},
        {"ko", "격식체"},
        {"zh", "正式"},
        {"hi", "औपचारिक"},
        {"ar", "رسمي"},
    });
}

QString L10n::replaceProfanityHint() {
    return t({
        {"en", "Politely replaces profanity in any mode"},
        {"ru", "Вежливо заменяет ненормативную лексику в любом режиме"},
        {"es", "Sustituye las groserías con cortesía en cualquier modo"},
        {"fr", "Remplace poliment les grossièretés dans tous les modes"},
        {"de", "Ersetzt Kraftausdrücke in jedem Modus durch höfliche Wörter"},
        {"tr", "Her modda küfürleri kibarca değiştirir"},
        {"it", "Sostituisce con garbo le volgarità in qualsiasi modalità"},
        {"pt", "Substitui palavrões com educação em qualquer modo"},
        {"pl", "Uprzejmie zastępuje wulgaryzmy w każdym trybie"},
        {"uk", "Ввічливо замінює лайку в будь-якому режимі"},
        {"ja", "どのモードでも不適切な言葉を丁寧な表現に置き換えます"},
        {"ko", "모든 모드에서 비속어를 정중한 표현으로 바꿉니다"},
        {"zh", "在任何模式下都会礼貌地替换粗俗用语"},
        {"hi", "किसी भी मोड में अपशब्दों को शालीनता से बदलता है"},
        {"ar", "يستبدل الألفاظ النابية بلطف في أي وضع"},
    });
}

QString L10n::replaceProfanity() {
    return t({
        {"en", "Replace profanity"},
        {"ru", "Заменять мат"},
        {"es", "Sustituir groserías"},
        {"fr", "Remplacer les grossièretés"},
        {"de", "Kraftausdrücke ersetzen"},
        {"tr", "Küfürleri değiştir"},
        {"it", "Sostituisci le volgarità"},
        {"pt", "Substituir palavrões"},
        {"pl", "Zastępuj wulgaryzmy"},
        {"uk", "Замінювати лайку"},
        {"ja", "不適切な言葉を置き換え"},
        {"ko", "비속어 바꾸기"},
        {"zh", "替换粗俗用语"},
        {"hi", "अपशब्द बदलें"},
        {"ar", "استبدال الألفاظ النابية"},
    });
}

QString L10n::toneStyle() {
    return t({
        {"en", "Tone Style"},
        {"ru", "Стиль текста"},
        {"es", "Estilo del texto"},
        {"fr", "Style du texte"},
        {"de", "Textstil"},
        {"tr", "Metin stili"},
        {"it", "Stile del testo"},
        {"pt", "Estilo do texto"},
        {"pl", "Styl tekstu"},
        {"uk", "Стиль тексту"},
        {"ja", "文章スタイル"},
        {"ko", "문체 스타일"},
        {"zh", "文本风格"},
        {"hi", "टेक्स्ट शैली"},
        {"ar", "نمط النص"},
    });
}

QString L10n::editTonePromptHint() {
    return t({
        {"en", "Edit prompt"},
        {"ru", "Изменить промпт"},
        {"es", "Editar prompt"},
        {"fr", "Modifier le prompt"},
        {"de", "Prompt bearbeiten"},
        {"tr", "İstemi düzenle"},
    });
}

QString L10n::settingsTabKeys() {
    return t({
        {"en", "Keys"},
        {"ru", "Клавиши"},
        {"es", "Teclas"},
        {"fr", "Touches"},
        {"de", "Tasten"},
        {"tr", "Tuşlar"},
        {"it", "Tasti"},
        {"pt", "Teclas"},
        {"pl", "Klawisze"},
        {"uk", "Клавіші"},
        {"ja", "キー"},
        {"ko", "키"},
        {"zh", "按键"},
        {"hi", "कुंजियाँ"},
        {"ar", "المفاتيح"},
    });
}

QString L10n::hotkey() {
    return t({
        {"en", "Hotkey"},
        {"ru", "Горячая клавиша"},
        {"es", "Atajo de teclado"},
        {"fr", "Raccourci"},
        {"de", "Tastenkürzel"},
        {"tr", "Kısayol tuşu"},
        {"it", "Tasto rapido"},
        {"pt", "Tecla de atalho"},
        {"pl", "Skrót klawiszowy"},
        {"uk", "Гаряча клавіша"},
        {"ja", "ホットキー"},
        {"ko", "단축키"},
        {"zh", "快捷键"},
        {"hi", "हॉटकी"},
        {"ar", "مفتاح الاختصار"},
    });
}

QString L10n::translateHotkey() {
    return t({
        {"en", "Translate Hotkey"},
        {"ru", "Горячая клавиша перевода"},
        {"es", "Atajo de traducción"},
        {"fr", "Raccourci de traduction"},
        {"de", "Tastenkürzel für Übersetzung"},
        {"tr", "Çeviri kısayol tuşu"},
        {"it", "Tasto rapido per tradurre"},
        {"pt", "Atalho de tradução"},
        {"pl", "Skrót tłumaczenia"},
        {"uk", "Гаряча клавіша перекладу"},
        {"ja", "翻訳ホットキー"},
        {"ko", "번역 단축키"},
        {"zh", "翻译快捷键"},
        {"hi", "अनुवाद हॉटकी"},
        {"ar", "اختصار الترجمة"},
    });
}

QString L10n::pasteLastHotkey() {
    return t({
        {"en", "Paste Last Hotkey"},
        {"ru", "Горячая клавиша вставки последней"},
        {"es", "Atajo para pegar la última"},
        {"fr", "Raccourci pour coller la dernière"},
        {"de", "Tastenkürzel zum Einfügen der letzten"},
        {"tr", "Sonuncuyu yapıştırma kısayol tuşu"},
        {"it", "Tasto rapido per incollare l’ultima"},
        {"pt", "Atalho para colar a última"},
        {"pl", "Skrót wklejania ostatniej"},
        {"uk", "Гаряча клавіша вставлення останньої"},
        {"ja", "再貼り付けホットキー"},
        {"ko", "마지막 붙여넣기 단축키"},
        {"zh", "粘贴上一次转写的快捷键"},
        {"hi", "पिछला ट्रांसक्रिप्शन पेस्ट करने की हॉटकी"},
        {"ar", "اختصار لصق الأخير"},
    });
}

QString L10n::pasteLastHotkeyDesc() {
    return t({
        {"en", "Re-insert the last transcription into the focused field"},
        {"ru", "Повторно вставить последнюю расшифровку в активное поле"},
        {"es", "Vuelve a insertar la última transcripción en el campo activo"},
        {"fr", "Réinsérer la dernière transcription dans le champ actif"},
        {"de", "Letzte Transkription erneut in das aktive Feld einfügen"},
        {"tr", "Son transkripsiyonu etkin alana yeniden ekle"},
        {"it", "Reinserisci l’ultima trascrizione nel campo attivo"},
        {"pt", "Inserir de novo a última transcrição no campo ativo"},
        {"pl", "Wstaw ponownie ostatnią transkrypcję w aktywne pole"},
        {"uk", "Повторно вставити останню транскрипцію в активне поле"},
        {"ja", "最後の文字起こしをフォーカス中の入力欄にもう一度挿入します"},
        {"ko", "마지막 변환 텍스트를 현재 입력란에 다시 삽입합니다"},
        {"zh", "将上一次转写重新插入当前输入框"},
        {"hi", "पिछला ट्रांसक्रिप्शन सक्रिय फ़ील्ड में फिर से डालें"},
        {"ar", "إعادة إدراج آخر تفريغ نصي في الحقل النشط"},
    });
}

QString L10n::changeHotkey() {
    return t({
        {"en", "Change Hotkey"},
        {"ru", "Изменить горячую клавишу"},
        {"es", "Cambiar atajo"},
        {"fr", "Changer le raccourci"},
        {"de", "Tastenkürzel ändern"},
        {"tr", "Kısayol tuşunu değiştir"},
        {"it", "Cambia tasto rapido"},
        {"pt", "Alterar atalho"},
        {"pl", "Zmień skrót"},
        {"uk", "Змінити гарячу клавішу"},
        {"ja", "ホットキーを変更"},
        {"ko", "단축키 변경"},
        {"zh", "更改快捷键"},
        {"hi", "हॉटकी बदलें"},
        {"ar", "تغيير الاختصار"},
    });
}

QString L10n::cancel() {
    return t({
        {"en", "Cancel"},
        {"ru", "Отмена"},
        {"es", "Cancelar"},
        {"fr", "Annuler"},
        {"de", "Abbrechen"},
        {"tr", "İptal"},
        {"it", "Annulla"},
        {"pt", "Cancelar"},
        {"pl", "Anuluj"},
        {"uk", "Скасувати"},
        {"ja", "キャンセル"},
        {"ko", "취소"},
        {"zh", "取消"},
        {"hi", "रद्द करें"},
        {"ar", "إلغاء"},
    });
}

QString L10n::currentHotkey() {
    return t({
        {"en", "Current hotkey:"},
        {"ru", "Текущая горячая клавиша:"},
        {"es", "Atajo actual:"},
        {"fr", "Raccourci actuel :"},
        {"de", "Aktuelles Tastenkürzel:"},
        {"tr", "Geçerli kısayol tuşu:"},
        {"it", "Tasto rapido attuale:"},
        {"pt", "Atalho atual:"},
        {"pl", "Obecny skrót:"},
        {"uk", "Поточна гаряча клавіша:"},
        {"ja", "現在のホットキー："},
        {"ko", "현재 단축키:"},
        {"zh", "当前快捷键："},
        {"hi", "वर्तमान हॉटकी:"},
        {"ar", "الاختصار الحالي:"},
    });
}

QString L10n::notSet() {
    return t({
        {"en", "Not set"},
        {"ru", "Не задана"},
        {"es", "Sin asignar"},
        {"fr", "Non défini"},
        {"de", "Nicht festgelegt"},
        {"tr", "Ayarlanmadı"},
        {"it", "Non impostato"},
        {"pt", "Não definido"},
        {"pl", "Nie ustawiono"},
        {"uk", "Не задано"},
        {"ja", "未設定"},
        {"ko", "설정 안 됨"},
        {"zh", "未设置"},
        {"hi", "सेट नहीं है"},
        {"ar", "غير محدد"},
    });
}

QString L10n::pressAnyKey() {
    return t({
        {"en", "Press any key..."},
        {"ru", "Нажмите любую клавишу..."},
        {"es", "Pulsa cualquier tecla..."},
        {"fr", "Appuyez sur une touche..."},
        {"de", "Beliebige Taste drücken..."},
        {"tr", "Herhangi bir tuşa basın..."},
        {"it", "Premi un tasto qualsiasi..."},
        {"pt", "Pressione qualquer tecla..."},
        {"pl", "Naciśnij dowolny klawisz..."},
        {"uk", "Натисніть будь-яку клавішу..."},
        {"ja", "任意のキーを押してください..."},
        {"ko", "아무 키나 누르세요..."},
        {"zh", "请按任意键..."},
        {"hi", "कोई भी कुंजी दबाएँ..."},
        {"ar", "اضغط أي مفتاح..."},
    });
}

QString L10n::translateHotkeyDesc() {
    return t({
        {"en", "Hold to record + translate to target language"},
        {"ru", "Удерживайте для записи + перевода на целевой язык"},
        {"es", "Mantén pulsado para grabar + traducir al idioma de destino"},
        {"fr", "Maintenir pour enregistrer + traduire dans la langue cible"},
        {"de", "Gedrückt halten zum Aufnehmen + Übersetzen in die Zielsprache"},
        {"tr", "Kaydetmek + hedef dile çevirmek için basılı tutun"},
        {"it", "Tieni premuto per registrare + tradurre nella lingua di destinazione"},
        {"pt", "Segure para gravar + traduzir para o idioma de destino"},
        {"pl", "Przytrzymaj, aby nagrać + przetłumaczyć na język docelowy"},
        {"uk", "Утримуйте для запису + перекладу цільовою мовою"},
        {"ja", "押し続けて録音 + 翻訳先の言語に翻訳"},
        {"ko", "누르고 있으면 녹음 + 대상 언어로 번역"},
        {"zh", "按住录音 + 翻译为目标语言"},
        {"hi", "रिकॉर्ड करने + लक्ष्य भाषा में अनुवाद के लिए दबाए रखें"},
        {"ar", "اضغط مطولًا للتسجيل + الترجمة إلى اللغة الهدف"},
    });
}

QString L10n::translateTo() {
    return t({
        {"en", "Translate to"},
        {"ru", "Переводить на"},
        {"es", "Traducir a"},
        {"fr", "Traduire en"},
        {"de", "Übersetzen in"},
        {"tr", "Çevrilecek dil"},
        {"it", "Traduci in"},
        {"pt", "Traduzir para"},
        {"pl", "Tłumacz na"},
        {"uk", "Перекладати на"},
        {"ja", "翻訳先"},
        {"ko", "번역할 언어"},
        {"zh", "翻译为"},
        {"hi", "इसमें अनुवाद करें"},
        {"ar", "الترجمة إلى"},
    });
}

QString L10n::reset() {
    return t({
        {"en", "Reset"},
        {"ru", "Сбросить"},
        {"es", "Restablecer"},
        {"fr", "Réinitialiser"},
        {"de", "Zurücksetzen"},
        {"tr", "Sıfırla"},
        {"it", "Ripristina"},
        {"pt", "Redefinir"},
        {"pl", "Resetuj"},
        {"uk", "Скинути"},
        {"ja", "リセット"},
        {"ko", "초기화"},
        {"zh", "重置"},
        {"hi", "रीसेट करें"},
        {"ar", "إعادة تعيين"},
    });
}

QString L10n::openWindowOnLaunch() {
    return t({
        {"en", "Open window on launch"},
        {"ru", "Открывать окно при запуске"},
        {"es", "Abrir la ventana al iniciar"},
        {"fr", "Ouvrir la fenêtre au lancement"},
        {"de", "Fenster beim Start öffnen"},
        {"tr", "Başlangıçta pencereyi aç"},
        {"it", "Apri la finestra all’avvio"},
        {"pt", "Abrir a janela ao iniciar"},
        {"pl", "Otwieraj okno przy uruchomieniu"},
        {"uk", "Відкривати вікно під час запуску"},
        {"ja", "起動時にウィンドウを開く"},
        {"ko", "실행 시 창 열기"},
        {"zh", "启动时打开窗口"},
        {"hi", "शुरू होने पर विंडो खोलें"},
        {"ar", "فتح النافذة عند التشغيل"},
    });
}

QString L10n::openWindowOnLaunchDesc() {
    return t({
        {"en",
         "The app lives in the system tray and has no taskbar icon. Without this the launch looks "
         "like nothing happened."},
        {"ru",
         "Приложение живёт в системном трее и не имеет значка на панели задач. Без этой настройки "
         "кажется, что запуск ничего не дал."},
        {"es",
         "La aplicación vive en la bandeja del sistema y no tiene icono en la barra de tareas. Sin "
         "esta opción, parece que al iniciarla no pasa nada."},
        {"fr",
         "L’application se trouve dans la zone de notification et n’a pas d’icône dans la barre "
         "des tâches. Sans cette option, le lancement semble ne rien faire."},
        {"de",
         "Die App befindet sich im Infobereich und hat kein Symbol in der Taskleiste. Ohne diese "
         "Option sieht es so aus, als wäre beim Start nichts passiert."},
        {"tr",
         "Uygulama sistem tepsisinde çalışır ve görev çubuğunda simgesi yoktur. Bu seçenek olmadan "
         "başlatma hiçbir şey olmamış gibi görünür."},
        {"it",
         "L’app vive nell’area di notifica e non ha un’icona nella barra delle applicazioni. Senza "
         "questa opzione sembra che all’avvio non succeda nulla."},
        {"pt",
         "O aplicativo fica na bandeja do sistema e não tem ícone na barra de tarefas. Sem esta "
         "opção, parece que nada aconteceu ao abri-lo."},
        {"pl",
         "Aplikacja działa w zasobniku systemowym i nie ma ikony na pasku zadań. Bez tej opcji "
         "uruchomienie wygląda, jakby nic się nie stało."},
        {"uk",
         "Застосунок живе в системному лотку й не має значка на панелі завдань. Без цього "
         "параметра здається, що запуск нічого не дав."},
        {"ja",
         "このアプリはシステムトレイに常駐し、タスクバーにはアイコンがありません。この設定がないと"
         "、起動しても何も起きていないように見えます。"},
        {"ko",
         "앱은 시스템 트레이에 있으며 작업 표시줄 아이콘이 없습니다. 이 옵션이 없으면 실행해도 "
         "아무 일도 일어나지 않은 것처럼 보입니다."},
        {"zh",
         "本应用驻留在系统托盘中，任务栏上没有图标。不开启此项，启动时看起来就像什么都没发生。"},
        {"hi",
         "ऐप सिस्टम ट्रे में रहता है और टास्कबार में इसका कोई आइकन नहीं है। इसके बिना ऐसा लगता है कि शुरू करने पर "
         "कुछ हुआ ही नहीं।"},
        {"ar",
         "يعمل التطبيق من علبة النظام وليس له أيقونة في شريط المهام. بدون هذا الخيار يبدو كأن "
         "التشغيل لم يفعل شيئًا."},
    });
}

QString L10n::pressAndHold() {
    return t({
        {"en", "Press and hold to record, release to transcribe"},
        {"ru", "Нажмите и удерживайте для записи, отпустите для расшифровки"},
        {"es", "Mantén pulsado para grabar y suelta para transcribir"},
        {"fr", "Maintenez pour enregistrer, relâchez pour transcrire"},
        {"de", "Zum Aufnehmen gedrückt halten, zum Transkribieren loslassen"},
        {"tr", "Kaydetmek için basılı tutun, transkripsiyon için bırakın"},
        {"it", "Tieni premuto per registrare, rilascia per trascrivere"},
        {"pt", "Segure para gravar, solte para transcrever"},
        {"pl", "Przytrzymaj, aby nagrać, puść, aby transkrybować"},
        {"uk", "Натисніть і утримуйте для запису, відпустіть для транскрипції"},
        {"ja", "押し続けて録音、離すと文字起こし"},
        {"ko", "누르고 있으면 녹음, 놓으면 변환"},
        {"zh", "按住录音，松开转写"},
        {"hi", "रिकॉर्ड करने के लिए दबाए रखें, ट्रांसक्राइब करने के लिए छोड़ें"},
        {"ar", "اضغط مطولًا للتسجيل، ثم اترك للتفريغ النصي"},
    });
}

QString L10n::pushToTalkDesc() {
    return t({
        {"en", "Hold key to record, release to stop"},
        {"ru", "Удерживайте клавишу для записи, отпустите для остановки"},
        {"es", "Mantén pulsada la tecla para grabar y suéltala para parar"},
        {"fr", "Maintenez la touche pour enregistrer, relâchez pour arrêter"},
        {"de", "Taste zum Aufnehmen gedrückt halten, zum Beenden loslassen"},
        {"tr", "Kaydetmek için tuşu basılı tutun, durdurmak için bırakın"},
        {"it", "Tieni premuto il tasto per registrare, rilascia per fermare"},
        {"pt", "Segure a tecla para gravar, solte para parar"},
        {"pl", "Przytrzymaj klawisz, aby nagrywać, puść, aby zatrzymać"},
        {"uk", "Утримуйте клавішу для запису, відпустіть для зупинки"},
        {"ja", "キーを押している間録音し、離すと停止"},
        {"ko", "키를 누르고 있으면 녹음, 놓으면 중지"},
        {"zh", "按住按键录音，松开停止"},
        {"hi", "रिकॉर्ड करने के लिए कुंजी दबाए रखें, रोकने के लिए छोड़ें"},
        {"ar", "اضغط على المفتاح مطولًا للتسجيل، واتركه للإيقاف"},
    });
}

QString L10n::toggleRecordDesc() {
    return t({
        {"en", "Press once to start, press again to stop"},
        {"ru", "Нажмите один раз для начала, ещё раз — для остановки"},
        {"es", "Pulsa una vez para iniciar y otra vez para parar"},
        {"fr", "Appuyez une fois pour démarrer, une seconde fois pour arrêter"},
        {"de", "Einmal drücken zum Starten, erneut drücken zum Beenden"},
        {"tr", "Başlatmak için bir kez, durdurmak için tekrar basın"},
        {"it", "Premi una volta per avviare, premi di nuovo per fermare"},
        {"pt", "Pressione uma vez para iniciar e de novo para parar"},
        {"pl", "Naciśnij raz, aby zacząć, i ponownie, aby zatrzymać"},
        {"uk", "Натисніть один раз, щоб почати, і ще раз, щоб зупинити"},
        {"ja", "1回押して開始、もう1回押して停止"},
        {"ko", "한 번 누르면 시작, 다시 누르면 중지"},
        {"zh", "按一次开始，再按一次停止"},
        {"hi", "शुरू करने के लिए एक बार दबाएँ, रोकने के लिए फिर से दबाएँ"},
        {"ar", "اضغط مرة للبدء، ومرة أخرى للإيقاف"},
    });
}

QString L10n::recordingMode() {
    return t({
        {"en", "Recording Mode"},
        {"ru", "Режим записи"},
        {"es", "Modo de grabación"},
        {"fr", "Mode d’enregistrement"},
        {"de", "Aufnahmemodus"},
        {"tr", "Kayıt modu"},
        {"it", "Modalità di registrazione"},
        {"pt", "Modo de Gravação"},
        {"pl", "Tryb nagrywania"},
        {"uk", "Режим запису"},
        {"ja", "録音モード"},
        {"ko", "녹음 모드"},
        {"zh", "录音模式"},
        {"hi", "रिकॉर्डिंग मोड"},
        {"ar", "وضع التسجيل"},
    });
}

QString L10n::pushToTalk() {
    return t({
        {"en", "Push-to-Talk"},
        {"ru", "Удержание"},
        {"es", "Mantener para hablar"},
        {"fr", "Maintenir pour parler"},
        {"de", "Push-to-Talk"},
        {"tr", "Bas-konuş"},
        {"it", "Tieni premuto per parlare"},
        {"pt", "Segurar para falar"},
        {"pl", "Naciśnij i mów"},
        {"uk", "Утримання"},
        {"ja", "プッシュ・トゥ・トーク"},
        {"ko", "누르고 말하기"},
        {"zh", "按住说话"},
        {"hi", "दबाकर बोलें"},
        {"ar", "اضغط وتحدث"},
    });
}

QString L10n::toggleRecord() {
    return t({
        {"en", "Toggle"},
        {"ru", "Переключение"},
        {"es", "Alternar"},
        {"fr", "Basculer"},
        {"de", "Umschalten"},
        {"tr", "Aç/Kapat"},
        {"it", "Attiva/disattiva"},
        {"pt", "Alternar"},
        {"pl", "Przełącznik"},
        {"uk", "Перемикач"},
        {"ja", "トグル"},
        {"ko", "토글"},
        {"zh", "开关模式"},
        {"hi", "टॉगल"},
        {"ar", "تبديل"},
    });
}

QString L10n::productsSection() {
    return t({
        {"en", "Our products"},
        {"ru", "Наши продукты"},
        {"es", "Nuestros productos"},
        {"fr", "Nos produits"},
        {"de", "Unsere Produkte"},
        {"tr", "Ürünlerimiz"},
        {"it", "I nostri prodotti"},
        {"pt", "Nossos produtos"},
        {"pl", "Nasze produkty"},
        {"uk", "Наші продукти"},
        {"ja", "製品一覧"},
        {"ko", "제품 소개"},
        {"zh", "我们的产品"},
        {"hi", "हमारे उत्पाद"},
        {"ar", "منتجاتنا"},
    });
}

QString L10n::productsSubtitle() {
    return t({
        {"en", "Z7 ecosystem — services that work together"},
        {"ru", "Экосистема Z7 — сервисы, которые работают вместе"},
        {"es", "Ecosistema Z7: servicios que funcionan juntos"},
        {"fr", "Écosystème Z7 — des services qui fonctionnent ensemble"},
        {"de", "Z7-Ökosystem – Dienste, die zusammenarbeiten"},
        {"tr", "Z7 ekosistemi — birlikte çalışan hizmetler"},
        {"it", "Ecosistema Z7: servizi che lavorano insieme"},
        {"pt", "Ecossistema Z7 — serviços que funcionam juntos"},
        {"pl", "Ekosystem Z7 — usługi, które działają razem"},
        {"uk", "Екосистема Z7 — сервіси, які працюють разом"},
        {"ja", "Z7 エコシステム — 連携して動くサービス"},
        {"ko", "Z7 생태계 — 함께 작동하는 서비스"},
        {"zh", "Z7 生态 — 协同工作的服务"},
        {"hi", "Z7 इकोसिस्टम — साथ मिलकर काम करने वाली सेवाएँ"},
        {"ar", "منظومة Z7 — خدمات تعمل معًا"},
    });
}

QString L10n::productsD7AvuTagline() {
    return t({
        {"en", "AI agent in your messenger"},
        {"ru", "ИИ-агент в вашем мессенджере"},
        {"es", "Agente de IA en tu mensajería"},
        {"fr", "Un agent IA dans votre messagerie"},
        {"de", "KI-Agent in Ihrem Messenger"},
        {"tr", "Mesajlaşma uygulamanızda yapay zekâ asistanı"},
        {"it", "Agente IA nella tua app di messaggistica"},
        {"pt", "Agente de IA no seu mensageiro"},
        {"pl", "Agent AI w Twoim komunikatorze"},
        {"uk", "ШІ-агент у вашому месенджері"},
        {"ja", "メッセンジャーの中の AI エージェント"},
        {"ko", "메신저 속 AI 에이전트"},
        {"zh", "你聊天软件里的 AI 助手"},
        {"hi", "आपके मैसेंजर में AI एजेंट"},
        {"ar", "وكيل ذكاء اصطناعي في تطبيق المراسلة"},
    });
}

QString L10n::productsD7AvuDesc() {
    return t({
        {"en",
         "A personal AI agent that understands context, remembers you and gets tasks done. Works "
         "in Telegram, VK and Max. Try it for free."},
        {"ru",
         "Личный ИИ-агент, который понимает контекст, помнит вас и выполняет задачи. Работает в "
         "Telegram, VK и Max. Попробуйте бесплатно."},
        {"es",
         "Un agente de IA personal que entiende el contexto, se acuerda de ti y hace las tareas. "
         "Funciona en Telegram, VK y Max. Pruébalo gratis."},
        {"fr",
         "Un agent IA personnel qui comprend le contexte, se souvient de vous et accomplit vos "
         "tâches. Fonctionne dans Telegram, VK et Max. Essayez-le gratuitement."},
        {"de",
         "Ein persönlicher KI-Agent, der den Kontext versteht, sich an Sie erinnert und Aufgaben "
         "erledigt. Funktioniert in Telegram, VK und Max. Kostenlos ausprobieren."},
        {"tr",
         "Bağlamı anlayan, sizi hatırlayan ve görevleri yerine getiren kişisel bir yapay zekâ "
         "asistanı. Telegram, VK ve Max'te çalışır. Ücretsiz deneyin."},
        {"it",
         "Un agente IA personale che capisce il contesto, si ricorda di te e porta a termine i "
         "compiti. Funziona su Telegram, VK e Max. Provalo gratis."},
        {"pt",
         "Um agente de IA pessoal que entende o contexto, lembra de você e conclui tarefas. "
         "Funciona no Telegram, VK e Max. Experimente grátis."},
        {"pl",
         "Osobisty agent AI, który rozumie kontekst, pamięta Cię i załatwia sprawy. Działa w "
         "Telegramie, VK i Max. Wypróbuj za darmo."},
        {"uk",
         "Особистий ШІ-агент, який розуміє контекст, пам’ятає вас і виконує завдання. Працює в "
         "Telegram, VK і Max. Спробуйте безкоштовно."},
        {"ja",
         "文脈を理解し、あなたを覚えていて、タスクをこなすパーソナル AI "
         "エージェント。Telegram、VK、Max で使えます。無料でお試しください。"},
        {"ko",
         "맥락을 이해하고, 나를 기억하고, 할 일을 처리하는 개인 AI 에이전트입니다. Telegram, VK, "
         "Max에서 작동합니다. 무료로 사용해 보세요."},
        {"zh",
         "一个能理解上下文、记住你并帮你完成任务的个人 AI 助手。支持 Telegram、VK 和 "
         "Max。免费试用。"},
        {"hi",
         "एक निजी AI एजेंट जो संदर्भ समझता है, आपको याद रखता है और काम पूरे करता है। Telegram, VK और Max में "
         "काम करता है। मुफ़्त में आज़माएँ।"},
        {"ar",
         "وكيل ذكاء اصطناعي شخصي يفهم السياق ويتذكرك وينجز المهام. يعمل في Telegram وVK وMax. جرّبه "
         "مجانًا."},
    });
}

QString L10n::productsSameAccount() {
    return t({
        {"en", "Sign in with the same account as ORMIL — no new registration needed."},
        {"ru", "Входите с тем же аккаунтом, что и в ORMIL, — новая регистрация не нужна."},
        {"es",
         "Inicia sesión con la misma cuenta que en ORMIL: no hace falta registrarse de nuevo."},
        {"fr",
         "Connectez-vous avec le même compte que dans ORMIL — pas besoin de nouvelle inscription."},
        {"de",
         "Melden Sie sich mit demselben Konto wie bei ORMIL an – keine neue Registrierung nötig."},
        {"tr", "ORMIL'deki hesabınızla giriş yapın — yeniden kayıt gerekmez."},
        {"it", "Accedi con lo stesso account di ORMIL: non serve una nuova registrazione."},
        {"pt", "Entre com a mesma conta do ORMIL — não é preciso um novo cadastro."},
        {"pl", "Zaloguj się tym samym kontem co w ORMIL — nowa rejestracja nie jest potrzebna."},
        {"uk", "Входьте з тим самим акаунтом, що й в ORMIL, — нова реєстрація не потрібна."},
        {"ja", "ORMIL と同じアカウントでログインできます — 新規登録は不要です。"},
        {"ko", "ORMIL과 같은 계정으로 로그인하세요 — 새로 가입할 필요가 없습니다."},
        {"zh", "使用与 ORMIL 相同的账号登录 — 无需重新注册。"},
        {"hi", "ORMIL वाले ही खाते से साइन इन करें — नए पंजीकरण की ज़रूरत नहीं।"},
        {"ar", "سجّل الدخول بالحساب نفسه المستخدم في ORMIL — لا حاجة إلى تسجيل جديد."},
    });
}

QString L10n::productsOpenD7Avu() {
    return t({
        {"en", "Open D7Avu"},
        {"ru", "Открыть D7Avu"},
        {"es", "Abrir D7Avu"},
        {"fr", "Ouvrir D7Avu"},
        {"de", "D7Avu öffnen"},
        {"tr", "D7Avu'yu aç"},
        {"it", "Apri D7Avu"},
        {"pt", "Abrir D7Avu"},
        {"pl", "Otwórz D7Avu"},
        {"uk", "Відкрити D7Avu"},
        {"ja", "D7Avu を開く"},
        {"ko", "D7Avu 열기"},
        {"zh", "打开 D7Avu"},
        {"hi", "D7Avu खोलें"},
        {"ar", "فتح D7Avu"},
    });
}

QString L10n::editSnippet() {
    return t({
        {"en", "Edit Snippet"},
        {"ru", "Изменить сниппет"},
        {"es", "Editar fragmento"},
        {"fr", "Modifier l’extrait"},
        {"de", "Textbaustein bearbeiten"},
        {"tr", "Hazır metni düzenle"},
        {"it", "Modifica frammento"},
        {"pt", "Editar trecho"},
        {"pl", "Edytuj fragment"},
        {"uk", "Змінити сніпет"},
        {"ja", "スニペットを編集"},
        {"ko", "스니펫 편집"},
        {"zh", "编辑片段"},
        {"hi", "स्निपेट संपादित करें"},
        {"ar", "تعديل المقتطف"},
    });
}

QString L10n::addSnippet() {
    return t({
        {"en", "Add Snippet"},
        {"ru", "Добавить сниппет"},
        {"es", "Añadir fragmento"},
        {"fr", "Ajouter un extrait"},
        {"de", "Textbaustein hinzufügen"},
        {"tr", "Hazır metin ekle"},
        {"it", "Aggiungi frammento"},
        {"pt", "Adicionar trecho"},
        {"pl", "Dodaj fragment"},
        {"uk", "Додати сніпет"},
        {"ja", "スニペットを追加"},
        {"ko", "스니펫 추가"},
        {"zh", "添加片段"},
        {"hi", "स्निपेट जोड़ें"},
        {"ar", "إضافة مقتطف"},
    });
}

QString L10n::voiceHint() {
    return t({
        {"en",
         "Say the code word while dictating — the transcribed text gets the full snippet instead."},
        {"ru",
         "Произнесите кодовое слово во время диктовки — в расшифровке вместо него появится весь "
         "сниппет."},
        {"es",
         "Di la palabra en clave mientras dictas: el texto transcrito recibe el fragmento completo "
         "en su lugar."},
        {"fr",
         "Dites le mot-code pendant la dictée — le texte transcrit reçoit l’extrait complet à sa "
         "place."},
        {"de",
         "Sagen Sie beim Diktieren das Codewort – im transkribierten Text steht stattdessen der "
         "vollständige Textbaustein."},
        {"tr",
         "Dikte sırasında kod kelimeyi söyleyin — transkripsiyonda onun yerine hazır metnin tamamı "
         "yer alır."},
        {"it",
         "Pronuncia la parola in codice durante la dettatura: nel testo trascritto comparirà al "
         "suo posto il frammento completo."},
        {"pt",
         "Diga a palavra-código durante o ditado — o texto transcrito recebe o trecho completo no "
         "lugar dela."},
        {"pl",
         "Wypowiedz słowo kodowe podczas dyktowania — w transkrypcji pojawi się zamiast niego cały "
         "fragment."},
        {"uk",
         "Вимовте кодове слово під час диктування — у транскрипції замість нього з’явиться весь "
         "сніпет."},
        {"ja",
         "音声入力中にコードワードを言うと、文字起こしにはその代わりにスニペット全文が入ります。"},
        {"ko",
         "받아쓰는 동안 코드 단어를 말하면 변환된 텍스트에 그 대신 스니펫 전체가 들어갑니다."},
        {"zh", "听写时说出代码词 — 转写文本中会以完整片段代替它。"},
        {"hi", "डिक्टेशन के दौरान कोड शब्द बोलें — ट्रांसक्राइब किए गए टेक्स्ट में उसकी जगह पूरा स्निपेट आ जाएगा।"},
        {"ar", "قل الكلمة الرمزية أثناء الإملاء — فيحل المقتطف الكامل محلها في النص المُفرَّغ."},
    });
}

QString L10n::keyboardHint() {
    return t({
        {"en", "Type the shortcut in any app — it expands into full text as you type."},
        {"ru",
         "Наберите сокращение в любом приложении — оно развернётся в полный текст прямо при "
         "вводе."},
        {"es",
         "Escribe la abreviatura en cualquier aplicación: se expande en el texto completo mientras "
         "escribes."},
        {"fr",
         "Tapez l’abréviation dans n’importe quelle application — elle se développe en texte "
         "complet pendant la saisie."},
        {"de",
         "Tippen Sie das Kürzel in einer beliebigen App – es wird beim Tippen zum vollständigen "
         "Text erweitert."},
        {"tr", "Kısaltmayı herhangi bir uygulamada yazın — yazarken tam metne genişler."},
        {"it",
         "Digita l’abbreviazione in qualsiasi app: si espande nel testo completo mentre scrivi."},
        {"pt",
         "Digite a abreviação em qualquer aplicativo — ela se expande no texto completo enquanto "
         "você digita."},
        {"pl", "Wpisz skrót w dowolnej aplikacji — podczas pisania rozwinie się w pełny tekst."},
        {"uk",
         "Наберіть скорочення в будь-якому застосунку — воно розгорнеться в повний текст просто "
         "під час введення."},
        {"ja", "どのアプリでも略語を入力すると、入力中に全文へ展開されます。"},
        {"ko", "아무 앱에서나 약어를 입력하면 입력하는 즉시 전체 텍스트로 확장됩니다."},
        {"zh", "在任意应用中输入缩写 — 输入时即展开为完整文本。"},
        {"hi", "किसी भी ऐप में शॉर्टकट टाइप करें — टाइप करते ही वह पूरे टेक्स्ट में बदल जाता है।"},
        {"ar", "اكتب الاختصار في أي تطبيق — فيتوسع إلى النص الكامل أثناء الكتابة."},
    });
}

QString L10n::nothingFound() {
    return t({
        {"en", "Nothing found"},
        {"ru", "Ничего не найдено"},
        {"es", "No se encontró nada"},
        {"fr", "Aucun résultat"},
        {"de", "Nichts gefunden"},
        {"tr", "Hiçbir şey bulunamadı"},
        {"it", "Nessun risultato"},
        {"pt", "Nada encontrado"},
        {"pl", "Nic nie znaleziono"},
        {"uk", "Нічого не знайдено"},
        {"ja", "見つかりませんでした"},
        {"ko", "검색 결과 없음"},
        {"zh", "未找到任何内容"},
        {"hi", "कुछ नहीं मिला"},
        {"ar", "لم يُعثر على شيء"},
    });
}

QString L10n::addSnippetsForQuick() {
    return t({
        {"en", "Add text snippets for quick insertion"},
        {"ru", "Добавьте сниппеты для быстрой вставки текста"},
        {"es", "Añade fragmentos de texto para insertarlos rápidamente"},
        {"fr", "Ajoutez des extraits de texte pour les insérer rapidement"},
        {"de", "Textbausteine zum schnellen Einfügen hinzufügen"},
        {"tr", "Hızlı ekleme için hazır metinler ekleyin"},
        {"it", "Aggiungi frammenti di testo da inserire rapidamente"},
        {"pt", "Adicione trechos de texto para inserção rápida"},
        {"pl", "Dodaj fragmenty tekstu do szybkiego wstawiania"},
        {"uk", "Додайте сніпети для швидкого вставлення тексту"},
        {"ja", "すばやく挿入できるテキストスニペットを追加しましょう"},
        {"ko", "빠르게 삽입할 텍스트 스니펫을 추가하세요"},
        {"zh", "添加文本片段以便快速插入"},
        {"hi", "तेज़ी से डालने के लिए टेक्स्ट स्निपेट जोड़ें"},
        {"ar", "أضف مقتطفات نصية لإدراجها بسرعة"},
    });
}

QString L10n::noSnippetsYet() {
    return t({
        {"en", "No snippets yet"},
        {"ru", "Сниппетов пока нет"},
        {"es", "Aún no hay fragmentos"},
        {"fr", "Aucun extrait pour l’instant"},
        {"de", "Noch keine Textbausteine"},
        {"tr", "Henüz hazır metin yok"},
        {"it", "Ancora nessun frammento"},
        {"pt", "Ainda não há trechos"},
        {"pl", "Nie ma jeszcze fragmentów"},
        {"uk", "Сніпетів поки немає"},
        {"ja", "スニペットはまだありません"},
        {"ko", "아직 스니펫이 없습니다"},
        {"zh", "还没有片段"},
        {"hi", "अभी कोई स्निपेट नहीं"},
        {"ar", "لا توجد مقتطفات بعد"},
    });
}

QString L10n::deleteExpansionConfirm() {
    return t({
        {"en", "Delete this text expansion?"},
        {"ru", "Удалить этот сниппет с сокращением?"},
        {"es", "¿Eliminar esta expansión de texto?"},
        {"fr", "Supprimer cette expansion de texte ?"},
        {"de", "Diese Texterweiterung löschen?"},
        {"tr", "Bu metin genişletmesi silinsin mi?"},
        {"it", "Eliminare questa espansione di testo?"},
        {"pt", "Excluir esta expansão de texto?"},
        {"pl", "Usunąć to rozwinięcie tekstu?"},
        {"uk", "Видалити це розгортання тексту?"},
        {"ja", "このテキスト展開を削除しますか？"},
        {"ko", "이 텍스트 확장을 삭제할까요?"},
        {"zh", "删除此文本扩展？"},
        {"hi", "यह टेक्स्ट विस्तार हटाएँ?"},
        {"ar", "حذف توسيع النص هذا؟"},
    });
}

QString L10n::deleteCannotBeUndone() {
    return t({
        {"en", "This action cannot be undone."},
        {"ru", "Это действие нельзя отменить."},
        {"es", "Esta acción no se puede deshacer."},
        {"fr", "Cette action est irréversible."},
        {"de", "Diese Aktion kann nicht rückgängig gemacht werden."},
        {"tr", "Bu işlem geri alınamaz."},
        {"it", "Questa azione non può essere annullata."},
        {"pt", "Esta ação não pode ser desfeita."},
        {"pl", "Tej operacji nie można cofnąć."},
        {"uk", "Цю дію не можна скасувати."},
        {"ja", "この操作は取り消せません。"},
        {"ko", "이 작업은 되돌릴 수 없습니다."},
        {"zh", "此操作无法撤销。"},
        {"hi", "यह क्रिया पूर्ववत नहीं की जा सकती।"},
        {"ar", "لا يمكن التراجع عن هذا الإجراء."},
    });
}

QString L10n::delete_() {
    return t({
        {"en", "Delete"},
        {"ru", "Удалить"},
        {"es", "Eliminar"},
        {"fr", "Supprimer"},
        {"de", "Löschen"},
        {"tr", "Sil"},
        {"it", "Elimina"},
        {"pt", "Excluir"},
        {"pl", "Usuń"},
        {"uk", "Видалити"},
        {"ja", "削除"},
        {"ko", "삭제"},
        {"zh", "删除"},
        {"hi", "हटाएँ"},
        {"ar", "حذف"},
    });
}

QString L10n::addVoiceSnippetsHint() {
    return t({
        {"en", "Add a code word you will say out loud"},
        {"ru", "Добавьте кодовое слово, которое будете произносить вслух"},
        {"es", "Añade una palabra en clave que dirás en voz alta"},
        {"fr", "Ajoutez un mot-code que vous prononcerez à voix haute"},
        {"de", "Fügen Sie ein Codewort hinzu, das Sie laut aussprechen"},
        {"tr", "Sesli söyleyeceğiniz bir kod kelime ekleyin"},
        {"it", "Aggiungi una parola in codice da pronunciare ad alta voce"},
        {"pt", "Adicione uma palavra-código que você dirá em voz alta"},
        {"pl", "Dodaj słowo kodowe, które wypowiesz na głos"},
        {"uk", "Додайте кодове слово, яке вимовлятимете вголос"},
        {"ja", "声に出して言うコードワードを追加しましょう"},
        {"ko", "소리 내어 말할 코드 단어를 추가하세요"},
        {"zh", "添加一个你会大声说出的代码词"},
        {"hi", "एक कोड शब्द जोड़ें जिसे आप ज़ोर से बोलेंगे"},
        {"ar", "أضف كلمة رمزية ستقولها بصوت عالٍ"},
    });
}

QString L10n::noVoiceSnippetsYet() {
    return t({
        {"en", "No voice snippets yet"},
        {"ru", "Голосовых сниппетов пока нет"},
        {"es", "Aún no hay fragmentos de voz"},
        {"fr", "Aucun extrait vocal pour l’instant"},
        {"de", "Noch keine Sprach-Textbausteine"},
        {"tr", "Henüz sesli hazır metin yok"},
        {"it", "Ancora nessun frammento vocale"},
        {"pt", "Ainda não há trechos de voz"},
        {"pl", "Nie ma jeszcze fragmentów głosowych"},
        {"uk", "Голосових сніпетів поки немає"},
        {"ja", "音声スニペットはまだありません"},
        {"ko", "아직 음성 스니펫이 없습니다"},
        {"zh", "还没有语音片段"},
        {"hi", "अभी कोई वॉइस स्निपेट नहीं"},
        {"ar", "لا توجد مقتطفات صوتية بعد"},
    });
}

QString L10n::deleteSnippetConfirm() {
    return t({
        {"en", "Delete this snippet?"},
        {"ru", "Удалить этот сниппет?"},
        {"es", "¿Eliminar este fragmento?"},
        {"fr", "Supprimer cet extrait ?"},
        {"de", "Diesen Textbaustein löschen?"},
        {"tr", "Bu hazır metin silinsin mi?"},
        {"it", "Eliminare questo frammento?"},
        {"pt", "Excluir este trecho?"},
        {"pl", "Usunąć ten fragment?"},
        {"uk", "Видалити цей сніпет?"},
        {"ja", "このスニペットを削除しますか？"},
        {"ko", "이 스니펫을 삭제할까요?"},
        {"zh", "删除此片段？"},
        {"hi", "यह स्निपेट हटाएँ?"},
        {"ar", "حذف هذا المقتطف؟"},
    });
}

QString L10n::searchSnippets() {
    return t({
        {"en", "Search snippets..."},
        {"ru", "Поиск сниппетов..."},
        {"es", "Buscar fragmentos..."},
        {"fr", "Rechercher des extraits..."},
        {"de", "Textbausteine durchsuchen..."},
        {"tr", "Hazır metinlerde ara..."},
        {"it", "Cerca frammenti..."},
        {"pt", "Pesquisar trechos..."},
        {"pl", "Szukaj fragmentów..."},
        {"uk", "Пошук сніпетів..."},
        {"ja", "スニペットを検索..."},
        {"ko", "스니펫 검색..."},
        {"zh", "搜索片段..."},
        {"hi", "स्निपेट खोजें..."},
        {"ar", "البحث في المقتطفات..."},
    });
}

QString L10n::tabKeyboard() {
    return t({
        {"en", "Keyboard"},
        {"ru", "Клавиатура"},
        {"es", "Teclado"},
        {"fr", "Clavier"},
        {"de", "Tastatur"},
        {"tr", "Klavye"},
        {"it", "Tastiera"},
        {"pt", "Teclado"},
        {"pl", "Klawiatura"},
        {"uk", "Клавіатура"},
        {"ja", "キーボード"},
        {"ko", "키보드"},
        {"zh", "键盘"},
        {"hi", "कीबोर्ड"},
        {"ar", "لوحة المفاتيح"},
    });
}

QString L10n::tabVoice() {
    return t({
        {"en", "Voice"},
        {"ru", "Голос"},
        {"es", "Voz"},
        {"fr", "Voix"},
        {"de", "Stimme"},
        {"tr", "Sesli"},
        {"it", "Voce"},
        {"pt", "Voz"},
        {"pl", "Głos"},
        {"uk", "Голос"},
        {"ja", "音声"},
        {"ko", "음성"},
        {"zh", "语音"},
        {"hi", "आवाज़"},
        {"ar", "صوتي"},
    });
}

QString L10n::snippets() {
    return t({
        {"en", "Snippets"},
        {"ru", "Сниппеты"},
        {"es", "Fragmentos"},
        {"fr", "Extraits"},
        {"de", "Textbausteine"},
        {"tr", "Hazır metinler"},
        {"it", "Frammenti"},
        {"pt", "Trechos"},
        {"pl", "Fragmenty"},
        {"uk", "Сніпети"},
        {"ja", "スニペット"},
        {"ko", "스니펫"},
        {"zh", "片段"},
        {"hi", "स्निपेट"},
        {"ar", "المقتطفات"},
    });
}

QString L10n::add() {
    return t({
        {"en", "Add"},
        {"ru", "Добавить"},
        {"es", "Añadir"},
        {"fr", "Ajouter"},
        {"de", "Hinzufügen"},
        {"tr", "Ekle"},
        {"it", "Aggiungi"},
        {"pt", "Adicionar"},
        {"pl", "Dodaj"},
        {"uk", "Додати"},
        {"ja", "追加"},
        {"ko", "추가"},
        {"zh", "添加"},
        {"hi", "जोड़ें"},
        {"ar", "إضافة"},
    });
}

QString L10n::dictionaryEmpty() {
    return t({
        {"en", "Dictionary is empty"},
        {"ru", "Словарь пуст"},
        {"es", "El diccionario está vacío"},
        {"fr", "Le dictionnaire est vide"},
        {"de", "Das Wörterbuch ist leer"},
        {"tr", "Sözlük boş"},
        {"it", "Il dizionario è vuoto"},
        {"pt", "O dicionário está vazio"},
        {"pl", "Słownik jest pusty"},
        {"uk", "Словник порожній"},
        {"ja", "辞書は空です"},
        {"ko", "사전이 비어 있습니다"},
        {"zh", "词典为空"},
        {"hi", "शब्दकोश खाली है"},
        {"ar", "القاموس فارغ"},
    });
}

QString L10n::addWordsToImprove() {
    return t({
        {"en", "Add words to improve recognition"},
        {"ru", "Добавьте слова, чтобы улучшить распознавание"},
        {"es", "Añade palabras para mejorar el reconocimiento"},
        {"fr", "Ajoutez des mots pour améliorer la reconnaissance"},
        {"de", "Fügen Sie Wörter hinzu, um die Erkennung zu verbessern"},
        {"tr", "Tanımayı iyileştirmek için kelime ekleyin"},
        {"it", "Aggiungi parole per migliorare il riconoscimento"},
        {"pt", "Adicione palavras para melhorar o reconhecimento"},
        {"pl", "Dodaj słowa, aby poprawić rozpoznawanie"},
        {"uk", "Додайте слова, щоб покращити розпізнавання"},
        {"ja", "単語を追加して認識精度を高めましょう"},
        {"ko", "단어를 추가해 인식률을 높이세요"},
        {"zh", "添加词语以提高识别准确度"},
        {"hi", "पहचान बेहतर करने के लिए शब्द जोड़ें"},
        {"ar", "أضف كلمات لتحسين التعرّف"},
    });
}

QString L10n::deleteDictionaryConfirm() {
    return t({
        {"en", "Delete this dictionary entry?"},
        {"ru", "Удалить эту запись словаря?"},
        {"es", "¿Eliminar esta entrada del diccionario?"},
        {"fr", "Supprimer cette entrée du dictionnaire ?"},
        {"de", "Diesen Wörterbucheintrag löschen?"},
        {"tr", "Bu sözlük girdisi silinsin mi?"},
        {"it", "Eliminare questa voce del dizionario?"},
        {"pt", "Excluir esta entrada do dicionário?"},
        {"pl", "Usunąć ten wpis ze słownika?"},
        {"uk", "Видалити цей запис словника?"},
        {"ja", "この辞書項目を削除しますか？"},
        {"ko", "이 사전 항목을 삭제할까요?"},
        {"zh", "删除此词典条目？"},
        {"hi", "यह शब्दकोश प्रविष्टि हटाएँ?"},
        {"ar", "حذف إدخال القاموس هذا؟"},
    });
}

QString L10n::searchDictionary() {
    return t({
        {"en", "Search dictionary..."},
        {"ru", "Поиск по словарю..."},
        {"es", "Buscar en el diccionario..."},
        {"fr", "Rechercher dans le dictionnaire..."},
        {"de", "Wörterbuch durchsuchen..."},
        {"tr", "Sözlükte ara..."},
        {"it", "Cerca nel dizionario..."},
        {"pt", "Pesquisar no dicionário..."},
        {"pl", "Szukaj w słowniku..."},
        {"uk", "Пошук у словнику..."},
        {"ja", "辞書を検索..."},
        {"ko", "사전 검색..."},
        {"zh", "搜索词典..."},
        {"hi", "शब्दकोश में खोजें..."},
        {"ar", "البحث في القاموس..."},
    });
}

QString L10n::dictionary() {
    return t({
        {"en", "Dictionary"},
        {"ru", "Словарь"},
        {"es", "Diccionario"},
        {"fr", "Dictionnaire"},
        {"de", "Wörterbuch"},
        {"tr", "Sözlük"},
        {"it", "Dizionario"},
        {"pt", "Dicionário"},
        {"pl", "Słownik"},
        {"uk", "Словник"},
        {"ja", "辞書"},
        {"ko", "사전"},
        {"zh", "词典"},
        {"hi", "शब्दकोश"},
        {"ar", "القاموس"},
    });
}

QString L10n::addEntry() {
    return t({
        {"en", "Add Entry"},
        {"ru", "Добавить запись"},
        {"es", "Añadir entrada"},
        {"fr", "Ajouter une entrée"},
        {"de", "Eintrag hinzufügen"},
        {"tr", "Girdi ekle"},
        {"it", "Aggiungi voce"},
        {"pt", "Adicionar entrada"},
        {"pl", "Dodaj wpis"},
        {"uk", "Додати запис"},
        {"ja", "項目を追加"},
        {"ko", "항목 추가"},
        {"zh", "添加条目"},
        {"hi", "प्रविष्टि जोड़ें"},
        {"ar", "إضافة إدخال"},
    });
}

QString L10n::filesStatusError() {
    return t({
        {"en", "Error"},
        {"ru", "Ошибка"},
        {"es", "Error"},
        {"fr", "Erreur"},
        {"de", "Fehler"},
        {"tr", "Hata"},
        {"it", "Errore"},
        {"pt", "Erro"},
        {"pl", "Błąd"},
        {"uk", "Помилка"},
        {"ja", "エラー"},
        {"ko", "오류"},
        {"zh", "错误"},
        {"hi", "त्रुटि"},
        {"ar", "خطأ"},
    });
}

QString L10n::filesEmpty() {
    return t({
        {"en", "Your file transcription history will appear here"},
        {"ru", "Здесь появится история расшифровки файлов"},
        {"es", "Aquí aparecerá el historial de transcripción de archivos"},
        {"fr", "L’historique de transcription de vos fichiers apparaîtra ici"},
        {"de", "Hier erscheint der Verlauf Ihrer Dateitranskriptionen"},
        {"tr", "Dosya transkripsiyon geçmişiniz burada görünecek"},
        {"it", "Qui comparirà la cronologia delle trascrizioni dei file"},
        {"pt", "O histórico de transcrição dos seus arquivos aparecerá aqui"},
        {"pl", "Tu pojawi się historia transkrypcji Twoich plików"},
        {"uk", "Тут з’явиться історія транскрипції файлів"},
        {"ja", "ファイルの文字起こし履歴がここに表示されます"},
        {"ko", "파일 변환 기록이 여기에 표시됩니다"},
        {"zh", "你的文件转写历史将显示在这里"},
        {"hi", "आपकी फ़ाइलों के ट्रांसक्रिप्शन का इतिहास यहाँ दिखेगा"},
        {"ar", "سيظهر هنا سجل التفريغ النصي لملفاتك"},
    });
}

QString L10n::filesSelectFile() {
    return t({
        {"en", "Select audio or video"},
        {"ru", "Выбрать аудио или видео"},
        {"es", "Seleccionar audio o vídeo"},
        {"fr", "Choisir un audio ou une vidéo"},
        {"de", "Audio oder Video auswählen"},
        {"tr", "Ses veya video seçin"},
        {"it", "Seleziona audio o video"},
        {"pt", "Selecionar áudio ou vídeo"},
        {"pl", "Wybierz audio lub wideo"},
        {"uk", "Вибрати аудіо чи відео"},
        {"ja", "音声または動画を選択"},
        {"ko", "오디오 또는 동영상 선택"},
        {"zh", "选择音频或视频"},
        {"hi", "ऑडियो या वीडियो चुनें"},
        {"ar", "اختر ملفًا صوتيًا أو فيديو"},
    });
}

QString L10n::filesUploading() {
    return t({
        {"en", "Uploading..."},
        {"ru", "Загрузка..."},
        {"es", "Subiendo..."},
        {"fr", "Envoi..."},
        {"de", "Wird hochgeladen..."},
        {"tr", "Karşıya yükleniyor..."},
        {"it", "Caricamento..."},
        {"pt", "Enviando..."},
        {"pl", "Wysyłanie..."},
        {"uk", "Вивантаження..."},
        {"ja", "アップロード中..."},
        {"ko", "업로드 중..."},
        {"zh", "正在上传..."},
        {"hi", "अपलोड हो रहा है..."},
        {"ar", "جارٍ الرفع..."},
    });
}

QString L10n::filesExtractingAudio() {
    return t({
        {"en", "Extracting audio from video..."},
        {"ru", "Извлечение звука из видео..."},
        {"es", "Extrayendo el audio del vídeo..."},
        {"fr", "Extraction de l’audio de la vidéo..."},
        {"de", "Audio wird aus dem Video extrahiert..."},
        {"tr", "Videodan ses çıkarılıyor..."},
        {"it", "Estrazione dell’audio dal video..."},
        {"pt", "Extraindo o áudio do vídeo..."},
        {"pl", "Wyodrębnianie dźwięku z wideo..."},
        {"uk", "Видобування звуку з відео..."},
        {"ja", "動画から音声を抽出中..."},
        {"ko", "동영상에서 오디오 추출 중..."},
        {"zh", "正在从视频中提取音频..."},
        {"hi", "वीडियो से ऑडियो निकाला जा रहा है..."},
        {"ar", "جارٍ استخراج الصوت من الفيديو..."},
    });
}

QString L10n::filesSection() {
    return t({
        {"en", "Files"},
        {"ru", "Файлы"},
        {"es", "Archivos"},
        {"fr", "Fichiers"},
        {"de", "Dateien"},
        {"tr", "Dosyalar"},
        {"it", "File"},
        {"pt", "Arquivos"},
        {"pl", "Pliki"},
        {"uk", "Файли"},
        {"ja", "ファイル"},
        {"ko", "파일"},
        {"zh", "文件"},
        {"hi", "फ़ाइलें"},
        {"ar", "الملفات"},
    });
}

QString L10n::filesServiceUnavailable() {
    return t({
        {"en", "File transcription service is temporarily unavailable. Please try again later."},
        {"ru", "Сервис расшифровки файлов временно недоступен. Попробуйте позже."},
        {"es",
         "El servicio de transcripción de archivos no está disponible temporalmente. Inténtalo de "
         "nuevo más tarde."},
        {"fr",
         "Le service de transcription de fichiers est temporairement indisponible. Veuillez "
         "réessayer plus tard."},
        {"de",
         "Der Dienst für Dateitranskription ist vorübergehend nicht verfügbar. Bitte versuchen Sie "
         "es später erneut."},
        {"tr",
         "Dosya transkripsiyon hizmeti geçici olarak kullanılamıyor. Lütfen daha sonra tekrar "
         "deneyin."},
        {"it",
         "Il servizio di trascrizione dei file è temporaneamente non disponibile. Riprova più "
         "tardi."},
        {"pt",
         "O serviço de transcrição de arquivos está temporariamente indisponível. Tente novamente "
         "mais tarde."},
        {"pl", "Usługa transkrypcji plików jest chwilowo niedostępna. Spróbuj ponownie później."},
        {"uk", "Сервіс транскрипції файлів тимчасово недоступний. Спробуйте пізніше."},
        {"ja",
         "ファイル文字起こしサービスは一時的に利用できません。しばらくしてからもう一度お試しくださ"
         "い。"},
        {"ko", "파일 변환 서비스를 일시적으로 사용할 수 없습니다. 나중에 다시 시도하세요."},
        {"zh", "文件转写服务暂时不可用。请稍后再试。"},
        {"hi", "फ़ाइल ट्रांसक्रिप्शन सेवा अस्थायी रूप से उपलब्ध नहीं है। कृपया बाद में फिर से कोशिश करें।"},
        {"ar", "خدمة التفريغ النصي للملفات غير متاحة مؤقتًا. يُرجى المحاولة لاحقًا."},
    });
}

QString L10n::clipboardEmpty() {
    return t({
        {"en", "Clipboard history is empty"},
        {"ru", "История буфера обмена пуста"},
        {"es", "El historial del portapapeles está vacío"},
        {"fr", "L’historique du presse-papiers est vide"},
        {"de", "Der Verlauf der Zwischenablage ist leer"},
        {"tr", "Pano geçmişi boş"},
        {"it", "La cronologia degli appunti è vuota"},
        {"pt", "O histórico da área de transferência está vazio"},
        {"pl", "Historia schowka jest pusta"},
        {"uk", "Історія буфера обміну порожня"},
        {"ja", "クリップボード履歴は空です"},
        {"ko", "클립보드 기록이 비어 있습니다"},
        {"zh", "剪贴板历史为空"},
        {"hi", "क्लिपबोर्ड इतिहास खाली है"},
        {"ar", "سجل الحافظة فارغ"},
    });
}

QString L10n::filesCopy() {
    return t({
        {"en", "Copy"},
        {"ru", "Копировать"},
        {"es", "Copiar"},
        {"fr", "Copier"},
        {"de", "Kopieren"},
        {"tr", "Kopyala"},
        {"it", "Copia"},
        {"pt", "Copiar"},
        {"pl", "Kopiuj"},
        {"uk", "Копіювати"},
        {"ja", "コピー"},
        {"ko", "복사"},
        {"zh", "复制"},
        {"hi", "कॉपी करें"},
        {"ar", "نسخ"},
    });
}

QString L10n::clipboardSection() {
    return t({
        {"en", "Clipboard"},
        {"ru", "Буфер обмена"},
        {"es", "Portapapeles"},
        {"fr", "Presse-papiers"},
        {"de", "Zwischenablage"},
        {"tr", "Pano"},
        {"it", "Appunti"},
        {"pt", "Área de transferência"},
        {"pl", "Schowek"},
        {"uk", "Буфер обміну"},
        {"ja", "クリップボード"},
        {"ko", "클립보드"},
        {"zh", "剪贴板"},
        {"hi", "क्लिपबोर्ड"},
        {"ar", "الحافظة"},
    });
}

QString L10n::clipboardSubtitle() {
    return t({
        {"en", "Texts you copied yourself — transcription inserts are not included"},
        {"ru", "Тексты, которые вы скопировали сами, — вставки расшифровок сюда не попадают"},
        {"es", "Textos que copiaste tú: las transcripciones pegadas no se incluyen"},
        {"fr",
         "Les textes que vous avez copiés vous-même — les transcriptions collées n’y figurent pas"},
        {"de",
         "Texte, die Sie selbst kopiert haben – eingefügte Transkriptionen sind nicht enthalten"},
        {"tr", "Kendi kopyaladığınız metinler — yapıştırılan transkripsiyonlar dahil değildir"},
        {"it", "Testi che hai copiato tu: le trascrizioni incollate non sono incluse"},
        {"pt", "Textos que você mesmo copiou — as transcrições coladas não entram aqui"},
        {"pl", "Teksty skopiowane przez Ciebie — wklejone transkrypcje nie są tu uwzględniane"},
        {"uk", "Тексти, які ви скопіювали самі, — вставлені транскрипції сюди не потрапляють"},
        {"ja", "自分でコピーしたテキスト — 文字起こしの挿入は含まれません"},
        {"ko", "직접 복사한 텍스트 — 변환 텍스트 삽입은 포함되지 않습니다"},
        {"zh", "你自己复制的文本 — 不包括插入的转写内容"},
        {"hi", "आपके द्वारा खुद कॉपी किए गए टेक्स्ट — ट्रांसक्रिप्शन से डाले गए टेक्स्ट शामिल नहीं हैं"},
        {"ar", "نصوص نسختها بنفسك — لا تُضمَّن النصوص المُدرجة من التفريغ النصي"},
    });
}

QString L10n::noRecordingsYet() {
    return t({
        {"en", "No recordings yet"},
        {"ru", "Записей пока нет"},
        {"es", "Aún no hay grabaciones"},
        {"fr", "Aucun enregistrement pour l’instant"},
        {"de", "Noch keine Aufnahmen"},
        {"tr", "Henüz kayıt yok"},
        {"it", "Ancora nessuna registrazione"},
        {"pt", "Ainda não há gravações"},
        {"pl", "Nie ma jeszcze nagrań"},
        {"uk", "Записів поки немає"},
        {"ja", "録音はまだありません"},
        {"ko", "아직 녹음이 없습니다"},
        {"zh", "还没有录音"},
        {"hi", "अभी कोई रिकॉर्डिंग नहीं"},
        {"ar", "لا توجد تسجيلات بعد"},
    });
}

QString L10n::today() {
    return t({
        {"en", "Today"},
        {"ru", "Сегодня"},
        {"es", "Hoy"},
        {"fr", "Aujourd’hui"},
        {"de", "Heute"},
        {"tr", "Bugün"},
        {"it", "Oggi"},
        {"pt", "Hoje"},
        {"pl", "Dzisiaj"},
        {"uk", "Сьогодні"},
        {"ja", "今日"},
        {"ko", "오늘"},
        {"zh", "今天"},
        {"hi", "आज"},
        {"ar", "اليوم"},
    });
}

QString L10n::yesterday() {
    return t({
        {"en", "Yesterday"},
        {"ru", "Вчера"},
        {"es", "Ayer"},
        {"fr", "Hier"},
        {"de", "Gestern"},
        {"tr", "Dün"},
        {"it", "Ieri"},
        {"pt", "Ontem"},
        {"pl", "Wczoraj"},
        {"uk", "Учора"},
        {"ja", "昨日"},
        {"ko", "어제"},
        {"zh", "昨天"},
        {"hi", "कल"},
        {"ar", "أمس"},
    });
}

QString L10n::earlier() {
    return t({
        {"en", "Earlier"},
        {"ru", "Ранее"},
        {"es", "Anteriores"},
        {"fr", "Plus tôt"},
        {"de", "Früher"},
        {"tr", "Daha önce"},
        {"it", "Prima"},
        {"pt", "Antes"},
        {"pl", "Wcześniej"},
        {"uk", "Раніше"},
        {"ja", "それ以前"},
        {"ko", "이전"},
        {"zh", "更早"},
        {"hi", "पहले"},
        {"ar", "سابقًا"},
    });
}

QString L10n::failedToRecognize() {
    return t({
        {"en", "Failed to Recognize"},
        {"ru", "Не удалось распознать"},
        {"es", "No se pudo reconocer"},
        {"fr", "Échec de la reconnaissance"},
        {"de", "Erkennung fehlgeschlagen"},
        {"tr", "Tanınamadı"},
        {"it", "Riconoscimento non riuscito"},
        {"pt", "Falha no reconhecimento"},
        {"pl", "Nie udało się rozpoznać"},
        {"uk", "Не вдалося розпізнати"},
        {"ja", "認識できませんでした"},
        {"ko", "인식 실패"},
        {"zh", "识别失败"},
        {"hi", "पहचान नहीं हो सकी"},
        {"ar", "تعذّر التعرّف"},
    });
}

QString L10n::clearAll() {
    return t({
        {"en", "Clear All"},
        {"ru", "Очистить всё"},
        {"es", "Borrar todo"},
        {"fr", "Tout effacer"},
        {"de", "Alles löschen"},
        {"tr", "Tümünü temizle"},
        {"it", "Cancella tutto"},
        {"pt", "Limpar tudo"},
        {"pl", "Wyczyść wszystko"},
        {"uk", "Очистити все"},
        {"ja", "すべて消去"},
        {"ko", "모두 지우기"},
        {"zh", "全部清除"},
        {"hi", "सब साफ़ करें"},
        {"ar", "مسح الكل"},
    });
}

QString L10n::searchTranscriptions() {
    return t({
        {"en", "Search transcriptions..."},
        {"ru", "Поиск расшифровок..."},
        {"es", "Buscar transcripciones..."},
        {"fr", "Rechercher des transcriptions..."},
        {"de", "Transkriptionen durchsuchen..."},
        {"tr", "Transkripsiyonlarda ara..."},
        {"it", "Cerca trascrizioni..."},
        {"pt", "Pesquisar transcrições..."},
        {"pl", "Szukaj transkrypcji..."},
        {"uk", "Пошук транскрипцій..."},
        {"ja", "文字起こしを検索..."},
        {"ko", "변환 텍스트 검색..."},
        {"zh", "搜索转写..."},
        {"hi", "ट्रांसक्रिप्शन खोजें..."},
        {"ar", "البحث في التفريغات النصية..."},
    });
}

QString L10n::history() {
    return t({
        {"en", "History"},
        {"ru", "История"},
        {"es", "Historial"},
        {"fr", "Historique"},
        {"de", "Verlauf"},
        {"tr", "Geçmiş"},
        {"it", "Cronologia"},
        {"pt", "Histórico"},
        {"pl", "Historia"},
        {"uk", "Історія"},
        {"ja", "履歴"},
        {"ko", "기록"},
        {"zh", "历史记录"},
        {"hi", "इतिहास"},
        {"ar", "السجل"},
    });
}

QString L10n::wordsUsed() {
    return t({
        {"en", "Words Used"},
        {"ru", "Использовано слов"},
        {"es", "Palabras usadas"},
        {"fr", "Mots utilisés"},
        {"de", "Verbrauchte Wörter"},
        {"tr", "Kullanılan kelime"},
        {"it", "Parole usate"},
        {"pt", "Palavras usadas"},
        {"pl", "Wykorzystane słowa"},
        {"uk", "Використано слів"},
        {"ja", "使用した単語数"},
        {"ko", "사용한 단어 수"},
        {"zh", "已用字数"},
        {"hi", "उपयोग किए गए शब्द"},
        {"ar", "الكلمات المستخدمة"},
    });
}

QString L10n::wordsLimit() {
    return t({
        {"en", "Words Limit"},
        {"ru", "Лимит слов"},
        {"es", "Límite de palabras"},
        {"fr", "Limite de mots"},
        {"de", "Wortlimit"},
        {"tr", "Kelime sınırı"},
        {"it", "Limite di parole"},
        {"pt", "Limite de palavras"},
        {"pl", "Limit słów"},
        {"uk", "Ліміт слів"},
        {"ja", "単語数の上限"},
        {"ko", "단어 한도"},
        {"zh", "字数上限"},
        {"hi", "शब्द सीमा"},
        {"ar", "حد الكلمات"},
    });
}

QString L10n::plan() {
    return t({
        {"en", "Plan"},
        {"ru", "Тариф"},
        {"es", "Plan"},
        {"fr", "Forfait"},
        {"de", "Tarif"},
        {"tr", "Plan"},
        {"it", "Piano"},
        {"pt", "Plano"},
        {"pl", "Plan"},
        {"uk", "Тариф"},
        {"ja", "プラン"},
        {"ko", "요금제"},
        {"zh", "套餐"},
        {"hi", "प्लान"},
        {"ar", "الخطة"},
    });
}

QString L10n::stepHold() {
    return t({
        {"en", "Hold"},
        {"ru", "Удерживайте"},
        {"es", "Mantén"},
        {"fr", "Maintenez"},
        {"de", "Halten"},
        {"tr", "Basılı tutun"},
        {"it", "Tieni premuto"},
        {"pt", "Segure"},
        {"pl", "Przytrzymaj"},
        {"uk", "Утримуйте"},
        {"ja", "押し続ける"},
        {"ko", "누르기"},
        {"zh", "按住"},
        {"hi", "दबाए रखें"},
        {"ar", "اضغط مطولًا"},
    });
}

QString L10n::stepSpeak() {
    return t({
        {"en", "Speak"},
        {"ru", "Говорите"},
        {"es", "Habla"},
        {"fr", "Parlez"},
        {"de", "Sprechen"},
        {"tr", "Konuşun"},
        {"it", "Parla"},
        {"pt", "Fale"},
        {"pl", "Mów"},
        {"uk", "Говоріть"},
        {"ja", "話す"},
        {"ko", "말하기"},
        {"zh", "说话"},
        {"hi", "बोलें"},
        {"ar", "تحدّث"},
    });
}

QString L10n::stepSpeakDesc() {
    return t({
        {"en", "Say what you\nwant to type"},
        {"ru", "Скажите то, что\nхотите напечатать"},
        {"es", "Di lo que\nquieres escribir"},
        {"fr", "Dites ce que\nvous voulez écrire"},
        {"de", "Sagen Sie, was Sie\nschreiben möchten"},
        {"tr", "Yazmak istediğinizi\nsöyleyin"},
        {"it", "Di’ ciò che\nvuoi scrivere"},
        {"pt", "Diga o que você\nquer digitar"},
        {"pl", "Powiedz, co chcesz\nnapisać"},
        {"uk", "Скажіть те, що\nхочете надрукувати"},
        {"ja", "入力したい内容を\n話してください"},
        {"ko", "입력하고 싶은 내용을\n말하세요"},
        {"zh", "说出你想要\n输入的内容"},
        {"hi", "जो टाइप करना है\nवह बोलें"},
        {"ar", "قل ما تريد\nكتابته"},
    });
}

QString L10n::stepRelease() {
    return t({
        {"en", "Release"},
        {"ru", "Отпустите"},
        {"es", "Suelta"},
        {"fr", "Relâchez"},
        {"de", "Loslassen"},
        {"tr", "Bırakın"},
        {"it", "Rilascia"},
        {"pt", "Solte"},
        {"pl", "Puść"},
        {"uk", "Відпустіть"},
        {"ja", "離す"},
        {"ko", "놓기"},
        {"zh", "松开"},
        {"hi", "छोड़ें"},
        {"ar", "اترك"},
    });
}

QString L10n::stepReleaseDesc() {
    return t({
        {"en", "Text is typed\nautomatically"},
        {"ru", "Текст напечатается\nавтоматически"},
        {"es", "El texto se escribe\nautomáticamente"},
        {"fr", "Le texte s’écrit\nautomatiquement"},
        {"de", "Der Text wird\nautomatisch getippt"},
        {"tr", "Metin otomatik\nolarak yazılır"},
        {"it", "Il testo viene scritto\nautomaticamente"},
        {"pt", "O texto é digitado\nautomaticamente"},
        {"pl", "Tekst wpisze się\nautomatycznie"},
        {"uk", "Текст надрукується\nавтоматично"},
        {"ja", "テキストが自動で\n入力されます"},
        {"ko", "텍스트가 자동으로\n입력됩니다"},
        {"zh", "文本会自动\n输入"},
        {"hi", "टेक्स्ट अपने-आप\nटाइप हो जाता है"},
        {"ar", "يُكتب النص\nتلقائيًا"},
    });
}

QString L10n::releaseToTranscribe() {
    return t({
        {"en", "Release to transcribe and paste"},
        {"ru", "Отпустите, чтобы расшифровать и вставить"},
        {"es", "Suelta para transcribir y pegar"},
        {"fr", "Relâchez pour transcrire et coller"},
        {"de", "Loslassen zum Transkribieren und Einfügen"},
        {"tr", "Transkripsiyon ve yapıştırma için bırakın"},
        {"it", "Rilascia per trascrivere e incollare"},
        {"pt", "Solte para transcrever e colar"},
        {"pl", "Puść, aby transkrybować i wkleić"},
        {"uk", "Відпустіть, щоб транскрибувати й вставити"},
        {"ja", "離すと文字起こしして貼り付けます"},
        {"ko", "놓으면 변환해서 붙여넣습니다"},
        {"zh", "松开即可转写并粘贴"},
        {"hi", "ट्रांसक्राइब और पेस्ट करने के लिए छोड़ें"},
        {"ar", "اترك للتفريغ النصي واللصق"},
    });
}

QString L10n::welcomeBack() {
    return t({
        {"en", "Welcome back"},
        {"ru", "С возвращением"},
        {"es", "Bienvenido de nuevo"},
        {"fr", "Bon retour"},
        {"de", "Willkommen zurück"},
        {"tr", "Tekrar hoş geldiniz"},
        {"it", "Bentornato"},
        {"pt", "Bem-vindo de volta"},
        {"pl", "Witaj ponownie"},
        {"uk", "З поверненням"},
        {"ja", "おかえりなさい"},
        {"ko", "다시 오신 것을 환영합니다"},
        {"zh", "欢迎回来"},
        {"hi", "फिर से स्वागत है"},
        {"ar", "مرحبًا بعودتك"},
    });
}

QString L10n::voiceAssistantReady() {
    return t({
        {"en", "Your voice assistant is ready"},
        {"ru", "Ваш голосовой помощник готов"},
        {"es", "Tu asistente de voz está listo"},
        {"fr", "Votre assistant vocal est prêt"},
        {"de", "Ihr Sprachassistent ist bereit"},
        {"tr", "Sesli asistanınız hazır"},
        {"it", "Il tuo assistente vocale è pronto"},
        {"pt", "Seu assistente de voz está pronto"},
        {"pl", "Twój asystent głosowy jest gotowy"},
        {"uk", "Ваш голосовий помічник готовий"},
        {"ja", "音声アシスタントの準備ができました"},
        {"ko", "음성 비서가 준비되었습니다"},
        {"zh", "你的语音助手已就绪"},
        {"hi", "आपका वॉइस असिस्टेंट तैयार है"},
        {"ar", "مساعدك الصوتي جاهز"},
    });
}

QString L10n::shortcutPlaceholder() {
    return t({
        {"en", "Shortcut (e.g. //sig)"},
        {"ru", "Сокращение (например, //sig)"},
        {"es", "Abreviatura (p. ej., //sig)"},
        {"fr", "Abréviation (p. ex. //sig)"},
        {"de", "Kürzel (z. B. //sig)"},
        {"tr", "Kısaltma (ör. //sig)"},
        {"it", "Abbreviazione (es. //sig)"},
        {"pt", "Abreviação (ex.: //sig)"},
        {"pl", "Skrót (np. //sig)"},
        {"uk", "Скорочення (наприклад, //sig)"},
        {"ja", "略語（例：//sig）"},
        {"ko", "약어(예: //sig)"},
        {"zh", "缩写（例如 //sig）"},
        {"hi", "शॉर्टकट (जैसे //sig)"},
        {"ar", "اختصار (مثل //sig)"},
    });
}

QString L10n::differentTextForWindows() {
    return t({
        {"en", "Different text for Windows"},
        {"ru", "Другой текст для Windows"},
        {"es", "Texto distinto para Windows"},
        {"fr", "Texte différent pour Windows"},
        {"de", "Anderer Text für Windows"},
        {"tr", "Windows için farklı metin"},
        {"it", "Testo diverso per Windows"},
        {"pt", "Texto diferente para Windows"},
        {"pl", "Inny tekst dla Windows"},
        {"uk", "Інший текст для Windows"},
        {"ja", "Windows 用に別のテキスト"},
        {"ko", "Windows용 다른 텍스트"},
        {"zh", "为 Windows 使用不同文本"},
        {"hi", "Windows के लिए अलग टेक्स्ट"},
        {"ar", "نص مختلف لنظام Windows"},
    });
}

QString L10n::textForWindows() {
    return t({
        {"en", "Text for Windows"},
        {"ru", "Текст для Windows"},
        {"es", "Texto para Windows"},
        {"fr", "Texte pour Windows"},
        {"de", "Text für Windows"},
        {"tr", "Windows için metin"},
        {"it", "Testo per Windows"},
        {"pt", "Texto para Windows"},
        {"pl", "Tekst dla Windows"},
        {"uk", "Текст для Windows"},
        {"ja", "Windows 用テキスト"},
        {"ko", "Windows용 텍스트"},
        {"zh", "Windows 文本"},
        {"hi", "Windows के लिए टेक्स्ट"},
        {"ar", "نص لنظام Windows"},
    });
}

QString L10n::differentTextForWindowsHint() {
    return t({
        {"en", "Same shortcut, different result on each system"},
        {"ru", "Одно сокращение — разный результат в каждой системе"},
        {"es", "La misma abreviatura, un resultado distinto en cada sistema"},
        {"fr", "Même abréviation, résultat différent sur chaque système"},
        {"de", "Gleiches Kürzel, anderes Ergebnis auf jedem System"},
        {"tr", "Aynı kısaltma, her sistemde farklı sonuç"},
        {"it", "Stessa abbreviazione, risultato diverso su ogni sistema"},
        {"pt", "Mesma abreviação, resultado diferente em cada sistema"},
        {"pl", "Ten sam skrót, inny wynik w każdym systemie"},
        {"uk", "Одне скорочення — різний результат у кожній системі"},
        {"ja", "同じ略語でも、システムごとに異なる結果"},
        {"ko", "같은 약어, 시스템마다 다른 결과"},
        {"zh", "同一缩写，在不同系统上得到不同结果"},
        {"hi", "एक ही शॉर्टकट, हर सिस्टम पर अलग परिणाम"},
        {"ar", "الاختصار نفسه، ونتيجة مختلفة على كل نظام"},
    });
}

QString L10n::save() {
    return t({
        {"en", "Save"},
        {"ru", "Сохранить"},
        {"es", "Guardar"},
        {"fr", "Enregistrer"},
        {"de", "Speichern"},
        {"tr", "Kaydet"},
        {"it", "Salva"},
        {"pt", "Salvar"},
        {"pl", "Zapisz"},
        {"uk", "Зберегти"},
        {"ja", "保存"},
        {"ko", "저장"},
        {"zh", "保存"},
        {"hi", "सहेजें"},
        {"ar", "حفظ"},
    });
}

QString L10n::text() {
    return t({
        {"en", "Text"},
        {"ru", "Текст"},
        {"es", "Texto"},
        {"fr", "Texte"},
        {"de", "Text"},
        {"tr", "Metin"},
        {"it", "Testo"},
        {"pt", "Texto"},
        {"pl", "Tekst"},
        {"uk", "Текст"},
        {"ja", "テキスト"},
        {"ko", "텍스트"},
        {"zh", "文本"},
        {"hi", "टेक्स्ट"},
        {"ar", "النص"},
    });
}

QString L10n::textForMac() {
    return t({
        {"en", "Text for Linux"},
        {"ru", "Текст для Linux"},
        {"es", "Texto para Linux"},
        {"fr", "Texte pour Linux"},
        {"de", "Text für Linux"},
        {"tr", "Linux için metin"},
        {"it", "Testo per Linux"},
        {"pt", "Texto para Linux"},
        {"pl", "Tekst dla Linuksa"},
        {"uk", "Текст для Linux"},
        {"ja", "Linux 用テキスト"},
        {"ko", "Linux용 텍스트"},
        {"zh", "Linux 文本"},
        {"hi", "Linux के लिए टेक्स्ट"},
        {"ar", "نص لنظام Linux"},
    });
}

QString L10n::triggerWord() {
    return t({
        {"en", "Trigger word"},
        {"ru", "Кодовое слово"},
        {"es", "Palabra clave"},
        {"fr", "Mot déclencheur"},
        {"de", "Auslösewort"},
        {"tr", "Tetikleyici kelime"},
        {"it", "Parola chiave"},
        {"pt", "Palavra-gatilho"},
        {"pl", "Słowo wyzwalające"},
        {"uk", "Кодове слово"},
        {"ja", "トリガーワード"},
        {"ko", "트리거 단어"},
        {"zh", "触发词"},
        {"hi", "ट्रिगर शब्द"},
        {"ar", "الكلمة المشغِّلة"},
    });
}

QString L10n::replacement() {
    return t({
        {"en", "Replacement"},
        {"ru", "Замена"},
        {"es", "Reemplazo"},
        {"fr", "Remplacement"},
        {"de", "Ersetzung"},
        {"tr", "Yerine geçecek metin"},
        {"it", "Sostituzione"},
        {"pt", "Substituição"},
        {"pl", "Zamiennik"},
        {"uk", "Заміна"},
        {"ja", "置換後"},
        {"ko", "바꿀 내용"},
        {"zh", "替换为"},
        {"hi", "बदला जाने वाला टेक्स्ट"},
        {"ar", "البديل"},
    });
}

QString L10n::editEntry() {
    return t({
        {"en", "Edit Entry"},
        {"ru", "Изменить запись"},
        {"es", "Editar entrada"},
        {"fr", "Modifier l’entrée"},
        {"de", "Eintrag bearbeiten"},
        {"tr", "Girdiyi düzenle"},
        {"it", "Modifica voce"},
        {"pt", "Editar entrada"},
        {"pl", "Edytuj wpis"},
        {"uk", "Змінити запис"},
        {"ja", "項目を編集"},
        {"ko", "항목 편집"},
        {"zh", "编辑条目"},
        {"hi", "प्रविष्टि संपादित करें"},
        {"ar", "تعديل الإدخال"},
    });
}

QString L10n::filesStatusDone() {
    return t({
        {"en", "Done"},
        {"ru", "Готово"},
        {"es", "Listo"},
        {"fr", "Terminé"},
        {"de", "Fertig"},
        {"tr", "Tamamlandı"},
        {"it", "Completato"},
        {"pt", "Concluído"},
        {"pl", "Gotowe"},
        {"uk", "Готово"},
        {"ja", "完了"},
        {"ko", "완료"},
        {"zh", "完成"},
        {"hi", "पूरा हुआ"},
        {"ar", "تم"},
    });
}

QString L10n::filesStatusProcessing() {
    return t({
        {"en", "Processing"},
        {"ru", "Обработка"},
        {"es", "Procesando"},
        {"fr", "Traitement"},
        {"de", "In Bearbeitung"},
        {"tr", "İşleniyor"},
        {"it", "In elaborazione"},
        {"pt", "Processando"},
        {"pl", "Przetwarzanie"},
        {"uk", "Обробка"},
        {"ja", "処理中"},
        {"ko", "처리 중"},
        {"zh", "处理中"},
        {"hi", "प्रोसेस हो रहा है"},
        {"ar", "قيد المعالجة"},
    });
}

QString L10n::filesStatusQueued() {
    return t({
        {"en", "Queued..."},
        {"ru", "В очереди..."},
        {"es", "En cola..."},
        {"fr", "En attente..."},
        {"de", "In Warteschlange..."},
        {"tr", "Sırada..."},
        {"it", "In coda..."},
        {"pt", "Na fila..."},
        {"pl", "W kolejce..."},
        {"uk", "У черзі..."},
        {"ja", "待機中..."},
        {"ko", "대기 중..."},
        {"zh", "排队中..."},
        {"hi", "कतार में..."},
        {"ar", "في قائمة الانتظار..."},
    });
}

QString L10n::retry() {
    return t({
        {"en", "Retry"},
        {"ru", "Повторить"},
        {"es", "Reintentar"},
        {"fr", "Réessayer"},
        {"de", "Wiederholen"},
        {"tr", "Yeniden dene"},
        {"it", "Riprova"},
        {"pt", "Tentar de novo"},
        {"pl", "Ponów"},
        {"uk", "Повторити"},
        {"ja", "再試行"},
        {"ko", "다시 시도"},
        {"zh", "重试"},
        {"hi", "फिर से कोशिश करें"},
        {"ar", "إعادة المحاولة"},
    });
}

QString L10n::failedTranscription() {
    return t({
        {"en", "Failed transcription"},
        {"ru", "Неудачная расшифровка"},
        {"es", "Transcripción fallida"},
        {"fr", "Transcription échouée"},
        {"de", "Fehlgeschlagene Transkription"},
        {"tr", "Başarısız transkripsiyon"},
        {"it", "Trascrizione non riuscita"},
        {"pt", "Transcrição com falha"},
        {"pl", "Nieudana transkrypcja"},
        {"uk", "Невдала транскрипція"},
        {"ja", "失敗した文字起こし"},
        {"ko", "실패한 변환"},
        {"zh", "转写失败"},
        {"hi", "विफल ट्रांसक्रिप्शन"},
        {"ar", "تفريغ نصي فاشل"},
    });
}

QString L10n::sidebarMain() {
    return t({
        {"en", "MAIN"},
        {"ru", "ГЛАВНОЕ"},
        {"es", "PRINCIPAL"},
        {"fr", "PRINCIPAL"},
        {"de", "HAUPTBEREICH"},
        {"tr", "ANA"},
        {"it", "PRINCIPALE"},
        {"pt", "PRINCIPAL"},
        {"pl", "GŁÓWNE"},
        {"uk", "ГОЛОВНЕ"},
        {"ja", "メイン"},
        {"ko", "메인"},
        {"zh", "主要"},
        {"hi", "मुख्य"},
        {"ar", "الأساسية"},
    });
}

QString L10n::sidebarSettings() {
    return t({
        {"en", "SETTINGS"},
        {"ru", "НАСТРОЙКИ"},
        {"es", "AJUSTES"},
        {"fr", "PARAMÈTRES"},
        {"de", "EINSTELLUNGEN"},
        {"tr", "AYARLAR"},
        {"it", "IMPOSTAZIONI"},
        {"pt", "CONFIGURAÇÕES"},
        {"pl", "USTAWIENIA"},
        {"uk", "НАЛАШТУВАННЯ"},
        {"ja", "設定"},
        {"ko", "설정"},
        {"zh", "设置"},
        {"hi", "सेटिंग्स"},
        {"ar", "الإعدادات"},
    });
}

QString L10n::account() {
    return t({
        {"en", "Account"},
        {"ru", "Аккаунт"},
        {"es", "Cuenta"},
        {"fr", "Compte"},
        {"de", "Konto"},
        {"tr", "Hesap"},
        {"it", "Account"},
        {"pt", "Conta"},
        {"pl", "Konto"},
        {"uk", "Акаунт"},
        {"ja", "アカウント"},
        {"ko", "계정"},
        {"zh", "账户"},
        {"hi", "खाता"},
        {"ar", "الحساب"},
    });
}

QString L10n::home() {
    return t({
        {"en", "Home"},
        {"ru", "Главная"},
        {"es", "Inicio"},
        {"fr", "Accueil"},
        {"de", "Start"},
        {"tr", "Ana sayfa"},
        {"it", "Home"},
        {"pt", "Início"},
        {"pl", "Start"},
        {"uk", "Головна"},
        {"ja", "ホーム"},
        {"ko", "홈"},
        {"zh", "首页"},
        {"hi", "होम"},
        {"ar", "الرئيسية"},
    });
}

QString L10n::onboardingSkip() {
    return t({
        {"en", "Skip"},
        {"ru", "Пропустить"},
        {"es", "Omitir"},
        {"fr", "Passer"},
        {"de", "Überspringen"},
        {"tr", "Atla"},
        {"it", "Salta"},
        {"pt", "Pular"},
        {"pl", "Pomiń"},
        {"uk", "Пропустити"},
        {"ja", "スキップ"},
        {"ko", "건너뛰기"},
        {"zh", "跳过"},
        {"hi", "स्किप करें"},
        {"ar", "تخطٍّ"},
    });
}

QString L10n::onboardingNext() {
    return t({
        {"en", "Next"},
        {"ru", "Далее"},
        {"es", "Siguiente"},
        {"fr", "Suivant"},
        {"de", "Weiter"},
        {"tr", "İleri"},
        {"it", "Avanti"},
        {"pt", "Avançar"},
        {"pl", "Dalej"},
        {"uk", "Далі"},
        {"ja", "次へ"},
        {"ko", "다음"},
        {"zh", "下一步"},
        {"hi", "आगे"},
        {"ar", "التالي"},
    });
}

QString L10n::onboardingStart() {
    return t({
        {"en", "Get started"},
        {"ru", "Начать"},
        {"es", "Empezar"},
        {"fr", "Commencer"},
        {"de", "Los geht’s"},
        {"tr", "Başla"},
        {"it", "Inizia"},
        {"pt", "Começar"},
        {"pl", "Zaczynamy"},
        {"uk", "Почати"},
        {"ja", "はじめる"},
        {"ko", "시작하기"},
        {"zh", "开始使用"},
        {"hi", "शुरू करें"},
        {"ar", "لنبدأ"},
    });
}

QString L10n::onboardingModeTitle() {
    return t({
        {"en", "How recording starts"},
        {"ru", "Как начинается запись"},
        {"es", "Cómo empieza la grabación"},
        {"fr", "Comment l’enregistrement démarre"},
        {"de", "Wie die Aufnahme startet"},
        {"tr", "Kayıt nasıl başlar"},
        {"it", "Come si avvia la registrazione"},
        {"pt", "Como a gravação começa"},
        {"pl", "Jak zaczyna się nagrywanie"},
        {"uk", "Як починається запис"},
        {"ja", "録音の開始方法"},
        {"ko", "녹음 시작 방법"},
        {"zh", "如何开始录音"},
        {"hi", "रिकॉर्डिंग कैसे शुरू होती है"},
        {"ar", "كيف يبدأ التسجيل"},
    });
}

QString L10n::onboardingModeSubtitle() {
    return t({
        {"en", "Choose what feels natural. You can change this any time in Settings."},
        {"ru", "Выберите, что вам удобнее. Это можно изменить в любой момент в настройках."},
        {"es", "Elige lo que te resulte natural. Puedes cambiarlo cuando quieras en Ajustes."},
        {"fr",
         "Choisissez ce qui vous semble naturel. Vous pourrez le changer à tout moment dans les "
         "Paramètres."},
        {"de",
         "Wählen Sie, was sich natürlich anfühlt. Sie können es jederzeit in den Einstellungen "
         "ändern."},
        {"tr", "Size doğal geleni seçin. Bunu istediğiniz zaman Ayarlar'dan değiştirebilirsiniz."},
        {"it",
         "Scegli ciò che ti viene naturale. Puoi cambiarlo in qualsiasi momento nelle "
         "Impostazioni."},
        {"pt",
         "Escolha o que for mais natural. Você pode mudar isso a qualquer momento nas "
         "Configurações."},
        {"pl",
         "Wybierz to, co wydaje Ci się naturalne. Możesz to zmienić w każdej chwili w "
         "Ustawieniach."},
        {"uk", "Виберіть, що вам зручніше. Це можна будь-коли змінити в налаштуваннях."},
        {"ja", "しっくりくる方を選んでください。設定でいつでも変更できます。"},
        {"ko", "자연스러운 방식을 고르세요. 설정에서 언제든지 바꿀 수 있습니다."},
        {"zh", "选择你觉得自然的方式。之后随时可以在设置中更改。"},
        {"hi", "जो स्वाभाविक लगे वह चुनें। आप इसे कभी भी सेटिंग्स में बदल सकते हैं।"},
        {"ar", "اختر ما تراه طبيعيًا. يمكنك تغيير ذلك في أي وقت من الإعدادات."},
    });
}

QString L10n::onboardingMicTitle() {
    return t({
        {"en", "Check the microphone"},
        {"ru", "Проверьте микрофон"},
        {"es", "Comprueba el micrófono"},
        {"fr", "Vérifiez le micro"},
        {"de", "Mikrofon prüfen"},
        {"tr", "Mikrofonu kontrol edin"},
        {"it", "Controlla il microfono"},
        {"pt", "Verifique o microfone"},
        {"pl", "Sprawdź mikrofon"},
        {"uk", "Перевірте мікрофон"},
        {"ja", "マイクを確認"},
        {"ko", "마이크 확인"},
        {"zh", "检查麦克风"},
        {"hi", "माइक्रोफ़ोन जाँचें"},
        {"ar", "تحقق من الميكروفون"},
    });
}

QString L10n::onboardingMicSubtitle() {
    return t({
        {"en",
         "Say something — the bar below should react. If it stays flat, the wrong input device is "
         "selected or access is not granted."},
        {"ru",
         "Скажите что-нибудь — полоска ниже должна реагировать. Если она неподвижна, выбрано не то "
         "устройство ввода или не выдан доступ."},
        {"es",
         "Di algo: la barra de abajo debería reaccionar. Si se queda plana, está seleccionado el "
         "dispositivo de entrada equivocado o no se ha concedido el acceso."},
        {"fr",
         "Dites quelque chose — la barre ci-dessous doit réagir. Si elle reste plate, le mauvais "
         "périphérique d’entrée est sélectionné ou l’accès n’est pas accordé."},
        {"de",
         "Sagen Sie etwas – der Balken unten sollte reagieren. Bleibt er flach, ist das falsche "
         "Eingabegerät ausgewählt oder der Zugriff nicht erteilt."},
        {"tr",
         "Bir şey söyleyin — aşağıdaki çubuk tepki vermeli. Düz kalırsa yanlış giriş aygıtı "
         "seçilmiştir ya da erişim izni verilmemiştir."},
        {"it",
         "Di’ qualcosa: la barra qui sotto dovrebbe reagire. Se resta piatta, è selezionato il "
         "dispositivo di ingresso sbagliato o l’accesso non è stato concesso."},
        {"pt",
         "Diga algo — a barra abaixo deve reagir. Se ela ficar parada, o dispositivo de entrada "
         "errado está selecionado ou o acesso não foi concedido."},
        {"pl",
         "Powiedz coś — pasek poniżej powinien zareagować. Jeśli pozostaje płaski, wybrano "
         "niewłaściwe urządzenie wejściowe lub nie przyznano dostępu."},
        {"uk",
         "Скажіть щось — смужка нижче має реагувати. Якщо вона нерухома, вибрано не той пристрій "
         "введення або не надано доступ."},
        {"ja",
         "何か話してください — "
         "下のバーが反応するはずです。動かない場合は、入力デバイスの選択が間違っているか、アクセス"
         "が許可されていません。"},
        {"ko",
         "무언가 말해 보세요 — 아래 막대가 반응해야 합니다. 움직이지 않으면 잘못된 입력 장치가 "
         "선택되었거나 접근 권한이 없는 것입니다."},
        {"zh",
         "说点什么 — 下方的条应当有反应。如果它一直不动，说明选错了输入设备或未授予访问权限。"},
        {"hi",
         "कुछ बोलें — नीचे की पट्टी को प्रतिक्रिया देनी चाहिए। अगर वह सपाट रहती है, तो गलत इनपुट डिवाइस चुना "
         "गया है या एक्सेस नहीं दिया गया है।"},
        {"ar",
         "قل شيئًا — يجب أن يتفاعل الشريط أدناه. إذا بقي ثابتًا، فجهاز الإدخال المحدد خاطئ أو لم "
         "يُمنح الإذن."},
    });
}

QString L10n::onboardingMicWaiting() {
    return t({
        {"en", "Waiting for sound..."},
        {"ru", "Ждём звук..."},
        {"es", "Esperando sonido..."},
        {"fr", "En attente de son..."},
        {"de", "Warten auf Ton..."},
        {"tr", "Ses bekleniyor..."},
        {"it", "In attesa di suono..."},
        {"pt", "Aguardando som..."},
        {"pl", "Czekam na dźwięk..."},
        {"uk", "Чекаємо на звук..."},
        {"ja", "音声を待っています..."},
        {"ko", "소리를 기다리는 중..."},
        {"zh", "正在等待声音..."},
        {"hi", "ध्वनि की प्रतीक्षा..."},
        {"ar", "في انتظار الصوت..."},
    });
}

QString L10n::onboardingMicOpenSettings() {
    return t({
        {"en", "Open system settings"},
        {"ru", "Открыть системные настройки"},
        {"es", "Abrir los ajustes del sistema"},
        {"fr", "Ouvrir les paramètres du système"},
        {"de", "Systemeinstellungen öffnen"},
        {"tr", "Sistem ayarlarını aç"},
        {"it", "Apri le impostazioni di sistema"},
        {"pt", "Abrir as configurações do sistema"},
        {"pl", "Otwórz ustawienia systemu"},
        {"uk", "Відкрити системні налаштування"},
        {"ja", "システム設定を開く"},
        {"ko", "시스템 설정 열기"},
        {"zh", "打开系统设置"},
        {"hi", "सिस्टम सेटिंग्स खोलें"},
        {"ar", "فتح إعدادات النظام"},
    });
}

QString L10n::onboardingMicOk() {
    return t({
        {"en", "Microphone works"},
        {"ru", "Микрофон работает"},
        {"es", "El micrófono funciona"},
        {"fr", "Le micro fonctionne"},
        {"de", "Mikrofon funktioniert"},
        {"tr", "Mikrofon çalışıyor"},
        {"it", "Il microfono funziona"},
        {"pt", "O microfone funciona"},
        {"pl", "Mikrofon działa"},
        {"uk", "Мікрофон працює"},
        {"ja", "マイクは正常です"},
        {"ko", "마이크가 작동합니다"},
        {"zh", "麦克风工作正常"},
        {"hi", "माइक्रोफ़ोन काम कर रहा है"},
        {"ar", "الميكروفون يعمل"},
    });
}

QString L10n::onboardingMicDenied() {
    return t({
        {"en", "Microphone access is not granted — without it dictation returns empty text."},
        {"ru", "Доступ к микрофону не выдан — без него диктовка возвращает пустой текст."},
        {"es", "No se ha concedido acceso al micrófono: sin él, el dictado devuelve texto vacío."},
        {"fr", "L’accès au micro n’est pas accordé — sans lui, la dictée renvoie un texte vide."},
        {"de", "Der Mikrofonzugriff ist nicht erteilt – ohne ihn liefert das Diktat leeren Text."},
        {"tr", "Mikrofon erişimi verilmedi — izin olmadan dikte boş metin döndürür."},
        {"it",
         "L’accesso al microfono non è concesso: senza di esso la dettatura restituisce testo "
         "vuoto."},
        {"pt", "O acesso ao microfone não foi concedido — sem ele, o ditado retorna texto vazio."},
        {"pl", "Nie przyznano dostępu do mikrofonu — bez niego dyktowanie zwraca pusty tekst."},
        {"uk", "Доступ до мікрофона не надано — без нього диктування повертає порожній текст."},
        {"ja",
         "マイクへのアクセスが許可されていません — 許可がないと音声入力は空のテキストを返します。"},
        {"ko", "마이크 접근 권한이 없습니다 — 권한이 없으면 받아쓰기 결과가 빈 텍스트가 됩니다."},
        {"zh", "未授予麦克风访问权限 — 没有它，听写将返回空文本。"},
        {"hi", "माइक्रोफ़ोन एक्सेस नहीं दिया गया है — इसके बिना डिक्टेशन खाली टेक्स्ट लौटाता है।"},
        {"ar", "لم يُمنح إذن الوصول إلى الميكروفون — بدونه يُرجع الإملاء نصًا فارغًا."},
    });
}

QString L10n::onboardingWhereTitle() {
    return t({
        {"en", "Where the app lives"},
        {"ru", "Где живёт приложение"},
        {"es", "Dónde vive la aplicación"},
        {"fr", "Où se trouve l’application"},
        {"de", "Wo die App zu finden ist"},
        {"tr", "Uygulama nerede"},
        {"it", "Dove si trova l’app"},
        {"pt", "Onde o aplicativo fica"},
        {"pl", "Gdzie jest aplikacja"},
        {"uk", "Де живе застосунок"},
        {"ja", "アプリの居場所"},
        {"ko", "앱의 위치"},
        {"zh", "应用在哪里"},
        {"hi", "ऐप कहाँ रहता है"},
        {"ar", "أين يوجد التطبيق"},
    });
}

QString L10n::onboardingWhereSubtitle() {
    return t({
        {"en",
         "Ormil has no taskbar icon on purpose: it sits in the system tray and is always at hand."},
        {"ru",
         "У Ormil намеренно нет значка на панели задач: он живёт в системном трее и всегда под "
         "рукой."},
        {"es",
         "Ormil no tiene icono en la barra de tareas a propósito: está en la bandeja del sistema y "
         "siempre a mano."},
        {"fr",
         "Ormil n’a volontairement pas d’icône dans la barre des tâches : il se trouve dans la "
         "zone de notification, toujours à portée de main."},
        {"de",
         "Ormil hat absichtlich kein Symbol in der Taskleiste: Es sitzt im Infobereich und ist "
         "immer griffbereit."},
        {"tr",
         "Ormil'in görev çubuğunda bilerek simgesi yoktur: sistem tepsisinde durur ve her zaman "
         "elinizin altındadır."},
        {"it",
         "Ormil non ha di proposito un’icona nella barra delle applicazioni: sta nell’area di "
         "notifica ed è sempre a portata di mano."},
        {"pt",
         "O Ormil não tem ícone na barra de tarefas de propósito: ele fica na bandeja do sistema, "
         "sempre à mão."},
        {"pl",
         "Ormil celowo nie ma ikony na pasku zadań: siedzi w zasobniku systemowym i jest zawsze "
         "pod ręką."},
        {"uk",
         "Ormil навмисно не має значка на панелі завдань: він живе в системному лотку й завжди під "
         "рукою."},
        {"ja",
         "Ormil "
         "はあえてタスクバーにアイコンを置いていません。システムトレイに常駐し、いつでもすぐに使え"
         "ます。"},
        {"ko",
         "Ormil은 일부러 작업 표시줄 아이콘이 없습니다. 시스템 트레이에 있어 언제든 바로 쓸 수 "
         "있습니다."},
        {"zh", "Ormil 特意不在任务栏显示图标：它驻留在系统托盘中，随时可用。"},
        {"hi",
         "Ormil का टास्कबार में जानबूझकर कोई आइकन नहीं है: यह सिस्टम ट्रे में रहता है और हमेशा पास ही रहता है।"},
        {"ar",
         "ليس لـ Ormil أيقونة في شريط المهام عن قصد: فهو يقيم في علبة النظام ودائمًا في متناول "
         "يدك."},
    });
}

QString L10n::onboardingWhereHint() {
    return t({
        {"en",
         "Look for the «Z7» badge in the system tray, usually next to the clock. Click it to open "
         "this window again."},
        {"ru",
         "Ищите значок «Z7» в системном трее, обычно рядом с часами. Нажмите на него, чтобы снова "
         "открыть это окно."},
        {"es",
         "Busca la insignia «Z7» en la bandeja del sistema, normalmente junto al reloj. Haz clic "
         "en ella para volver a abrir esta ventana."},
        {"fr",
         "Cherchez le badge «Z7» dans la zone de notification, en général près de l’horloge. "
         "Cliquez dessus pour rouvrir cette fenêtre."},
        {"de",
         "Suchen Sie das «Z7»-Symbol im Infobereich, meist neben der Uhr. Klicken Sie darauf, um "
         "dieses Fenster wieder zu öffnen."},
        {"tr",
         "«Z7» rozetini sistem tepsisinde, genellikle saatin yanında arayın. Bu pencereyi yeniden "
         "açmak için ona tıklayın."},
        {"it",
         "Cerca il badge «Z7» nell’area di notifica, di solito accanto all’orologio. Fai clic per "
         "riaprire questa finestra."},
        {"pt",
         "Procure o selo «Z7» na bandeja do sistema, geralmente ao lado do relógio. Clique nele "
         "para abrir esta janela de novo."},
        {"pl",
         "Poszukaj znaczka «Z7» w zasobniku systemowym, zwykle obok zegara. Kliknij go, aby "
         "ponownie otworzyć to okno."},
        {"uk",
         "Шукайте значок «Z7» у системному лотку, зазвичай поруч із годинником. Натисніть на "
         "нього, щоб знову відкрити це вікно."},
        {"ja",
         "システムトレイ（通常は時計の隣）にある «Z7» "
         "バッジを探してください。クリックするとこのウィンドウがもう一度開きます。"},
        {"ko",
         "시스템 트레이에서, 보통 시계 옆에 있는 «Z7» 배지를 찾으세요. 클릭하면 이 창이 다시 "
         "열립니다."},
        {"zh", "在系统托盘中（通常在时钟旁边）找到 «Z7» 标记。点击它即可再次打开此窗口。"},
        {"hi",
         "सिस्टम ट्रे में, आमतौर पर घड़ी के पास, «Z7» बैज देखें। इस विंडो को फिर से खोलने के लिए उस पर क्लिक करें।"},
        {"ar",
         "ابحث عن شارة «Z7» في علبة النظام، عادةً بجوار الساعة. انقر عليها لفتح هذه النافذة مرة "
         "أخرى."},
    });
}

QString L10n::overlayDragHint() {
    return t({
        {"en", "Drag to move. Right-click to choose screen edge"},
        {"ru", "Перетащите, чтобы переместить. Правый клик — выбор края экрана"},
        {"es", "Arrastra para mover. Clic derecho para elegir el borde de la pantalla"},
        {"fr", "Faites glisser pour déplacer. Clic droit pour choisir le bord de l’écran"},
        {"de", "Zum Verschieben ziehen. Rechtsklick, um den Bildschirmrand zu wählen"},
        {"tr", "Taşımak için sürükleyin. Ekran kenarını seçmek için sağ tıklayın"},
        {"it", "Trascina per spostare. Clic destro per scegliere il bordo dello schermo"},
        {"pt", "Arraste para mover. Clique com o botão direito para escolher a borda da tela"},
        {"pl", "Przeciągnij, aby przesunąć. Kliknij prawym przyciskiem, aby wybrać krawędź ekranu"},
        {"uk", "Перетягніть, щоб перемістити. Правий клік — вибір краю екрана"},
        {"ja", "ドラッグで移動。右クリックで画面の端を選択"},
        {"ko", "드래그해서 이동. 오른쪽 클릭으로 화면 가장자리 선택"},
        {"zh", "拖动以移动。右键单击以选择屏幕边缘"},
        {"hi", "खिसकाने के लिए खींचें। स्क्रीन का किनारा चुनने के लिए राइट-क्लिक करें"},
        {"ar", "اسحب للتحريك. انقر بزر الفأرة الأيمن لاختيار حافة الشاشة"},
    });
}

QString L10n::overlayPostProcessing() {
    return t({
        {"en", "Processing text…"},
        {"ru", "Обработка текста…"},
        {"es", "Procesando el texto…"},
        {"fr", "Traitement du texte…"},
        {"de", "Text wird verarbeitet…"},
        {"tr", "Metin işleniyor…"},
        {"it", "Elaborazione del testo…"},
        {"pt", "Processando o texto…"},
        {"pl", "Przetwarzanie tekstu…"},
        {"uk", "Обробка тексту…"},
        {"ja", "テキストを処理中…"},
        {"ko", "텍스트 처리 중…"},
        {"zh", "正在处理文本…"},
        {"hi", "टेक्स्ट प्रोसेस हो रहा है…"},
        {"ar", "جارٍ معالجة النص…"},
    });
}

QString L10n::overlayDockRight() {
    return t({
        {"en", "Along right edge"},
        {"ru", "Вдоль правого края"},
        {"es", "En el borde derecho"},
        {"fr", "Le long du bord droit"},
        {"de", "Am rechten Rand"},
        {"tr", "Sağ kenar boyunca"},
        {"it", "Lungo il bordo destro"},
        {"pt", "Na borda direita"},
        {"pl", "Wzdłuż prawej krawędzi"},
        {"uk", "Уздовж правого краю"},
        {"ja", "右端に沿って"},
        {"ko", "오른쪽 가장자리를 따라"},
        {"zh", "沿右边缘"},
        {"hi", "दाएँ किनारे के साथ"},
        {"ar", "على طول الحافة اليمنى"},
    });
}

QString L10n::overlayDockLeft() {
    return t({
        {"en", "Along left edge"},
        {"ru", "Вдоль левого края"},
        {"es", "En el borde izquierdo"},
        {"fr", "Le long du bord gauche"},
        {"de", "Am linken Rand"},
        {"tr", "Sol kenar boyunca"},
        {"it", "Lungo il bordo sinistro"},
        {"pt", "Na borda esquerda"},
        {"pl", "Wzdłuż lewej krawędzi"},
        {"uk", "Уздовж лівого краю"},
        {"ja", "左端に沿って"},
        {"ko", "왼쪽 가장자리를 따라"},
        {"zh", "沿左边缘"},
        {"hi", "बाएँ किनारे के साथ"},
        {"ar", "على طول الحافة اليسرى"},
    });
}

QString L10n::overlayDockTop() {
    return t({
        {"en", "Along top edge"},
        {"ru", "Вдоль верхнего края"},
        {"es", "En el borde superior"},
        {"fr", "Le long du bord supérieur"},
        {"de", "Am oberen Rand"},
        {"tr", "Üst kenar boyunca"},
        {"it", "Lungo il bordo superiore"},
        {"pt", "Na borda superior"},
        {"pl", "Wzdłuż górnej krawędzi"},
        {"uk", "Уздовж верхнього краю"},
        {"ja", "上端に沿って"},
        {"ko", "위쪽 가장자리를 따라"},
        {"zh", "沿上边缘"},
        {"hi", "ऊपरी किनारे के साथ"},
        {"ar", "على طول الحافة العلوية"},
    });
}

QString L10n::overlayDockBottom() {
    return t({
        {"en", "Along bottom edge"},
        {"ru", "Вдоль нижнего края"},
        {"es", "En el borde inferior"},
        {"fr", "Le long du bord inférieur"},
        {"de", "Am unteren Rand"},
        {"tr", "Alt kenar boyunca"},
        {"it", "Lungo il bordo inferiore"},
        {"pt", "Na borda inferior"},
        {"pl", "Wzdłuż dolnej krawędzi"},
        {"uk", "Уздовж нижнього краю"},
        {"ja", "下端に沿って"},
        {"ko", "아래쪽 가장자리를 따라"},
        {"zh", "沿下边缘"},
        {"hi", "निचले किनारे के साथ"},
        {"ar", "على طول الحافة السفلية"},
    });
}

QString L10n::promptEditorPromptPlaceholderCustom() {
    return t({
        {"en",
         "Prompt for processing the source text. For example: \"Translate to English, keep terms\" "
         "or a detailed multi-paragraph instruction — whatever works for you."},
        {"ru",
         "Промпт для обработки исходного текста. Например: \"Переведи на английский, сохрани "
         "термины\" или подробная инструкция на несколько абзацев — как вам удобнее."},
        {"es",
         "Prompt para procesar el texto original. Por ejemplo: \"Traduce al inglés, conserva los "
         "términos\" o una instrucción detallada de varios párrafos, lo que te funcione."},
        {"fr",
         "Prompt de traitement du texte source. Par exemple : \"Traduis en anglais, garde les "
         "termes\" ou une instruction détaillée en plusieurs paragraphes — ce qui vous convient."},
        {"de",
         "Prompt zur Verarbeitung des Ausgangstexts. Zum Beispiel: \"Ins Englische übersetzen, "
         "Fachbegriffe beibehalten\" oder eine ausführliche Anweisung über mehrere Absätze – was "
         "für Sie passt."},
        {"tr",
         "Kaynak metni işlemek için istem. Örneğin: \"İngilizceye çevir, terimleri koru\" ya da "
         "birkaç paragraflık ayrıntılı bir talimat — size hangisi uyarsa."},
    });
}

QString L10n::promptEditorDeleteTab() {
    return t({
        {"en", "Delete"},
        {"ru", "Удалить"},
        {"es", "Eliminar"},
        {"fr", "Supprimer"},
        {"de", "Löschen"},
        {"tr", "Sil"},
    });
}

QString L10n::promptEditorRestoreDefault() {
    return t({
        {"en", "Restore default"},
        {"ru", "Вернуть по умолчанию"},
        {"es", "Restablecer original"},
        {"fr", "Rétablir l’original"},
        {"de", "Standard wiederherstellen"},
        {"tr", "Varsayılana döndür"},
    });
}

QString L10n::promptEditorPromptPlaceholderBuiltin() {
    return t({
        {"en", "Prompt text — can be edited in full, up to a complete replacement."},
        {"ru", "Текст промпта — можно править целиком, вплоть до полной замены."},
        {"es", "Texto del prompt: se puede editar por completo, hasta sustituirlo entero."},
        {"fr", "Texte du prompt — modifiable entièrement, jusqu’à un remplacement complet."},
        {"de", "Prompt-Text – vollständig bearbeitbar, bis hin zum kompletten Ersetzen."},
        {"tr", "İstem metni — tamamen değiştirmeye kadar baştan sona düzenlenebilir."},
    });
}

QString L10n::promptEditorTranslating() {
    return t({
        {"en", "Translating…"},
        {"ru", "Перевод…"},
        {"es", "Traduciendo…"},
        {"fr", "Traduction…"},
        {"de", "Wird übersetzt…"},
        {"tr", "Çevriliyor…"},
    });
}

QString L10n::promptEditorTranslateFailed() {
    return t({
        {"en", "Couldn't translate — showing the English original."},
        {"ru", "Не удалось перевести — показан английский оригинал."},
        {"es", "No se pudo traducir: se muestra el original en inglés."},
        {"fr", "Traduction impossible — affichage de l’original anglais."},
        {"de", "Übersetzung fehlgeschlagen – das englische Original wird angezeigt."},
        {"tr", "Çevrilemedi — İngilizce orijinal gösteriliyor."},
    });
}

QString L10n::promptEditorTranslatedAutoHint() {
    return t({
        {"en", "Translated automatically — will be translated back to English on save."},
        {"ru", "Переведено автоматически — при сохранении будет переведено обратно на английский."},
        {"es", "Traducido automáticamente: al guardar se volverá a traducir al inglés."},
        {"fr", "Traduit automatiquement — sera retraduit en anglais à l’enregistrement."},
        {"de", "Automatisch übersetzt – wird beim Speichern ins Englische zurückübersetzt."},
        {"tr", "Otomatik çevrildi — kaydederken yeniden İngilizceye çevrilecek."},
    });
}

QString L10n::promptEditorShowOriginal() {
    return t({
        {"en", "Show original (EN)"},
        {"ru", "Показать оригинал (EN)"},
        {"es", "Mostrar original (EN)"},
        {"fr", "Afficher l’original (EN)"},
        {"de", "Original anzeigen (EN)"},
        {"tr", "Orijinali göster (EN)"},
    });
}

QString L10n::promptEditorNamePlaceholder() {
    return t({
        {"en", "Style name"},
        {"ru", "Название стиля"},
        {"es", "Nombre del estilo"},
        {"fr", "Nom du style"},
        {"de", "Name des Stils"},
        {"tr", "Stil adı"},
    });
}

QString L10n::promptEditorShowTranslation() {
    return t({
        {"en", "Show translation"},
        {"ru", "Показать перевод"},
        {"es", "Mostrar traducción"},
        {"fr", "Afficher la traduction"},
        {"de", "Übersetzung anzeigen"},
        {"tr", "Çeviriyi göster"},
    });
}

QString L10n::promptEditorCancel() {
    return t({
        {"en", "Cancel"},
        {"ru", "Отмена"},
        {"es", "Cancelar"},
        {"fr", "Annuler"},
        {"de", "Abbrechen"},
        {"tr", "İptal"},
    });
}

QString L10n::promptEditorSave() {
    return t({
        {"en", "Save"},
        {"ru", "Сохранить"},
        {"es", "Guardar"},
        {"fr", "Enregistrer"},
        {"de", "Speichern"},
        {"tr", "Kaydet"},
    });
}

QString L10n::promptEditorSameLanguage() {
    return t({
        {"en", "Same language as source"},
        {"ru", "На языке оригинала"},
        {"es", "Mismo idioma que el original"},
        {"fr", "Même langue que la source"},
        {"de", "Gleiche Sprache wie das Original"},
        {"tr", "Kaynakla aynı dil"},
    });
}

QString L10n::promptEditorSameLanguageHint() {
    return t({
        {"en", "The result must stay in the language of the dictated text"},
        {"ru", "Результат должен остаться на языке продиктованного текста"},
        {"es", "El resultado debe quedar en el idioma del texto dictado"},
        {"fr", "Le résultat doit rester dans la langue du texte dicté"},
        {"de", "Das Ergebnis muss in der Sprache des diktierten Texts bleiben"},
        {"tr", "Sonuç, dikte edilen metnin dilinde kalmalı"},
    });
}

QString L10n::promptEditorDontChangeMeaning() {
    return t({
        {"en", "Don't change the meaning"},
        {"ru", "Не менять смысл"},
        {"es", "No cambiar el sentido"},
        {"fr", "Ne pas changer le sens"},
        {"de", "Bedeutung nicht ändern"},
        {"tr", "Anlamı değiştirme"},
    });
}

QString L10n::promptEditorDontChangeMeaningHint() {
    return t({
        {"en", "Style and wording may change, but not the meaning"},
        {"ru", "Стиль и формулировки могут меняться, но не смысл"},
        {"es", "El estilo y la redacción pueden cambiar, pero no el sentido"},
        {"fr", "Le style et la formulation peuvent changer, mais pas le sens"},
        {"de", "Stil und Formulierung dürfen sich ändern, die Bedeutung nicht"},
        {"tr", "Stil ve ifadeler değişebilir, ama anlam değişmez"},
    });
}

QString L10n::promptEditorTitleNewStyle() {
    return t({
        {"en", "New Style"},
        {"ru", "Новый стиль"},
        {"es", "Nuevo estilo"},
        {"fr", "Nouveau style"},
        {"de", "Neuer Stil"},
        {"tr", "Yeni stil"},
    });
}

QString L10n::promptEditorPromptForStyle() {
    return t({
        {"en", "Prompt for style: "},
        {"ru", "Промпт для стиля: "},
        {"es", "Prompt del estilo: "},
        {"fr", "Prompt du style : "},
        {"de", "Prompt für den Stil: "},
        {"tr", "Stil için istem: "},
    });
}

QString L10n::promptEditorShowHiddenPrefix() {
    return t({
        {"en", "Show: "},
        {"ru", "Показать: "},
        {"es", "Mostrar: "},
        {"fr", "Afficher : "},
        {"de", "Anzeigen: "},
        {"tr", "Göster: "},
    });
}

QString L10n::promptEditorEditHint() {
    return t({
        {"en", "Edit…"},
        {"ru", "Изменить…"},
        {"es", "Editar…"},
        {"fr", "Modifier…"},
        {"de", "Bearbeiten…"},
        {"tr", "Düzenle…"},
    });
}

QString L10n::promptEditorHideFromList() {
    return t({
        {"en", "Hide from list"},
        {"ru", "Скрыть из списка"},
        {"es", "Ocultar de la lista"},
        {"fr", "Masquer de la liste"},
        {"de", "Aus der Liste ausblenden"},
        {"tr", "Listeden gizle"},
    });
}

QString L10n::promptEditorEditModifiedHint() {
    return t({
        {"en", "Edit… (modified)"},
        {"ru", "Изменить… (изменён)"},
        {"es", "Editar… (modificado)"},
        {"fr", "Modifier… (modifié)"},
        {"de", "Bearbeiten… (geändert)"},
        {"tr", "Düzenle… (değiştirildi)"},
    });
}

QString L10n::errorNoSpeechDetected() {
    return t({
        {"en",
         "No speech detected — check that the right microphone is selected and access is granted"},
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
        {"es", "No se pudo descargar la actualización. Inténtalo de nuevo más tarde."},
        {"fr", "Impossible de télécharger la mise à jour. Veuillez réessayer plus tard."},
        {"de",
         "Das Update konnte nicht heruntergeladen werden. Bitte versuchen Sie es später erneut."},
        {"tr", "Güncelleme indirilemedi. Lütfen daha sonra tekrar deneyin."},
        {"it", "Impossibile scaricare l’aggiornamento. Riprova più tardi."},
        {"pt", "Não foi possível baixar a atualização. Tente novamente mais tarde."},
        {"pl", "Nie udało się pobrać aktualizacji. Spróbuj ponownie później."},
        {"uk", "Не вдалося завантажити оновлення. Спробуйте пізніше."},
        {"ja",
         "アップデートをダウンロードできませんでした。しばらくしてからもう一度お試しください。"},
        {"ko", "업데이트를 다운로드하지 못했습니다. 나중에 다시 시도하세요."},
        {"zh", "无法下载更新。请稍后再试。"},
        {"hi", "अपडेट डाउनलोड नहीं हो सका। कृपया बाद में फिर से कोशिश करें।"},
        {"ar", "تعذّر تنزيل التحديث. يُرجى المحاولة لاحقًا."},
    });
}

QString L10n::updateVerifying() {
    return t({
        {"en", "Checking the download..."},
        {"ru", "Проверка загрузки..."},
        {"es", "Comprobando la descarga..."},
        {"fr", "Vérification du téléchargement..."},
        {"de", "Download wird geprüft..."},
        {"tr", "İndirilen dosya denetleniyor..."},
        {"it", "Verifica del download..."},
        {"pt", "Verificando o download..."},
        {"pl", "Sprawdzanie pobranego pliku..."},
        {"uk", "Перевірка завантаження..."},
        {"ja", "ダウンロードを確認中..."},
        {"ko", "다운로드 확인 중..."},
        {"zh", "正在校验下载内容..."},
        {"hi", "डाउनलोड की जाँच हो रही है..."},
        {"ar", "جارٍ التحقق من التنزيل..."},
    });
}

QString L10n::updateFailedInstall() {
    return t({
        {"en", "Could not install the update. Please try again later."},
        {"ru", "Не удалось установить обновление. Попробуйте позже."},
        {"es", "No se pudo instalar la actualización. Inténtalo de nuevo más tarde."},
        {"fr", "Impossible d’installer la mise à jour. Veuillez réessayer plus tard."},
        {"de", "Das Update konnte nicht installiert werden. Bitte versuchen Sie es später erneut."},
        {"tr", "Güncelleme kurulamadı. Lütfen daha sonra tekrar deneyin."},
        {"it", "Impossibile installare l’aggiornamento. Riprova più tardi."},
        {"pt", "Não foi possível instalar a atualização. Tente novamente mais tarde."},
        {"pl", "Nie udało się zainstalować aktualizacji. Spróbuj ponownie później."},
        {"uk", "Не вдалося встановити оновлення. Спробуйте пізніше."},
        {"ja",
         "アップデートをインストールできませんでした。しばらくしてからもう一度お試しください。"},
        {"ko", "업데이트를 설치하지 못했습니다. 나중에 다시 시도하세요."},
        {"zh", "无法安装更新。请稍后再试。"},
        {"hi", "अपडेट इंस्टॉल नहीं हो सका। कृपया बाद में फिर से कोशिश करें।"},
        {"ar", "تعذّر تثبيت التحديث. يُرجى المحاولة لاحقًا."},
    });
}

QString L10n::updateInstalling() {
    return t({
        {"en", "Installing..."},
        {"ru", "Установка..."},
        {"es", "Instalando..."},
        {"fr", "Installation..."},
        {"de", "Wird installiert..."},
        {"tr", "Kuruluyor..."},
        {"it", "Installazione..."},
        {"pt", "Instalando..."},
        {"pl", "Instalowanie..."},
        {"uk", "Встановлення..."},
        {"ja", "インストール中..."},
        {"ko", "설치 중..."},
        {"zh", "正在安装..."},
        {"hi", "इंस्टॉल हो रहा है..."},
        {"ar", "جارٍ التثبيت..."},
    });
}

QString L10n::updateRestarting() {
    return t({
        {"en", "Restarting Ormil..."},
        {"ru", "Перезапуск Ormil..."},
        {"es", "Reiniciando Ormil..."},
        {"fr", "Redémarrage d’Ormil..."},
        {"de", "Ormil wird neu gestartet..."},
        {"tr", "Ormil yeniden başlatılıyor..."},
        {"it", "Riavvio di Ormil..."},
        {"pt", "Reiniciando o Ormil..."},
        {"pl", "Ponowne uruchamianie Ormil..."},
        {"uk", "Перезапуск Ormil..."},
        {"ja", "Ormil を再起動中..."},
        {"ko", "Ormil 다시 시작 중..."},
        {"zh", "正在重启 Ormil..."},
        {"hi", "Ormil फिर से शुरू हो रहा है..."},
        {"ar", "جارٍ إعادة تشغيل Ormil..."},
    });
}

QString L10n::updateWindowTitle() {
    return t({
        {"en", "Updating Ormil"},
        {"ru", "Обновление Ormil"},
        {"es", "Actualizando Ormil"},
        {"fr", "Mise à jour d’Ormil"},
        {"de", "Ormil wird aktualisiert"},
        {"tr", "Ormil güncelleniyor"},
        {"it", "Aggiornamento di Ormil"},
        {"pt", "Atualizando o Ormil"},
        {"pl", "Aktualizowanie Ormil"},
        {"uk", "Оновлення Ormil"},
        {"ja", "Ormil をアップデート中"},
        {"ko", "Ormil 업데이트 중"},
        {"zh", "正在更新 Ormil"},
        {"hi", "Ormil अपडेट हो रहा है"},
        {"ar", "تحديث Ormil"},
    });
}

QString L10n::updateAvailableTitle() {
    return t({
        {"en", "Ormil update available"},
        {"ru", "Доступно обновление Ormil"},
        {"es", "Hay una actualización de Ormil"},
        {"fr", "Mise à jour d’Ormil disponible"},
        {"de", "Ormil-Update verfügbar"},
        {"tr", "Ormil güncellemesi var"},
        {"it", "Aggiornamento di Ormil disponibile"},
        {"pt", "Atualização do Ormil disponível"},
        {"pl", "Dostępna aktualizacja Ormil"},
        {"uk", "Доступне оновлення Ormil"},
        {"ja", "Ormil のアップデートがあります"},
        {"ko", "Ormil 업데이트 가능"},
        {"zh", "Ormil 有可用更新"},
        {"hi", "Ormil का अपडेट उपलब्ध है"},
        {"ar", "يتوفر تحديث لـ Ormil"},
    });
}

QString L10n::updateCurrentVersion() {
    return t({
        {"en", "Installed version"},
        {"ru", "Установленная версия"},
        {"es", "Versión instalada"},
        {"fr", "Version installée"},
        {"de", "Installierte Version"},
        {"tr", "Kurulu sürüm"},
        {"it", "Versione installata"},
        {"pt", "Versão instalada"},
        {"pl", "Zainstalowana wersja"},
        {"uk", "Встановлена версія"},
        {"ja", "インストール済みのバージョン"},
        {"ko", "설치된 버전"},
        {"zh", "已安装版本"},
        {"hi", "इंस्टॉल किया गया संस्करण"},
        {"ar", "الإصدار المثبّت"},
    });
}

QString L10n::updateNow() {
    return t({
        {"en", "Update"},
        {"ru", "Обновить"},
        {"es", "Actualizar"},
        {"fr", "Mettre à jour"},
        {"de", "Aktualisieren"},
        {"tr", "Güncelle"},
        {"it", "Aggiorna"},
        {"pt", "Atualizar"},
        {"pl", "Aktualizuj"},
        {"uk", "Оновити"},
        {"ja", "アップデート"},
        {"ko", "업데이트"},
        {"zh", "更新"},
        {"hi", "अपडेट करें"},
        {"ar", "تحديث"},
    });
}

QString L10n::updateLater() {
    return t({
        {"en", "Later"},
        {"ru", "Позже"},
        {"es", "Más tarde"},
        {"fr", "Plus tard"},
        {"de", "Später"},
        {"tr", "Daha sonra"},
        {"it", "Più tardi"},
        {"pt", "Mais tarde"},
        {"pl", "Później"},
        {"uk", "Пізніше"},
        {"ja", "あとで"},
        {"ko", "나중에"},
        {"zh", "稍后"},
        {"hi", "बाद में"},
        {"ar", "لاحقًا"},
    });
}

QString L10n::updateCheckFailed() {
    return t({
        {"en", "Could not check for updates. Please try again later."},
        {"ru", "Не удалось проверить обновления. Попробуйте позже."},
        {"es", "No se pudieron buscar actualizaciones. Inténtalo de nuevo más tarde."},
        {"fr", "Impossible de rechercher des mises à jour. Veuillez réessayer plus tard."},
        {"de", "Die Suche nach Updates ist fehlgeschlagen. Bitte versuchen Sie es später erneut."},
        {"tr", "Güncellemeler denetlenemedi. Lütfen daha sonra tekrar deneyin."},
        {"it", "Impossibile cercare aggiornamenti. Riprova più tardi."},
        {"pt", "Não foi possível verificar atualizações. Tente novamente mais tarde."},
        {"pl", "Nie udało się sprawdzić aktualizacji. Spróbuj ponownie później."},
        {"uk", "Не вдалося перевірити оновлення. Спробуйте пізніше."},
        {"ja", "アップデートを確認できませんでした。しばらくしてからもう一度お試しください。"},
        {"ko", "업데이트를 확인하지 못했습니다. 나중에 다시 시도하세요."},
        {"zh", "无法检查更新。请稍后再试。"},
        {"hi", "अपडेट की जाँच नहीं हो सकी। कृपया बाद में फिर से कोशिश करें।"},
        {"ar", "تعذّر البحث عن تحديثات. يُرجى المحاولة لاحقًا."},
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
            {"es", "Descargando la versión %1..."},
            {"fr", "Téléchargement de la version %1..."},
            {"de", "Version %1 wird heruntergeladen..."},
            {"tr", "%1 sürümü indiriliyor..."},
            {"it", "Download della versione %1..."},
            {"pt", "Baixando a versão %1..."},
            {"pl", "Pobieranie wersji %1..."},
            {"uk", "Завантаження версії %1..."},
            {"ja", "バージョン %1 をダウンロード中..."},
            {"ko", "버전 %1 다운로드 중..."},
            {"zh", "正在下载版本 %1..."},
            {"hi", "संस्करण %1 डाउनलोड हो रहा है..."},
            {"ar", "جارٍ تنزيل الإصدار %1..."},
        },
        {version});
}

QString L10n::updateUpToDate(const QString& version) {
    return fill(
        {
            {"en", "You have the latest version, %1"},
            {"ru", "У вас последняя версия, %1"},
            {"es", "Tienes la última versión, %1"},
            {"fr", "Vous avez la dernière version, %1"},
            {"de", "Sie haben die neueste Version: %1"},
            {"tr", "%1 — en son sürümü kullanıyorsunuz"},
            {"it", "Hai l’ultima versione, %1"},
            {"pt", "Você tem a versão mais recente, %1"},
            {"pl", "Masz najnowszą wersję, %1"},
            {"uk", "У вас остання версія, %1"},
            {"ja", "最新バージョン %1 をお使いです"},
            {"ko", "최신 버전 %1을(를) 사용 중입니다"},
            {"zh", "你已是最新版本 %1"},
            {"hi", "आपके पास नवीनतम संस्करण है, %1"},
            {"ar", "لديك أحدث إصدار، %1"},
        },
        {version});
}

QString L10n::holdHotkeyToRecord(const QString& hotkey) {
    return fill(
        {
            {"en", "Hold %1 to record"},
            {"ru", "Удерживайте %1 для записи"},
            {"es", "Mantén %1 para grabar"},
            {"fr", "Maintenez %1 pour enregistrer"},
            {"de", "%1 zum Aufnehmen gedrückt halten"},
            {"tr", "%1 tuşunu basılı tutarak kaydedin"},
            {"it", "Tieni premuto %1 per registrare"},
            {"pt", "Segure %1 para gravar"},
            {"pl", "Przytrzymaj %1, aby nagrywać"},
            {"uk", "Утримуйте %1 для запису"},
            {"ja", "%1 を押し続けて録音"},
            {"ko", "%1 키를 누르고 있으면 녹음"},
            {"zh", "按住 %1 录音"},
            {"hi", "रिकॉर्ड करने के लिए %1 दबाए रखें"},
            {"ar", "اضغط مطولًا على %1 للتسجيل"},
        },
        {hotkey});
}

QString L10n::stepHoldDesc(const QString& hotkey) {
    return fill(
        {
            {"en", "Press and hold\n%1"},
            {"ru", "Нажмите и удерживайте\n%1"},
            {"es", "Mantén pulsado\n%1"},
            {"fr", "Maintenez enfoncé\n%1"},
            {"de", "Gedrückt halten\n%1"},
            {"tr", "Basılı tutun\n%1"},
            {"it", "Tieni premuto\n%1"},
            {"pt", "Pressione e segure\n%1"},
            {"pl", "Naciśnij i przytrzymaj\n%1"},
            {"uk", "Натисніть і утримуйте\n%1"},
            {"ja", "押し続ける\n%1"},
            {"ko", "길게 누르기\n%1"},
            {"zh", "按住\n%1"},
            {"hi", "दबाकर रखें\n%1"},
            {"ar", "اضغط مطولًا\n%1"},
        },
        {hotkey});
}

QString L10n::holdHotkeyToStart(const QString& hotkey) {
    return fill(
        {
            {"en", "Hold %1 to start recording"},
            {"ru", "Удерживайте %1, чтобы начать запись"},
            {"es", "Mantén %1 para empezar a grabar"},
            {"fr", "Maintenez %1 pour commencer l’enregistrement"},
            {"de", "%1 gedrückt halten, um die Aufnahme zu starten"},
            {"tr", "%1 tuşunu basılı tutarak kayda başlayın"},
            {"it", "Tieni premuto %1 per avviare la registrazione"},
            {"pt", "Segure %1 para começar a gravar"},
            {"pl", "Przytrzymaj %1, aby zacząć nagrywanie"},
            {"uk", "Утримуйте %1, щоб почати запис"},
            {"ja", "%1 を押し続けると録音を開始します"},
            {"ko", "%1 키를 누르고 있으면 녹음이 시작됩니다"},
            {"zh", "按住 %1 开始录音"},
            {"hi", "रिकॉर्डिंग शुरू करने के लिए %1 दबाए रखें"},
            {"ar", "اضغط مطولًا على %1 لبدء التسجيل"},
        },
        {hotkey});
}

QString L10n::filesHint(int maxSizeMb) {
    return fill(
        {
            {"en",
             "Audio up to %1 MB. Video — no size limit, we only recognize the sound: mp3, wav, "
             "m4a, mp4, ogg, flac etc."},
            {"ru",
             "Аудио до %1 МБ. Видео — без ограничения размера, распознаём только звук: mp3, wav, "
             "m4a, mp4, ogg, flac и др."},
            {"es",
             "Audio de hasta %1 MB. Vídeo sin límite de tamaño, solo reconocemos el sonido: mp3, "
             "wav, m4a, mp4, ogg, flac, etc."},
            {"fr",
             "Audio jusqu’à %1 Mo. Vidéo sans limite de taille, seul le son est reconnu : mp3, "
             "wav, m4a, mp4, ogg, flac, etc."},
            {"de",
             "Audio bis %1 MB. Video ohne Größenlimit, wir erkennen nur den Ton: mp3, wav, m4a, "
             "mp4, ogg, flac usw."},
            {"tr",
             "%1 MB'a kadar ses. Video için boyut sınırı yok, yalnızca sesi tanırız: mp3, wav, "
             "m4a, mp4, ogg, flac vb."},
            {"it",
             "Audio fino a %1 MB. Video senza limiti di dimensione, riconosciamo solo il suono: "
             "mp3, wav, m4a, mp4, ogg, flac ecc."},
            {"pt",
             "Áudio de até %1 MB. Vídeo sem limite de tamanho, reconhecemos apenas o som: mp3, "
             "wav, m4a, mp4, ogg, flac etc."},
            {"pl",
             "Audio do %1 MB. Wideo bez limitu rozmiaru, rozpoznajemy tylko dźwięk: mp3, wav, m4a, "
             "mp4, ogg, flac itp."},
            {"uk",
             "Аудіо до %1 МБ. Відео — без обмеження розміру, розпізнаємо лише звук: mp3, wav, m4a, "
             "mp4, ogg, flac тощо."},
            {"ja",
             "音声は %1 MB "
             "まで。動画はサイズ無制限で、音声のみを認識します：mp3、wav、m4a、mp4、ogg、flac "
             "など。"},
            {"ko",
             "오디오는 최대 %1MB. 동영상은 크기 제한이 없으며 소리만 인식합니다: mp3, wav, m4a, "
             "mp4, ogg, flac 등."},
            {"zh",
             "音频最大 %1 MB。视频不限大小，我们只识别声音：mp3、wav、m4a、mp4、ogg、flac 等。"},
            {"hi",
             "%1 MB तक का ऑडियो। वीडियो के आकार की कोई सीमा नहीं, हम केवल ध्वनि पहचानते हैं: mp3, wav, "
             "m4a, mp4, ogg, flac आदि।"},
            {"ar",
             "ملفات صوتية حتى %1 ميغابايت. الفيديو بلا حد للحجم، فنحن نتعرّف على الصوت فقط: mp3 "
             "وwav وm4a وmp4 وogg وflac وغيرها."},
        },
        {QString::number(maxSizeMb)});
}

QString L10n::filesDailyQuotaHint(int limit, int remaining) {
    return fill(
        {
            {"en", "Up to %1 min of audio per day. %2 min left today (resets at 00:00 UTC)."},
            {"ru",
             "До %1 мин аудио в день. Сегодня осталось %2 мин (сброс в 03:00 по Москве, 00:00 "
             "UTC)."},
            {"es",
             "Hasta %1 min de audio al día. Hoy quedan %2 min (se restablece a las 00:00 UTC)."},
            {"fr",
             "Jusqu’à %1 min d’audio par jour. Il reste %2 min aujourd’hui (réinitialisation à "
             "00:00 UTC)."},
            {"de",
             "Bis zu %1 Min. Audio pro Tag. Heute noch %2 Min. übrig (Zurücksetzung um 00:00 "
             "UTC)."},
            {"tr", "Günde en fazla %1 dk ses. Bugün %2 dk kaldı (00:00 UTC'de sıfırlanır)."},
            {"it",
             "Fino a %1 min di audio al giorno. Oggi restano %2 min (azzeramento alle 00:00 UTC)."},
            {"pt", "Até %1 min de áudio por dia. Restam %2 min hoje (renova às 00:00 UTC)."},
            {"pl", "Do %1 min audio dziennie. Dziś zostało %2 min (reset o 00:00 UTC)."},
            {"uk", "До %1 хв аудіо на день. Сьогодні залишилося %2 хв (скидання о 00:00 UTC)."},
            {"ja", "1日あたり最大 %1 分の音声。今日の残りは %2 分です（00:00 UTC にリセット）。"},
            {"ko", "하루 최대 %1분 분량의 오디오. 오늘 %2분 남음(00:00 UTC에 초기화)."},
            {"zh", "每天最多 %1 分钟音频。今天还剩 %2 分钟（于 00:00 UTC 重置）。"},
            {"hi", "प्रतिदिन %1 मिनट तक का ऑडियो। आज %2 मिनट बचे हैं (00:00 UTC पर रीसेट होता है)।"},
            {"ar",
             "حتى %1 دقيقة من الصوت يوميًا. تبقّى اليوم %2 دقيقة (يُعاد التعيين عند 00:00 UTC)."},
        },
        {QString::number(limit), QString::number(remaining)});
}

QString L10n::filesDailyQuotaExhausted(int limit) {
    return fill(
        {
            {"en", "Daily limit of %1 min reached. Resets at 00:00 UTC."},
            {"ru", "Дневной лимит %1 мин исчерпан. Сброс в 03:00 по Москве (00:00 UTC)."},
            {"es", "Se alcanzó el límite diario de %1 min. Se restablece a las 00:00 UTC."},
            {"fr", "Limite quotidienne de %1 min atteinte. Réinitialisation à 00:00 UTC."},
            {"de", "Tageslimit von %1 Min. erreicht. Zurücksetzung um 00:00 UTC."},
            {"tr", "%1 dk'lık günlük sınıra ulaşıldı. 00:00 UTC'de sıfırlanır."},
            {"it", "Limite giornaliero di %1 min raggiunto. Azzeramento alle 00:00 UTC."},
            {"pt", "Limite diário de %1 min atingido. Renova às 00:00 UTC."},
            {"pl", "Osiągnięto dzienny limit %1 min. Reset o 00:00 UTC."},
            {"uk", "Денний ліміт %1 хв вичерпано. Скидання о 00:00 UTC."},
            {"ja", "1日の上限 %1 分に達しました。00:00 UTC にリセットされます。"},
            {"ko", "일일 한도 %1분에 도달했습니다. 00:00 UTC에 초기화됩니다."},
            {"zh", "已达到每日 %1 分钟的上限。于 00:00 UTC 重置。"},
            {"hi", "%1 मिनट की दैनिक सीमा पूरी हो गई। 00:00 UTC पर रीसेट होती है।"},
            {"ar", "تم بلوغ الحد اليومي البالغ %1 دقيقة. يُعاد التعيين عند 00:00 UTC."},
        },
        {QString::number(limit)});
}

QString L10n::filesVideoExtractFailedTooLarge(int limitMb) {
    return fill(
        {
            {"en",
             "Could not extract audio from the video locally, and the file itself is larger than "
             "%1 MB."},
            {"ru", "Не удалось извлечь звук из видео на компьютере, а сам файл больше %1 МБ."},
            {"es",
             "No se pudo extraer el audio del vídeo en el equipo, y el propio archivo supera los "
             "%1 MB."},
            {"fr",
             "Impossible d’extraire l’audio de la vidéo sur l’ordinateur, et le fichier lui-même "
             "dépasse %1 Mo."},
            {"de",
             "Das Audio konnte nicht lokal aus dem Video extrahiert werden, und die Datei selbst "
             "ist größer als %1 MB."},
            {"tr", "Ses videodan yerel olarak çıkarılamadı ve dosyanın kendisi %1 MB'tan büyük."},
            {"it",
             "Impossibile estrarre l’audio dal video in locale, e il file stesso supera i %1 MB."},
            {"pt",
             "Não foi possível extrair o áudio do vídeo localmente, e o próprio arquivo tem mais "
             "de %1 MB."},
            {"pl",
             "Nie udało się lokalnie wyodrębnić dźwięku z wideo, a sam plik jest większy niż %1 "
             "MB."},
            {"uk", "Не вдалося видобути звук із відео на комп’ютері, а сам файл більший за %1 МБ."},
            {"ja", "動画から音声をローカルで抽出できず、ファイル自体も %1 MB を超えています。"},
            {"ko", "동영상에서 오디오를 로컬로 추출하지 못했고, 파일 자체도 %1MB보다 큽니다."},
            {"zh", "无法在本地从视频中提取音频，且文件本身超过 %1 MB。"},
            {"hi", "वीडियो से ऑडियो स्थानीय रूप से नहीं निकाला जा सका, और फ़ाइल खुद %1 MB से बड़ी है।"},
            {"ar", "تعذّر استخراج الصوت من الفيديو محليًا، وحجم الملف نفسه أكبر من %1 ميغابايت."},
        },
        {QString::number(limitMb)});
}

QString L10n::filesTooLarge(int limitMb) {
    return fill(
        {
            {"en", "File is too large. Maximum size is %1 MB."},
            {"ru", "Файл слишком большой. Максимальный размер — %1 МБ."},
            {"es", "El archivo es demasiado grande. El tamaño máximo es de %1 MB."},
            {"fr", "Le fichier est trop volumineux. Taille maximale : %1 Mo."},
            {"de", "Die Datei ist zu groß. Maximale Größe: %1 MB."},
            {"tr", "Dosya çok büyük. En büyük boyut %1 MB."},
            {"it", "Il file è troppo grande. La dimensione massima è %1 MB."},
            {"pt", "O arquivo é grande demais. O tamanho máximo é %1 MB."},
            {"pl", "Plik jest za duży. Maksymalny rozmiar to %1 MB."},
            {"uk", "Файл завеликий. Максимальний розмір — %1 МБ."},
            {"ja", "ファイルが大きすぎます。最大サイズは %1 MB です。"},
            {"ko", "파일이 너무 큽니다. 최대 크기는 %1MB입니다."},
            {"zh", "文件过大。最大为 %1 MB。"},
            {"hi", "फ़ाइल बहुत बड़ी है। अधिकतम आकार %1 MB है।"},
            {"ar", "الملف كبير جدًا. الحد الأقصى للحجم %1 ميغابايت."},
        },
        {QString::number(limitMb)});
}

QString L10n::nWords(int count) {
    return fill(
        {
            {"en", "%1 words"},
            {"ru", "Слов: %1"},
            {"es", "%1 palabras"},
            {"fr", "%1 mots"},
            {"de", "%1 Wörter"},
            {"tr", "%1 kelime"},
            {"it", "%1 parole"},
            {"pt", "%1 palavras"},
            {"pl", "Słowa: %1"},
            {"uk", "Слів: %1"},
            {"ja", "%1 語"},
            {"ko", "%1단어"},
            {"zh", "%1 字"},
            {"hi", "%1 शब्द"},
            {"ar", "%1 كلمة"},
        },
        {QString::number(count)});
}

QString L10n::longRecordingWarning(int minutes) {
    return fill(
        {
            {"en", "Recording has been going for over %1 min. The result may be less accurate!"},
            {"ru", "Запись уже >%1 мин. Качество результата может снизиться!"},
            {"es", "La grabación ya dura más de %1 min. ¡El resultado puede ser menos preciso!"},
            {"fr",
             "L’enregistrement dure depuis plus de %1 min. Le résultat risque d’être moins précis "
             "!"},
            {"de", "Die Aufnahme läuft bereits über %1 Min. Das Ergebnis kann ungenauer werden!"},
            {"tr", "Kayıt %1 dakikayı aştı. Sonuç daha az doğru olabilir!"},
            {"it",
             "La registrazione dura da oltre %1 min. Il risultato potrebbe essere meno preciso!"},
            {"pt", "A gravação já passa de %1 min. O resultado pode ficar menos preciso!"},
            {"pl", "Nagranie trwa już ponad %1 min. Wynik może być mniej dokładny!"},
            {"uk", "Запис триває вже понад %1 хв. Результат може бути менш точним!"},
            {"ja", "録音が %1 分を超えています。結果の精度が下がる可能性があります！"},
            {"ko", "녹음이 %1분을 넘었습니다. 결과의 정확도가 떨어질 수 있습니다!"},
            {"zh", "录音已超过 %1 分钟。结果可能不够准确！"},
            {"hi", "रिकॉर्डिंग %1 मिनट से ज़्यादा चल रही है। परिणाम कम सटीक हो सकता है!"},
            {"ar", "التسجيل مستمر منذ أكثر من %1 دقيقة. قد تكون النتيجة أقل دقة!"},
        },
        {QString::number(minutes)});
}
