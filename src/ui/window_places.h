// Where the user left the program's main windows: place and size, the main window's splitter and the
// column widths of its lists and of the find results, kept between runs and given back when each window
// first shows. The program installs it at start; tests that do not never read or write the user's file.
#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class QHeaderView;
class QSettings;
class QWidget;

namespace hw::ui {

struct RememberedWindow;

// Whether the places gave the header's columns their remembered widths; a view then keeps them instead of
// fitting its columns to the first content it shows.
bool ColumnWidthsRestored(const QHeaderView& header);

class WindowPlaces : public QObject {
  public:
    // Watches every window of the application; the places are kept in settingsFile (an INI file).
    explicit WindowPlaces(QString settingsFile);
    ~WindowPlaces() override;
    WindowPlaces(const WindowPlaces&) = delete;
    WindowPlaces& operator=(const WindowPlaces&) = delete;

    // ${XDG_CONFIG_HOME:-~/.config}/hivewright/layout.ini
    static QString UserSettingsFile();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Restore(QWidget& window, const RememberedWindow& remembered) const;
    void Save(const QWidget& window, const RememberedWindow& remembered) const;

    QString settingsFile_;
    QSet<QString> restored_; // windows given their place already, by object name
};

} // namespace hw::ui
