#include "support/recording_messages.h"
#include "support/scripted_delivery.h"
#include "support/temp_workspace.h"

#include "windows/splash_window.h"

#include <QLabel>
#include <QTimer>

#include <gtest/gtest.h>

using namespace vastrel;

namespace {

TEST(Splash, ShowsItsPictureAndOpensTheMainWindowAfter1500Ms)
{
    test::TempWorkspace ws;
    test::RecordingMessages messages;
    test::ScriptedDelivery delivery;
    SplashWindow splash(ws.workspace(), messages, delivery);
    EXPECT_EQ(splash.size(), QSize(420, 430));
    auto *picture = splash.findChild<QLabel *>(QStringLiteral("Image1"));
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->pixmap().isNull());
    auto *timer = splash.findChild<QTimer *>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 1500);
    EXPECT_TRUE(timer->isSingleShot());
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(splash.palette().color(QPalette::Window), QColor(199, 231, 188));
    // A fixed single border: decorated by the window manager, not resizable.
    EXPECT_FALSE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(splash.minimumSize(), splash.maximumSize());
}

TEST(Splash, AMissingTableOfContentsIsToldAtStartUp)
{
    for (const bool listed : {false, true}) {
        test::TempWorkspace ws;
        if (listed)
            ws.writeToc({QStringLiteral("101|Смета|")});
        test::RecordingMessages messages;
        test::ScriptedDelivery delivery;
        SplashWindow splash(ws.workspace(), messages, delivery);
        EXPECT_EQ(messages.all().size(), listed ? 0 : 1) << messages.last().toStdString();
    }
}

} // namespace
