// The whole program for a minute on the wall clock, as the thread sanitizer
// sees it: the window on the real devices with the paced demo contact on the
// capture thread, the keying timer thread keying a keyer board on a
// pseudo-terminal, HamLog (its stand-in) on the logging link, and the
// operator typing, sending and transferring contacts through the window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <atomic>
#include <thread>

#include "../platform/SoundLibrarySuppressions.h"
#include "../platform/logger/LinkHarness.h"
#include "FakePrompter.h"
#include "app/CMainFrame.h"
#include "app/SystemDevices.h"
#include "form/Fonts.h"
#include "settings/OptionString.h"

// Debian's Qt and the sound libraries PortAudio loads (ALSA, its pulse
// plugin) are not built with the sanitizer: their own locking and atomics
// are invisible to it. Qt's reports count only with Qt's frame innermost,
// so a race in our code called from Qt's event loop still fails the test.
extern "C" const char* __tsan_default_suppressions() {
    return "race_top:libQt6Core.so\n"
           "race_top:libQt6Gui.so\n"
           "race_top:libQt6Widgets.so\n"
           "called_from_lib:libQt6Core.so\n"
           "called_from_lib:libQt6Gui.so\n"
           "called_from_lib:libQt6Widgets.so\n"
           "called_from_lib:libfontconfig.so\n"
           "called_from_lib:libglib-2.0.so\n" MORVANE_SOUND_LIBRARY_SUPPRESSIONS;
}

namespace morvane::form::test {
namespace {

using Clock = std::chrono::steady_clock;

// GoogleTest rather than Qt Test: Qt Test's watchdog thread is itself
// reported, and its frames sit under every test function.
void RunEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(WindowSoak, CaptureKeyingLinksAndWindowTogetherForAMinute) {
    int argc = 1;
    char name[] = "test_form_soak";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    InstallFontFallbacks();
    morvane::test::RuntimeDir runtime;
    morvane::test::SimProcess hamlog(MORVANE_HAMLOG_SIM, {},
                                     (runtime.Path / "hamlog.log").string());
    ASSERT_TRUE(hamlog.Started());
    ASSERT_TRUE(hamlog.WaitReady());

    morvane::test::PtyPair board;
    std::atomic<bool> reading{true};
    std::atomic<std::size_t> boardBytes{0};
    std::thread reader([&] {
        while (reading.load())
            boardBytes += board.ReadFor(50).size();
    });

    QTemporaryDir config;
    QSettings profile(config.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
    FakePrompter prompter;
    app::SystemDevices devices(true);
    auto frame = std::make_unique<app::CMainFrame>(devices.Config(), prompter, profile);
    CMorvaneView& view = frame->View();
    view.Start();
    frame->show();
    station::Station& station = view.Station();
    station.SelectKeyLine("UNO");
    station.SelectKeyPort(board.Slave());
    std::string options(settings::kDefaultOptions);
    options[settings::option::LogSoft] = 'B';
    station.ChangeSetting(common::EntryId::OptionString, options);

    auto* transmit = view.ControlAs<QPlainTextEdit>(1033);
    ASSERT_NE(transmit, nullptr);
    const auto start = Clock::now();
    int round = 0;
    while (Clock::now() - start < std::chrono::seconds(60)) {
        // The window's own timers pump the station meanwhile.
        RunEventsFor(1000);
        switch (++round % 5) {
            case 0:
                transmit->setFocus();
                QTest::keyClicks(transmit, QStringLiteral("CQ TEST "));
                station.AppendTransmit("CQ <DASH4.0>TEST<VK_F6> ");
                break;
            case 1:
                station.ChangeSetting(common::EntryId::QrmFilter, round % 2 ? "QRMON" : "QRMOFF");
                break;
            case 2:
                station.SetField(station::StationField::HisCall, "JA1ABC");
                station.QsoTransfer();
                break;
            case 3:
                station.CaptureCall();
                break;
            default:
                frame->resize(frame->width() + (round % 2 ? 40 : -40), frame->height());
                break;
        }
    }
    const QString received = view.ControlAs<QTextEdit>(1185)->toPlainText();
    frame->close();
    frame.reset();
    reading = false;
    reader.join();

    EXPECT_GT(boardBytes.load(), 30u);
    EXPECT_FALSE(hamlog.Received().empty());
    // Keying pauses receiving and the sanitizer slows the chain: only
    // "something was decoded" is asked of the text.
    EXPECT_FALSE(received.trimmed().isEmpty());
}

}  // namespace
}  // namespace morvane::form::test
