#include "mainwindow/SnippetTexts.h"

#include "core/L10n.h"

QString SnippetTexts::dictionary() {
    return L10n::t({
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

QString SnippetTexts::addEntry() {
    return L10n::t({
        {"en", "Add Entry"},
        {"ru", "Добавить запись"},
        {"es", "Añadir entrada"},
        {"fr", "Ajouter une entrée"},
        {"de", "Eintrag hinzufügen"},
        {"tr", "Kayıt ekle"},
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

QString SnippetTexts::editEntry() {
    return L10n::t({
        {"en", "Edit Entry"},
        {"ru", "Изменить запись"},
        {"es", "Editar entrada"},
        {"fr", "Modifier l’entrée"},
        {"de", "Eintrag bearbeiten"},
        {"tr", "Kaydı düzenle"},
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

QString SnippetTexts::searchDictionary() {
    return L10n::t({
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
        {"hi", "शब्दकोश खोजें..."},
        {"ar", "البحث في القاموس..."},
    });
}

QString SnippetTexts::dictionaryEmpty() {
    return L10n::t({
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

QString SnippetTexts::dictionaryEmptyHint() {
    return L10n::t({
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
        {"ko", "단어를 추가해 인식을 개선하세요"},
        {"zh", "添加词语以提高识别效果"},
        {"hi", "पहचान सुधारने के लिए शब्द जोड़ें"},
        {"ar", "أضف كلمات لتحسين التعرّف"},
    });
}

QString SnippetTexts::triggerWord() {
    return L10n::t({
        {"en", "Trigger word"},
        {"ru", "Слово-триггер"},
        {"es", "Palabra clave"},
        {"fr", "Mot déclencheur"},
        {"de", "Auslösewort"},
        {"tr", "Tetikleyici kelime"},
        {"it", "Parola chiave"},
        {"pt", "Palavra-gatilho"},
        {"pl", "Słowo wyzwalające"},
        {"uk", "Слово-тригер"},
        {"ja", "トリガー語"},
        {"ko", "트리거 단어"},
        {"zh", "触发词"},
        {"hi", "ट्रिगर शब्द"},
        {"ar", "كلمة التشغيل"},
    });
}

QString SnippetTexts::replacement() {
    return L10n::t({
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
        {"ko", "대체어"},
        {"zh", "替换为"},
        {"hi", "प्रतिस्थापन"},
        {"ar", "البديل"},
    });
}

QString SnippetTexts::cancel() {
    return L10n::t({
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

QString SnippetTexts::add() {
    return L10n::t({
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

QString SnippetTexts::save() {
    return L10n::t({
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

QString SnippetTexts::deleteDictionaryEntry() {
    return L10n::t({
        {"en", "Delete this dictionary entry?"},
        {"ru", "Удалить эту запись словаря?"},
        {"es", "¿Eliminar esta entrada del diccionario?"},
        {"fr", "Supprimer cette entrée du dictionnaire ?"},
        {"de", "Diesen Wörterbucheintrag löschen?"},
        {"tr", "Bu sözlük kaydı silinsin mi?"},
        {"it", "Eliminare questa voce del dizionario?"},
        {"pt", "Excluir esta entrada do dicionário?"},
        {"pl", "Usunąć ten wpis ze słownika?"},
        {"uk", "Видалити цей запис словника?"},
        {"ja", "この辞書項目を削除しますか？"},
        {"ko", "이 사전 항목을 삭제할까요?"},
        {"zh", "删除此词典条目？"},
        {"hi", "यह शब्दकोश प्रविष्टि हटाएँ?"},
        {"ar", "حذف هذا الإدخال من القاموس؟"},
    });
}

QString SnippetTexts::shortcutPlaceholder() {
    return L10n::t({
        {"en", "Shortcut (e.g. //sig)"},
        {"ru", "Сокращение (например, //sig)"},
        {"es", "Atajo (p. ej., //sig)"},
        {"fr", "Raccourci (p. ex. //sig)"},
        {"de", "Kürzel (z. B. //sig)"},
        {"tr", "Kısayol (ör. //sig)"},
        {"it", "Abbreviazione (es. //sig)"},
        {"pt", "Atalho (ex.: //sig)"},
        {"pl", "Skrót (np. //sig)"},
        {"uk", "Скорочення (напр., //sig)"},
        {"ja", "短縮語（例: //sig）"},
        {"ko", "단축어(예: //sig)"},
        {"zh", "缩写（例如 //sig）"},
        {"hi", "शॉर्टकट (जैसे //sig)"},
        {"ar", "اختصار (مثل //sig)"},
    });
}

QString SnippetTexts::text() {
    return L10n::t({
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

QString SnippetTexts::textForLinux() {
    return L10n::t({
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

QString SnippetTexts::differentTextForWindows() {
    return L10n::t({
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
        {"ja", "Windows では別のテキスト"},
        {"ko", "Windows용 다른 텍스트"},
        {"zh", "Windows 使用不同文本"},
        {"hi", "Windows के लिए अलग टेक्स्ट"},
        {"ar", "نص مختلف لنظام Windows"},
    });
}

QString SnippetTexts::textForWindows() {
    return L10n::t({
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

QString SnippetTexts::sameShortcutNote() {
    return L10n::t({
        {"en", "Same shortcut, different result on each system"},
        {"ru", "Одно сокращение — разный результат в каждой системе"},
        {"es", "El mismo atajo, un resultado distinto en cada sistema"},
        {"fr", "Même raccourci, résultat différent sur chaque système"},
        {"de", "Gleiches Kürzel, anderes Ergebnis auf jedem System"},
        {"tr", "Aynı kısayol, her sistemde farklı sonuç"},
        {"it", "Stessa abbreviazione, risultato diverso su ogni sistema"},
        {"pt", "Mesmo atalho, resultado diferente em cada sistema"},
        {"pl", "Ten sam skrót, inny wynik w każdym systemie"},
        {"uk", "Те саме скорочення — різний результат у кожній системі"},
        {"ja", "同じ短縮語でもシステムごとに結果が変わります"},
        {"ko", "같은 단축어, 시스템마다 다른 결과"},
        {"zh", "同一缩写，在各系统中得到不同结果"},
        {"hi", "एक ही शॉर्टकट, हर सिस्टम पर अलग नतीजा"},
        {"ar", "الاختصار نفسه بنتيجة مختلفة على كل نظام"},
    });
}

QString SnippetTexts::snippets() {
    return L10n::t({
        {"en", "Snippets"},
        {"ru", "Сниппеты"},
        {"es", "Fragmentos"},
        {"fr", "Extraits"},
        {"de", "Textbausteine"},
        {"tr", "Parçacıklar"},
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

QString SnippetTexts::keyboard() {
    return L10n::t({
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

QString SnippetTexts::voice() {
    return L10n::t({
        {"en", "Voice"},
        {"ru", "Голос"},
        {"es", "Voz"},
        {"fr", "Voix"},
        {"de", "Sprache"},
        {"tr", "Ses"},
        {"it", "Voce"},
        {"pt", "Voz"},
        {"pl", "Głos"},
        {"uk", "Голос"},
        {"ja", "音声"},
        {"ko", "음성"},
        {"zh", "语音"},
        {"hi", "आवाज़"},
        {"ar", "الصوت"},
    });
}

QString SnippetTexts::keyboardHint() {
    return L10n::t({
        {"en", "Type the shortcut in any app — it expands into full text as you type."},
        {"ru", "Наберите сокращение в любом приложении — оно развернётся в полный текст прямо при наборе."},
        {"es", "Escribe el atajo en cualquier app: se expande al texto completo mientras escribes."},
        {"fr", "Tapez le raccourci dans n’importe quelle app : il se développe en texte complet pendant la saisie."},
        {"de", "Tippen Sie das Kürzel in einer beliebigen App – es wird beim Tippen zum vollständigen Text."},
        {"tr", "Kısayolu herhangi bir uygulamada yazın — yazarken tam metne dönüşür."},
        {"it", "Digita l’abbreviazione in qualsiasi app: si espande nel testo completo mentre scrivi."},
        {"pt", "Digite o atalho em qualquer app — ele se expande no texto completo enquanto você digita."},
        {"pl", "Wpisz skrót w dowolnej aplikacji — podczas pisania rozwinie się w pełny tekst."},
        {"uk", "Наберіть скорочення в будь-якій програмі — воно розгорнеться в повний текст під час набору."},
        {"ja", "任意のアプリで短縮語を入力すると、入力中に全文に展開されます。"},
        {"ko", "아무 앱에서나 단축어를 입력하면 입력하는 즉시 전체 텍스트로 바뀝니다."},
        {"zh", "在任意应用中输入缩写，输入时即展开为完整文本。"},
        {"hi", "किसी भी ऐप में शॉर्टकट टाइप करें — टाइप करते ही वह पूरे टेक्स्ट में बदल जाता है।"},
        {"ar", "اكتب الاختصار في أي تطبيق — يتوسع إلى النص الكامل أثناء الكتابة."},
    });
}

QString SnippetTexts::voiceHint() {
    return L10n::t({
        {"en", "Say the code word while dictating — the transcribed text gets the full snippet instead."},
        {"ru", "Произнесите кодовое слово во время диктовки — в расшифровке вместо него появится полный сниппет."},
        {"es", "Di la palabra clave al dictar: el texto transcrito recibe el fragmento completo en su lugar."},
        {"fr", "Dites le mot-code pendant la dictée : le texte transcrit reçoit l’extrait complet à sa place."},
        {"de", "Sagen Sie beim Diktieren das Codewort – im transkribierten Text steht stattdessen der ganze Baustein."},
        {"tr", "Dikte ederken kod kelimeyi söyleyin — yazıya dökülen metinde yerine tam parçacık gelir."},
        {"it", "Pronuncia la parola in codice mentre detti: nel testo trascritto comparirà il frammento completo."},
        {"pt", "Diga a palavra-código ao ditar — o texto transcrito recebe o trecho completo no lugar."},
        {"pl", "Wypowiedz słowo kodowe podczas dyktowania — w transkrypcji pojawi się zamiast niego pełny fragment."},
        {"uk", "Промовте кодове слово під час диктування — у розшифровці замість нього з’явиться повний сніпет."},
        {"ja", "音声入力中にコードワードを言うと、書き起こしではスニペット全文に置き換わります。"},
        {"ko", "받아쓰기 중 코드 단어를 말하면 전사된 텍스트에 전체 스니펫이 들어갑니다."},
        {"zh", "听写时说出代码词，转写文本中会替换为完整片段。"},
        {"hi", "डिक्टेशन के दौरान कोड शब्द बोलें — ट्रांसक्राइब किए गए टेक्स्ट में उसकी जगह पूरा स्निपेट आ जाता है।"},
        {"ar", "قل الكلمة الرمزية أثناء الإملاء — يحصل النص المنسوخ على المقتطف الكامل بدلاً منها."},
    });
}

QString SnippetTexts::searchSnippets() {
    return L10n::t({
        {"en", "Search snippets..."},
        {"ru", "Поиск сниппетов..."},
        {"es", "Buscar fragmentos..."},
        {"fr", "Rechercher des extraits..."},
        {"de", "Textbausteine durchsuchen..."},
        {"tr", "Parçacıklarda ara..."},
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

QString SnippetTexts::nothingFound() {
    return L10n::t({
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
        {"ja", "見つかりません"},
        {"ko", "찾은 항목 없음"},
        {"zh", "未找到任何内容"},
        {"hi", "कुछ नहीं मिला"},
        {"ar", "لم يتم العثور على شيء"},
    });
}

QString SnippetTexts::noSnippetsYet() {
    return L10n::t({
        {"en", "No snippets yet"},
        {"ru", "Сниппетов пока нет"},
        {"es", "Aún no hay fragmentos"},
        {"fr", "Aucun extrait pour l’instant"},
        {"de", "Noch keine Textbausteine"},
        {"tr", "Henüz parçacık yok"},
        {"it", "Ancora nessun frammento"},
        {"pt", "Ainda não há trechos"},
        {"pl", "Brak fragmentów"},
        {"uk", "Сніпетів поки немає"},
        {"ja", "スニペットはまだありません"},
        {"ko", "아직 스니펫이 없습니다"},
        {"zh", "还没有片段"},
        {"hi", "अभी कोई स्निपेट नहीं"},
        {"ar", "لا توجد مقتطفات بعد"},
    });
}

QString SnippetTexts::keyboardEmptyHint() {
    return L10n::t({
        {"en", "Add text snippets for quick insertion"},
        {"ru", "Добавьте текстовые сниппеты для быстрой вставки"},
        {"es", "Añade fragmentos de texto para insertarlos rápido"},
        {"fr", "Ajoutez des extraits de texte pour une insertion rapide"},
        {"de", "Fügen Sie Textbausteine zum schnellen Einfügen hinzu"},
        {"tr", "Hızlı ekleme için metin parçacıkları ekleyin"},
        {"it", "Aggiungi frammenti di testo per inserirli rapidamente"},
        {"pt", "Adicione trechos de texto para inserção rápida"},
        {"pl", "Dodaj fragmenty tekstu do szybkiego wstawiania"},
        {"uk", "Додайте текстові сніпети для швидкої вставки"},
        {"ja", "素早く挿入できるテキストスニペットを追加"},
        {"ko", "빠르게 넣을 텍스트 스니펫을 추가하세요"},
        {"zh", "添加文本片段以便快速插入"},
        {"hi", "जल्दी डालने के लिए टेक्स्ट स्निपेट जोड़ें"},
        {"ar", "أضف مقتطفات نصية للإدراج السريع"},
    });
}

QString SnippetTexts::noVoiceSnippetsYet() {
    return L10n::t({
        {"en", "No voice snippets yet"},
        {"ru", "Голосовых сниппетов пока нет"},
        {"es", "Aún no hay fragmentos de voz"},
        {"fr", "Aucun extrait vocal pour l’instant"},
        {"de", "Noch keine Sprachbausteine"},
        {"tr", "Henüz sesli parçacık yok"},
        {"it", "Ancora nessun frammento vocale"},
        {"pt", "Ainda não há trechos de voz"},
        {"pl", "Brak fragmentów głosowych"},
        {"uk", "Голосових сніпетів поки немає"},
        {"ja", "音声スニペットはまだありません"},
        {"ko", "아직 음성 스니펫이 없습니다"},
        {"zh", "还没有语音片段"},
        {"hi", "अभी कोई आवाज़ स्निपेट नहीं"},
        {"ar", "لا توجد مقتطفات صوتية بعد"},
    });
}

QString SnippetTexts::voiceEmptyHint() {
    return L10n::t({
        {"en", "Add a code word you will say out loud"},
        {"ru", "Добавьте кодовое слово, которое будете произносить вслух"},
        {"es", "Añade una palabra clave que dirás en voz alta"},
        {"fr", "Ajoutez un mot-code que vous direz à voix haute"},
        {"de", "Fügen Sie ein Codewort hinzu, das Sie laut sagen"},
        {"tr", "Yüksek sesle söyleyeceğiniz bir kod kelime ekleyin"},
        {"it", "Aggiungi una parola in codice da pronunciare ad alta voce"},
        {"pt", "Adicione uma palavra-código que você dirá em voz alta"},
        {"pl", "Dodaj słowo kodowe, które wypowiesz na głos"},
        {"uk", "Додайте кодове слово, яке промовлятимете вголос"},
        {"ja", "声に出して言うコードワードを追加"},
        {"ko", "소리 내어 말할 코드 단어를 추가하세요"},
        {"zh", "添加一个你会大声说出的代码词"},
        {"hi", "ऐसा कोड शब्द जोड़ें जिसे आप बोलकर कहेंगे"},
        {"ar", "أضف كلمة رمزية ستنطقها بصوت عالٍ"},
    });
}

QString SnippetTexts::addSnippet() {
    return L10n::t({
        {"en", "Add Snippet"},
        {"ru", "Добавить сниппет"},
        {"es", "Añadir fragmento"},
        {"fr", "Ajouter un extrait"},
        {"de", "Textbaustein hinzufügen"},
        {"tr", "Parçacık ekle"},
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

QString SnippetTexts::editSnippet() {
    return L10n::t({
        {"en", "Edit Snippet"},
        {"ru", "Изменить сниппет"},
        {"es", "Editar fragmento"},
        {"fr", "Modifier l’extrait"},
        {"de", "Textbaustein bearbeiten"},
        {"tr", "Parçacığı düzenle"},
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

QString SnippetTexts::deleteTextExpansion() {
    return L10n::t({
        {"en", "Delete this text expansion?"},
        {"ru", "Удалить это текстовое сокращение?"},
        {"es", "¿Eliminar esta expansión de texto?"},
        {"fr", "Supprimer cette expansion de texte ?"},
        {"de", "Diese Textersetzung löschen?"},
        {"tr", "Bu metin genişletmesi silinsin mi?"},
        {"it", "Eliminare questa espansione di testo?"},
        {"pt", "Excluir esta expansão de texto?"},
        {"pl", "Usunąć to rozwinięcie tekstu?"},
        {"uk", "Видалити це текстове скорочення?"},
        {"ja", "このテキスト展開を削除しますか？"},
        {"ko", "이 텍스트 확장을 삭제할까요?"},
        {"zh", "删除此文本扩展？"},
        {"hi", "यह टेक्स्ट विस्तार हटाएँ?"},
        {"ar", "حذف توسيع النص هذا؟"},
    });
}

QString SnippetTexts::deleteSnippet() {
    return L10n::t({
        {"en", "Delete this snippet?"},
        {"ru", "Удалить этот сниппет?"},
        {"es", "¿Eliminar este fragmento?"},
        {"fr", "Supprimer cet extrait ?"},
        {"de", "Diesen Textbaustein löschen?"},
        {"tr", "Bu parçacık silinsin mi?"},
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
