#include "ui/window_places.h"

#include "ui/screen_place.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QSettings>
#include <QSplitter>
#include <QTableView>
#include <QTreeView>
#include <QWidget>

#include <optional>
#include <vector>

namespace hw::ui {

// A window the places remember, with the splitters and the lists of columns inside it, all by object name.
struct RememberedWindow {
    const char* name;
    std::vector<const char*> splitters;
    std::vector<const char*> views;
};

namespace {

constexpr char kWidthsRestoredProperty[] = "hwColumnWidthsRestored";

const std::vector<RememberedWindow>& RememberedWindows() {
    static const std::vector<RememberedWindow> windows = {
        {"TfrmMain", {"splttrMain"}, {"trvwKeys", "lstvwValues"}},
        {"frmFind", {}, {"lstvwFound"}},
        {"frmReplace", {}, {"lstvwFound"}},
    };
    return windows;
}

const RememberedWindow* Remembered(const QString& name) {
    for (const RememberedWindow& window : RememberedWindows())
        if (name == QLatin1String(window.name)) return &window;
    return nullptr;
}

QHeaderView* ColumnHeader(const QWidget& window, const char* viewName) {
    auto* view = window.findChild<QAbstractItemView*>(QLatin1String(viewName));
    if (auto* tree = qobject_cast<QTreeView*>(view)) return tree->header();
    if (auto* table = qobject_cast<QTableView*>(view)) return table->horizontalHeader();
    return nullptr;
}

std::optional<int> ReadNumber(const QSettings& settings, const char* key) {
    bool ok = false;
    const int number = settings.value(QLatin1String(key)).toInt(&ok);
    return ok ? std::optional(number) : std::nullopt;
}

// Exactly count sizes, none negative; nothing when the entry is missing or damaged.
std::optional<QList<int>> ReadSizes(const QSettings& settings, const char* key, int count) {
    const QStringList texts = settings.value(QLatin1String(key)).toStringList();
    if (texts.size() != count) return std::nullopt;
    QList<int> sizes;
    for (const QString& text : texts) {
        bool ok = false;
        const int size = text.trimmed().toInt(&ok);
        if (!ok || size < 0) return std::nullopt;
        sizes.append(size);
    }
    return sizes;
}

QStringList SizeTexts(const QList<int>& sizes) {
    QStringList texts;
    for (int size : sizes)
        texts.append(QString::number(size));
    return texts;
}

// The inside of the frame: the frame itself is known only once the window was shown.
std::optional<QRect> ReadPlace(const QSettings& settings) {
    const auto left = ReadNumber(settings, "left");
    const auto top = ReadNumber(settings, "top");
    const auto width = ReadNumber(settings, "width");
    const auto height = ReadNumber(settings, "height");
    if (!left || !top || !width || !height || *width <= 0 || *height <= 0) return std::nullopt;
    return QRect(*left, *top, *width, *height);
}

bool Readable(const QString& file) {
    return QSettings(file, QSettings::IniFormat).status() == QSettings::NoError;
}

} // namespace

bool ColumnWidthsRestored(const QHeaderView& header) {
    return header.property(kWidthsRestoredProperty).toBool();
}

WindowPlaces::WindowPlaces(QString settingsFile) : settingsFile_(std::move(settingsFile)) {
    if (QCoreApplication* application = QCoreApplication::instance()) application->installEventFilter(this);
}

WindowPlaces::~WindowPlaces() {
    if (QCoreApplication* application = QCoreApplication::instance()) application->removeEventFilter(this);
}

QString WindowPlaces::UserSettingsFile() {
    QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    // A relative setting is to be ignored, as the base directory rules say.
    if (folder.isEmpty() || QDir::isRelativePath(folder))
        folder = QDir::homePath() + QStringLiteral("/.config");
    return folder + QStringLiteral("/hivewright/layout.ini");
}

bool WindowPlaces::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show && event->type() != QEvent::Hide) return false;
    auto* window = qobject_cast<QWidget*>(watched);
    if (!window || !window->isWindow()) return false;
    const RememberedWindow* remembered = Remembered(window->objectName());
    if (!remembered) return false;
    if (event->type() == QEvent::Show && !restored_.contains(window->objectName())) {
        restored_.insert(window->objectName());
        Restore(*window, *remembered);
    } else if (event->type() == QEvent::Hide && !window->isMinimized()) {
        Save(*window, *remembered);
    }
    return false;
}

void WindowPlaces::Restore(QWidget& window, const RememberedWindow& remembered) const {
    QSettings settings(settingsFile_, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) return;
    settings.beginGroup(window.objectName());
    if (const std::optional<QRect> place = ReadPlace(settings)) PlaceOnScreen(window, *place);
    if (settings.value(QStringLiteral("maximized")).toBool()) window.setWindowState(Qt::WindowMaximized);
    for (const char* name : remembered.splitters) {
        auto* splitter = window.findChild<QSplitter*>(QLatin1String(name));
        if (!splitter) continue;
        if (const auto sizes = ReadSizes(settings, name, splitter->count())) splitter->setSizes(*sizes);
    }
    for (const char* name : remembered.views) {
        QHeaderView* header = ColumnHeader(window, name);
        if (!header) continue;
        const auto sizes = ReadSizes(settings, name, header->count());
        if (!sizes) continue;
        for (int section = 0; section < header->count(); ++section)
            if (header->sectionResizeMode(section) == QHeaderView::Interactive)
                header->resizeSection(section, (*sizes)[section]);
        header->setProperty(kWidthsRestoredProperty, true);
    }
}

void WindowPlaces::Save(const QWidget& window, const RememberedWindow& remembered) const {
    QDir().mkpath(QFileInfo(settingsFile_).absolutePath());
    // A damaged file is written afresh.
    if (!Readable(settingsFile_)) QFile::remove(settingsFile_);
    QSettings settings(settingsFile_, QSettings::IniFormat);
    settings.beginGroup(window.objectName());
    settings.setValue(QStringLiteral("maximized"), window.isMaximized());
    // A maximised window keeps the place it had before.
    if (!window.isMaximized()) {
        settings.setValue(QStringLiteral("left"), window.geometry().x());
        settings.setValue(QStringLiteral("top"), window.geometry().y());
        settings.setValue(QStringLiteral("width"), window.width());
        settings.setValue(QStringLiteral("height"), window.height());
    }
    for (const char* name : remembered.splitters)
        if (const auto* splitter = window.findChild<QSplitter*>(QLatin1String(name)))
            settings.setValue(QLatin1String(name), SizeTexts(splitter->sizes()));
    for (const char* name : remembered.views) {
        const QHeaderView* header = ColumnHeader(window, name);
        if (!header) continue;
        QList<int> sizes;
        for (int section = 0; section < header->count(); ++section)
            sizes.append(header->sectionSize(section));
        settings.setValue(QLatin1String(name), SizeTexts(sizes));
    }
}

} // namespace hw::ui
