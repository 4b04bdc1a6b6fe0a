#include "app/CMorvaneApp.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <utility>

#include "form/Fonts.h"

namespace morvane::app {

namespace {

// Calls `done` once, on the event loop's next turn after the watched
// widget's first paint event.
class FirstPaint final : public QObject {
  public:
    FirstPaint(QObject* parent, std::function<void()> done)
        : QObject(parent), done_(std::move(done)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && done_) {
            QTimer::singleShot(0, this, std::exchange(done_, {}));
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> done_;
};

}  // namespace

CMorvaneApp::CMorvaneApp(int& argc, char** argv) : qt_(argc, argv) {
    QApplication::setOrganizationName(QStringLiteral("MRVN_Reg"));
    QApplication::setApplicationName(QStringLiteral("Morvane"));
    QApplication::setDesktopFileName(QStringLiteral("morvane"));
    form::InstallFontFallbacks();
    QApplication::setFont(form::FormFont(form::kFormFamily, 9));
    profile_ = std::make_unique<QSettings>();
}

CMorvaneApp::~CMorvaneApp() {
    frame_.reset();
    devices_.reset();
}

int CMorvaneApp::Run() {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Morvane CW station"));
    parser.addHelpOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Start on the demo contact."));
    const QCommandLineOption grab(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the window after SECONDS and quit."),
        QStringLiteral("FILE.png"));
    const QCommandLineOption grabAfter(QStringLiteral("screenshot-after"),
                                       QStringLiteral("Seconds before the picture."),
                                       QStringLiteral("SECONDS"), QStringLiteral("20"));
    const QCommandLineOption startupTime(
        QStringLiteral("startup-time"),
        QStringLiteral("Print the time to a shown window and quit."));
    const QCommandLineOption keyMode(QStringLiteral("key-mode"),
                                     QStringLiteral("Key Mode to start in."),
                                     QStringLiteral("english|direct|ime|kana"));
    parser.addOptions({demo, grab, grabAfter, startupTime, keyMode});
    parser.addPositionalArgument(QStringLiteral("FILE.mrvn"), QStringLiteral("Settings to open."));
    parser.process(qt_);

    devices_ = std::make_unique<SystemDevices>(parser.isSet(demo));
    frame_ = std::make_unique<CMainFrame>(devices_->Config(), prompter_, *profile_);
    frame_->View().Start();
    frame_->show();
    const QStringList modes = {QStringLiteral("english"), QStringLiteral("direct"),
                               QStringLiteral("ime"), QStringLiteral("kana")};
    if (parser.isSet(keyMode))
        frame_->View().SelectKeyMode(static_cast<int>(modes.indexOf(parser.value(keyMode))));
    if (!parser.positionalArguments().isEmpty())
        frame_->OpenFile(parser.positionalArguments().front());

    if (parser.isSet(startupTime)) {
        // Shown means painted: the first paint of the frame, and the rest of
        // that pass (the children paint after it) before the time is read.
        auto* firstPaint = new FirstPaint(frame_.get(), [this, sinceStart] {
            std::printf("shown after %lld ms\n", static_cast<long long>(sinceStart.elapsed()));
            std::fflush(stdout);
            frame_->close();
        });
        frame_->installEventFilter(firstPaint);
    }
    if (parser.isSet(grab)) {
        const QString file = parser.value(grab);
        QTimer::singleShot(
            static_cast<int>(parser.value(grabAfter).toDouble() * 1000), &qt_, [this, file] {
                const bool saved = frame_->grab().save(file);
                std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "saved" : "could not save",
                             file.toLocal8Bit().constData());
                frame_->close();
            });
    }
    return qt_.exec();
}

}  // namespace morvane::app
