"""The dictated text of the paste benches: words with accents and Cyrillic."""


def mixed_text(length):
    words = ["Café", "naïve", "résumé", "Grüße", "Привет,", "мир", "über", "façade",
             "Straße", "ёлка", "déjà", "vu.", "Ärger", "crème", "brûlée", "Съешь", "ещё",
             "этих", "мягких", "французских", "булок", "señor", "año", "Øresund"]
    out, i = "", 0
    while len(out) < length:
        out += words[i % len(words)] + " "
        i += 1
    out = out[:length]
    return out[:-1] + "." if out.endswith(" ") else out
