#include "support/recording_messages.h"
#include "support/scripted_delivery.h"
#include "support/temp_workspace.h"

#include "windows/deletion_dialog.h"
#include "windows/new_estimate_dialog.h"
#include "windows/operations_dialog.h"
#include "windows/settings_dialog.h"
#include "windows/splash_window.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

using namespace vastrel;
using namespace vastrel::test;

namespace {

// Tab stops as Tab visits them: the focus chain's widgets that take focus by
// Tab, are shown and enabled; a widget whose focus goes elsewhere is skipped.
QList<QWidget *> focusChain(QWidget *window)
{
    QList<QWidget *> stops;
    for (QWidget *w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled() && !w->focusProxy())
            stops.append(w);
    }
    return stops;
}

// The same widgets in reading order: rows from top to bottom (tops a few
// pixels apart still share a row), left to right within a row.
QList<QWidget *> readingOrder(QWidget *window, QList<QWidget *> widgets)
{
    const auto at = [window](QWidget *w) { return w->mapTo(window, QPoint(0, 0)); };
    std::stable_sort(widgets.begin(), widgets.end(), [&](QWidget *a, QWidget *b) { return at(a).y() < at(b).y(); });
    for (qsizetype row = 0; row < widgets.size();) {
        qsizetype end = row + 1;
        while (end < widgets.size() && at(widgets.at(end)).y() - at(widgets.at(row)).y() <= 8)
            ++end;
        std::stable_sort(widgets.begin() + row, widgets.begin() + end,
                         [&](QWidget *a, QWidget *b) { return at(a).x() < at(b).x(); });
        row = end;
    }
    return widgets;
}

std::string names(const QList<QWidget *> &widgets)
{
    QStringList result;
    for (QWidget *w : widgets)
        result.append(w->objectName());
    return result.join(QLatin1Char(' ')).toStdString();
}

TEST(TabOrder, FollowsTheVisualOrderInEveryDialog)
{
    TempWorkspace ws;
    ws.writeToc({QStringLiteral("101|Кафедра|")});
    RecordingMessages messages;
    ScriptedDelivery delivery;
    EstimateWindow mainWindow;
    const std::pair<const char *, std::function<QWidget *()>> windows[] = {
        {"Form1", [&] { return new SplashWindow(ws.workspace(), messages, delivery); }},
        {"Form3", [&] { return new NewEstimateDialog(ws.workspace(), mainWindow, messages); }},
        {"Form5", [&] { return new OperationsDialog(ws.workspace(), mainWindow, messages, delivery); }},
        {"Form6", [&] { return new SettingsDialog(ws.workspace(), messages); }},
        {"Form7", [&] { return new DeletionDialog; }},
    };
    for (const auto &[name, make] : windows) {
        std::unique_ptr<QWidget> window(make());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get())) << name;
        const QList<QWidget *> chain = focusChain(window.get());
        const QList<QWidget *> seen = readingOrder(window.get(), chain);
        EXPECT_EQ(chain, seen) << name << ": " << names(chain) << " / " << names(seen);
    }
}

} // namespace
