#include "events/LogPopup.h"
#include "platform/gui/OffscreenHarness.h"
#include "tests/events/EventsFixture.h"
#include "tests/shell/EventRecording.h"
#include "tests/support/FifoRead.h"
#include "tests/support/TestPaths.h"

#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace vq {
namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class PopupTest : public test::EventsFixture {
protected:
    // pc7 with one event per level; level i of `levels` reports event i.
    void Configure(std::vector<Level> levels) {
        SaveLevels("Ops", levels);
        SaveDevice("pc7", 2, "10.0.0.7");
        for (const Level& level : levels) {
            CCfgDeviceEvent event = DeviceEvent("pc7");
            event.SetPrimaryLevel(level.name);
            event.SetMessage("Check the uplink");
            SaveEvent(event);
        }
        Start();
        for (std::size_t i = 0; i < levels.size(); ++i)
            EventOf("pc7", int(i)).m_Owner = &Device("pc7");
    }
    void Raise(int event) { Log().RaiseEvent(EventOf("pc7", event), OleDateTime::GetCurrentTime()); }
    EventActive* Entry(int event) { return EventOf("pc7", event).m_ActiveEntry; }
};

TEST_F(PopupTest, AModelessPopupShowsItsTextsAndGoesByOkOrAcknowledgement) {
    Configure({{"Info", false, 0, [](CCfgLogGroupLevel& level) {
                    level.SetReportDialog(true);
                    level.SetDialogType(1);
                    level.SetDialogMessage("Call the network desk");
                }}});
    Raise(0);
    EXPECT_EQ(Entry(0)->m_Popup, nullptr) << "shown once the raising is done";
    Pump();
    LogPopup* popup = Entry(0)->m_Popup;
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(IsWindow(popup->m_hWnd));
    OffscreenHarness::RunUntilIdle();
    const HWND window = popup->m_hWnd;
    const QImage image = OffscreenHarness::Composite(window);
    RECT frame;
    GetWindowRect(window, &frame);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (const UINT id : {LogPopup::kDateTime, LogPopup::kEvent, LogPopup::kObject, LogPopup::kUserText,
                          LogPopup::kLevelText}) {
        SCOPED_TRACE(id);
        RECT field;
        GetWindowRect(GetDlgItem(window, int(id)), &field);
        int drawn = 0;
        for (int y = field.top; y < field.bottom; ++y)
            for (int x = field.left; x < field.right; ++x) {
                const QRgb pixel = image.pixel(x - frame.left, y - frame.top);
                drawn += RGB(qRed(pixel), qGreen(pixel), qBlue(pixel)) != face;
            }
        EXPECT_GT(drawn, 10);
    }
    const std::string shot = test::TestPath("VQ_TEST_OUTPUT_DIR") + "/event-popup.png";
    std::filesystem::remove(shot);
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(window, shot));

    // OK, clicked as a user clicks it.
    RECT ok;
    GetWindowRect(GetDlgItem(window, IDOK), &ok);
    const POINT middle{(ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2};
    OffscreenHarness::MousePress(middle);
    OffscreenHarness::MouseRelease(middle);
    OffscreenHarness::RunUntilIdle();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Entry(0)->m_Popup, nullptr);

    // Acknowledging the entry closes the pop-up of its next announcement.
    Log().Reset(*Entry(0));
    Raise(0);
    Pump();
    ASSERT_NE(Entry(0)->m_Popup, nullptr);
    const HWND second = Entry(0)->m_Popup->m_hWnd;
    Log().Acknowledge(*Entry(0));
    OffscreenHarness::RunUntilIdle();
    EXPECT_FALSE(IsWindow(second));
}

TEST_F(PopupTest, AModalPopupLetsOtherEventsThroughAndItsProgramFollowsItsClose) {
    const std::string fifo = m_Dir.File("done");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string out = m_Dir.File("out.txt");
    const std::string script = m_Dir.File("notify.sh");
    std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" << out << "'\nprintf x > '" << fifo
                          << "'\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    const auto program = [script](const std::string& parameters) {
        return [script, parameters](CCfgLogGroupLevel& level) {
            level.SetReportProgram(true);
            level.SetProgram(script);
            level.SetProgramParameters(parameters);
        };
    };
    const auto modal = program("first [NM]");
    Configure({{"Modal", false, 0,
                [modal](CCfgLogGroupLevel& level) {
                    modal(level);
                    level.SetReportDialog(true);
                    level.SetDialogType(2);
                }},
               {"Plain", false, 0, program("second [NM]")}});
    const auto waitForProgram = [&fifo] {
        ASSERT_TRUE(test::ReadFifo(fifo, std::chrono::seconds(30))) << "the program never ran";
    };

    Raise(0);
    EXPECT_EQ(Entry(0)->m_Popup, nullptr) << "RaiseEvent returns before the pop-up shows";
    bool sawModal = false;
    QTimer::singleShot(0, [&] {
        sawModal = Entry(0) && Entry(0)->m_Popup && Entry(0)->m_Popup->IsModal();
        Raise(1);
        QTimer::singleShot(0, [&] {
            waitForProgram();
            EXPECT_EQ(Read(out), "second pc7\n") << "the other event is notified while the pop-up is open";
            // The clear minutes run out: the entry goes, and the log closes its pop-up.
            for (int minute = 0; minute < 10; ++minute)
                Log().OnMinuteTick();
            EXPECT_EQ(Entry(0), nullptr);
        });
    });
    Pump();
    EXPECT_TRUE(sawModal);
    waitForProgram();
    EXPECT_EQ(Read(out), "second pc7\nfirst pc7\n");
}

} // namespace
} // namespace vq
