#include "app/CMainFrame.h"

#include <array>
#include <cmath>
#include <utility>

#include <QActionGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <QStatusBar>

#include "form/Prompter.h"
#include "settings/WindowPlacement.h"

namespace morvane::app {

namespace {

const QString kSection = QString::fromLatin1(
    settings::kPlacementSection.data(), static_cast<qsizetype>(settings::kPlacementSection.size()));

// The profile as QSettings keeps it: "MRVN_Section/left" and so on.
class QtProfile final : public settings::ProfileStore {
  public:
    explicit QtProfile(QSettings& settings) : settings_(settings) {}
    std::optional<int> ReadInt(std::string_view section, std::string_view name) const override {
        const QVariant v = settings_.value(Key(section, name));
        bool ok = false;
        const int value = v.toInt(&ok);
        return v.isValid() && ok ? std::optional<int>(value) : std::nullopt;
    }
    void WriteInt(std::string_view section, std::string_view name, int value) override {
        settings_.setValue(Key(section, name), value);
    }

  private:
    static QString Key(std::string_view section, std::string_view name) {
        return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) +
               QLatin1Char('/') +
               QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    }
    QSettings& settings_;
};

// The decoder is this machine's choice, kept with the window placement
// rather than in a station's data file.
const QString kDecoderKey = kSection + QStringLiteral("/decoder");
const QString kSquelchKey = kSection + QStringLiteral("/squelch");

// The weak decoder's squelch levels offered: off, the default, and steps up
// to where only clear characters are printed.
constexpr std::array<std::pair<const char*, double>, 6> kSquelchLevels{{{"0 (オフ)", 0.0},
                                                                        {"0.1 (標準)", 0.1},
                                                                        {"0.2", 0.2},
                                                                        {"0.3", 0.3},
                                                                        {"0.5", 0.5},
                                                                        {"0.7", 0.7}}};

}  // namespace

CMainFrame::CMainFrame(station::StationConfig config, form::Prompter& prompter, QSettings& profile)
    : prompter_(prompter), profile_(profile) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    view_ = new form::CMorvaneView(std::move(config), prompter, this);
    setCentralWidget(view_);
    view_->Station().SetDecoder(profile_.value(kDecoderKey).toString() == QLatin1String("weak")
                                    ? receive::DecoderKind::Weak
                                    : receive::DecoderKind::Standard);
    if (profile_.contains(kSquelchKey))
        view_->Station().SetSquelch(profile_.value(kSquelchKey).toDouble());
    CreateMenus();
    statusBar()->showMessage(QStringLiteral("ﾚﾃﾞｨ"));
    connect(view_, &form::CMorvaneView::TitleChanged, this, &QWidget::setWindowTitle);
    connect(view_, &form::CMorvaneView::HelpShown, this,
            [this](const QString& text) { statusBar()->showMessage(text); });
    ReadPlacement();
}

QMenu* CMainFrame::Menu(const QString& objectName) const {
    return menuBar()->findChild<QMenu*>(objectName);
}

void CMainFrame::CreateMenus() {
    CreateFileMenu();
    auto* setup = menuBar()->addMenu(QStringLiteral("初期設定(&P)"));
    setup->setObjectName(QStringLiteral("setupMenu"));
    setup->addAction(QStringLiteral("オプション設定(&P)"), QKeySequence(Qt::CTRL | Qt::Key_P),
                     view_, &form::CMorvaneView::OpenOptionSet);
    setup->addAction(QStringLiteral("ＵＲＬ登録(&U)"), QKeySequence(Qt::CTRL | Qt::Key_U), view_,
                     &form::CMorvaneView::OpenUrlDialog);

    auto* input = menuBar()->addMenu(QStringLiteral("信号入力(&I)"));
    input->setObjectName(QStringLiteral("inputMenu"));
    input->addAction(QStringLiteral("入力レベル調整(&I)"), QKeySequence(Qt::CTRL | Qt::Key_I),
                     view_, &form::CMorvaneView::OpenMixer);
    input->addSeparator();
    auto* channels = new QActionGroup(this);
    for (const auto& [caption, channel] : {std::pair{"右側(&R)", 1}, std::pair{"左側(&L)", 0}}) {
        QAction* action = input->addAction(QString::fromUtf8(caption));
        action->setCheckable(true);
        channels->addAction(action);
        connect(action, &QAction::triggered, view_,
                [this, c = channel] { view_->Station().SelectInputChannel(c); });
    }
    input->addSeparator();
    auto* decoders = new QActionGroup(this);
    using receive::DecoderKind;
    for (const auto& [caption, kind] : {std::pair{"標準デコーダ(&S)", DecoderKind::Standard},
                                        std::pair{"弱信号デコーダ(&W)", DecoderKind::Weak}}) {
        QAction* action = input->addAction(QString::fromUtf8(caption));
        action->setCheckable(true);
        action->setChecked(view_->Station().Decoder() == kind);
        decoders->addAction(action);
        connect(action, &QAction::triggered, this, [this, k = kind] {
            view_->Station().SetDecoder(k);
            profile_.setValue(kDecoderKey, k == DecoderKind::Weak ? QStringLiteral("weak")
                                                                  : QStringLiteral("standard"));
        });
    }
    auto* squelch = input->addMenu(QStringLiteral("弱信号スケルチ(&Q)"));
    squelch->setObjectName(QStringLiteral("squelchMenu"));
    auto* levels = new QActionGroup(this);
    for (const auto& [caption, level] : kSquelchLevels) {
        QAction* action = squelch->addAction(QString::fromUtf8(caption));
        action->setCheckable(true);
        action->setChecked(std::abs(view_->Station().Squelch() - level) < 0.01);
        levels->addAction(action);
        connect(action, &QAction::triggered, this, [this, l = level] {
            view_->Station().SetSquelch(l);
            profile_.setValue(kSquelchKey, l);
        });
    }

    auto* port = menuBar()->addMenu(QStringLiteral("キー出力(&K)"));
    port->setObjectName(QStringLiteral("portMenu"));
    auto* lines = new QActionGroup(this);
    for (const char* line : {"RTS", "DTR", "UNO"}) {
        QAction* action = port->addAction(QString::fromLatin1(line));
        action->setCheckable(true);
        lines->addAction(action);
        connect(action, &QAction::triggered, view_, [this, w = std::string(line)] {
            view_->Station().ChangeSetting(form::EntryId::KeyLine, w);
        });
    }

    auto* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("helpMenu"));
    help->addAction(QStringLiteral("取扱説明書(&H)"), QKeySequence(Qt::CTRL | Qt::Key_H), view_,
                    &form::CMorvaneView::OpenManual);
    help->addAction(QStringLiteral("readme(&R)"), view_, &form::CMorvaneView::OpenReadme);
    auto* urls = help->addMenu(QStringLiteral("URL Search(&U)"));
    urls->setObjectName(QStringLiteral("urlMenu"));
    for (int k = 0; k < 8; ++k)
        urls->addAction(view_->WebLinkCaption(k), view_, [this, k] { view_->OpenWebLink(k); });
    // Captions follow the registered links each time the menu opens.
    connect(urls, &QMenu::aboutToShow, this, [this, urls] {
        const auto actions = urls->actions();
        for (int k = 0; k < actions.size(); ++k)
            actions[k]->setText(view_->WebLinkCaption(k));
    });
    help->addSeparator();
    help->addAction(QStringLiteral("バージョン情報 Morvane(&A)..."), view_,
                    &form::CMorvaneView::OpenAbout);
}

void CMainFrame::CreateFileMenu() {
    auto* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("fileMenu"));
    file->addAction(QStringLiteral("新規作成(&N)"), QKeySequence(Qt::CTRL | Qt::Key_N), this,
                    [this] {
                        if (MaySaveModified())
                            NewFile();
                    });
    file->addAction(QStringLiteral("開く..(&O)."), QKeySequence(Qt::CTRL | Qt::Key_O), this,
                    [this] {
                        if (!MaySaveModified())
                            return;
                        const QString path = prompter_.OpenFileName(this);
                        if (!path.isEmpty())
                            OpenFile(path);
                    });
    file->addAction(QStringLiteral("上書き保存(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S), this,
                    &CMainFrame::Save);
    file->addAction(QStringLiteral("名前を付けて保存(&A)..."), this, &CMainFrame::SaveAs);
    file->addSeparator();
    recentMenu_ = file->addMenu(QStringLiteral("最近使ったファイル"));
    recentMenu_->setObjectName(QStringLiteral("recentMenu"));
    UpdateRecentMenu();
    file->addSeparator();
    file->addAction(QStringLiteral("アプリケーションの終了(&X)"), this, &QWidget::close);
}

bool CMainFrame::OpenFile(const QString& path) {
    if (!view_->OpenSettingsFile(path))
        return false;
    currentFile_ = path;
    AddRecent(path);
    return true;
}

void CMainFrame::NewFile() {
    view_->NewSettings();
    currentFile_.clear();
}

bool CMainFrame::Save() {
    return currentFile_.isEmpty() ? SaveAs() : SaveTo(currentFile_);
}

bool CMainFrame::SaveAs() {
    const QString path = prompter_.SaveFileName(this, currentFile_);
    return !path.isEmpty() && SaveTo(path);
}

bool CMainFrame::SaveTo(const QString& path) {
    if (!view_->SaveSettingsFile(path))
        return false;
    currentFile_ = path;
    AddRecent(path);
    return true;
}

bool CMainFrame::MaySaveModified() {
    if (!view_->Station().Document().IsModified())
        return true;
    const QString name =
        currentFile_.isEmpty() ? QStringLiteral("無題") : QFileInfo(currentFile_).fileName();
    switch (
        prompter_.AskYesNoCancel(this, QStringLiteral("%1 への変更を保存しますか?").arg(name))) {
        case form::Prompter::Answer::Yes:
            return Save();
        case form::Prompter::Answer::No:
            return true;
        case form::Prompter::Answer::Cancel:
            break;
    }
    return false;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!MaySaveModified()) {
        event->ignore();
        return;
    }
    WritePlacement();
    view_->Shutdown();
    event->accept();
}

QStringList CMainFrame::RecentFiles() const {
    return profile_.value(QStringLiteral("Recent File List")).toStringList();
}

void CMainFrame::AddRecent(const QString& path) {
    QStringList files = RecentFiles();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > kRecentFileCount)
        files.removeLast();
    profile_.setValue(QStringLiteral("Recent File List"), files);
    UpdateRecentMenu();
}

void CMainFrame::UpdateRecentMenu() {
    recentMenu_->clear();
    const QStringList files = RecentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), this, [this, path] {
            if (MaySaveModified())
                OpenFile(path);
        });
    }
    recentMenu_->setEnabled(!files.isEmpty());
}

void CMainFrame::ReadPlacement() {
    QtProfile profile(profile_);
    const auto placement = settings::ReadWindowPlacement(profile);
    move(placement.Left, placement.Top);
    // The form does not grow with the frame, so a first start fits the
    // frame to it rather than to the stored default height.
    if (profile.ReadInt(settings::kPlacementSection, "bottom"))
        resize(placement.Width, placement.Height);
    else
        resize(sizeHint().expandedTo(QSize(placement.Width, 0)));
}

void CMainFrame::WritePlacement() {
    if (isMinimized())
        return;
    QtProfile profile(profile_);
    const QRect r = frameGeometry();
    settings::WriteWindowPlacement(profile, r.left(), r.top(), r.right() + 1, r.bottom() + 1);
}

}  // namespace morvane::app
