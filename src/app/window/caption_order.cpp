#include "app/window/caption_order.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <numeric>

namespace hw::window {

namespace {

// The C locale compares code points (upper case first); fall back to a real collation there.
QLocale CollationLocale() {
    const QLocale system;
    return system.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : system;
}

QCollator CaptionCollator() {
    QCollator collator(CollationLocale());
    collator.setCaseSensitivity(Qt::CaseSensitive);
    collator.setNumericMode(false);
    return collator;
}

} // namespace

int CompareCaptions(const std::string& first, const std::string& second) {
    static const QCollator collator = CaptionCollator();
    return collator.compare(QString::fromUtf8(first), QString::fromUtf8(second));
}

std::vector<std::size_t> CaptionOrder(const std::vector<std::string>& captions) {
    const QCollator collator = CaptionCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(captions.size());
    for (const std::string& caption : captions)
        keys.push_back(collator.sortKey(QString::fromUtf8(caption)));

    std::vector<std::size_t> order(captions.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&keys](std::size_t a, std::size_t b) { return keys[a].compare(keys[b]) < 0; });
    return order;
}

} // namespace hw::window
