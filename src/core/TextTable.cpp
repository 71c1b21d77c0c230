#include "core/TextTable.h"

#include <algorithm>

namespace {

QStringView view(std::u16string_view text) {
    return QStringView(text.data(), qsizetype(text.size()));
}

}  // namespace

QString TextTable::text(QStringView key, QStringView language) const {
    const auto entry =
        std::lower_bound(m_entries.begin(), m_entries.end(), key,
                         [](const Entry& e, QStringView k) { return view(e.key) < k; });
    if (entry == m_entries.end() || view(entry->key) != key) return {};
    std::u16string_view found = entry->texts[0];
    for (size_t i = 1; i < languages.size(); ++i) {
        if (view(languages[i]) == language) {
            if (entry->texts[i].data()) found = entry->texts[i];
            break;
        }
    }
    // The data is constant for the life of the process: no copy is needed.
    return QString::fromRawData(reinterpret_cast<const QChar*>(found.data()),
                                qsizetype(found.size()));
}
