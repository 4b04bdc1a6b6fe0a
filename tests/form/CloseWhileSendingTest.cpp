// Closing the window in the middle of a call: the frame closes at once and
// the keyer board is left with the key up and PTT off, whatever element was
// on the wire. The real devices as the program builds them, the board on a
// pseudo-terminal.
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>

#include "../platform/TestSupport.h"
#include "FakePrompter.h"
#include "app/CMainFrame.h"
#include "app/SystemDevices.h"
#include "form/Fonts.h"

namespace morvane::form::test {

namespace {

// The board's letters (key 'a' down, 'b' up; PTT 'd' on, 'e' off), each
// followed by two zero bytes on the wire.
std::string Letters(const std::string& wire) {
    std::string letters;
    for (std::size_t i = 0; i < wire.size(); i += 3)
        letters += wire[i];
    return letters;
}

}  // namespace

class CloseWhileSendingTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { InstallFontFallbacks(); }

    void closingMidCallReleasesTheBoard() {
        // The real sound system is opened: its plugins' allocations are not ours.
        [[maybe_unused]] const morvane::test::ForeignLeaksIgnored ignoreForeignLeaks;
        morvane::test::PtyPair board;
        QTemporaryDir config;
        QSettings profile(config.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
        FakePrompter prompter;
        prompter.Answers = {Prompter::Answer::No, Prompter::Answer::No};
        app::SystemDevices devices(true);
        auto frame = std::make_unique<app::CMainFrame>(devices.Config(), prompter, profile);
        frame->View().Start();
        frame->show();
        station::Station& station = frame->View().Station();
        station.SelectKeyLine("UNO");
        station.SelectKeyPort(board.Slave());
        const std::string opened = Letters(board.ReadFor(200));
        QVERIFY2(opened.starts_with("b"), opened.c_str());  // opened released

        station.AppendTransmit("CQ CQ CQ DE JA1ABC JA1ABC JA1ABC PSE K ");
        std::string wire;
        const auto start = std::chrono::steady_clock::now();
        // Until the third key-down, so the close lands inside the call.
        while (std::count(wire.begin(), wire.end(), 'a') < 3 &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
            QTest::qWait(20);
            wire += board.ReadFor(10);
        }
        QVERIFY2(std::count(wire.begin(), wire.end(), 'a') >= 3, Letters(wire).c_str());

        const auto closing = std::chrono::steady_clock::now();
        QVERIFY(frame->close());
        QVERIFY(std::chrono::steady_clock::now() - closing < std::chrono::seconds(3));
        wire += board.ReadFor(300);
        frame.reset();
        wire += board.ReadFor(100);

        const std::string letters = Letters(wire);
        const auto lastKey = letters.find_last_of("ab");
        const auto lastPtt = letters.find_last_of("de");
        QVERIFY2(lastKey != std::string::npos && letters[lastKey] == 'b', letters.c_str());
        QVERIFY2(lastPtt != std::string::npos && letters[lastPtt] == 'e', letters.c_str());
    }
};

}  // namespace morvane::form::test

QTEST_MAIN(morvane::form::test::CloseWhileSendingTest)
#include "CloseWhileSendingTest.moc"
