// The frame around the form: menus, status bar, the data file's name and
// the recent-file list, the window position in the profile, and the save
// prompt when a modified document is closed.
#pragma once

#include <QMainWindow>
#include <QSettings>
#include <filesystem>

#include "form/CMorvaneView.h"

class QLabel;
class QMenu;

namespace morvane::form {
class Prompter;
}

namespace morvane::app {

inline constexpr int kRecentFileCount = 4;

class CMainFrame final : public QMainWindow {
    Q_OBJECT
  public:
    // `profile` keeps the window position and the recent files.
    CMainFrame(station::StationConfig config, form::Prompter& prompter, QSettings& profile);

    form::CMorvaneView& View() { return *view_; }
    QMenu* Menu(const QString& objectName) const;

    // File commands; false when cancelled or failed.
    bool OpenFile(const QString& path);
    bool Save();
    bool SaveAs();
    void NewFile();
    // Asks to save a modified document; false when the operator cancelled.
    bool MaySaveModified();
    QString CurrentFile() const { return currentFile_; }
    QStringList RecentFiles() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateMenus();
    void CreateFileMenu();
    void UpdateRecentMenu();
    void AddRecent(const QString& path);
    void ReadPlacement();
    void WritePlacement();
    bool SaveTo(const QString& path);

    form::Prompter& prompter_;
    QSettings& profile_;
    form::CMorvaneView* view_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QString currentFile_;
};

}  // namespace morvane::app
