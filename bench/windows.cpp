// Times the windows that show whole tables of contents: opening the operations
// window and dropping down the main window's estimate selector, a press of
// "расчет сметы" with the selector full, and a key typed into the search field
// of each. Run from a working directory holding departments.txt and
// nastroiki.txt; prints one "name milliseconds" line each.
#include "windows/document_delivery.h"
#include "windows/main_window.h"
#include "windows/operations_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

class QuietMessages : public vastrel::MessageService
{
public:
    void show(vastrel::MessageKind, const QString &text) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
};

// Lets the window system catch up: layouts, exposure, the first paint.
void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

template<class Work>
void timed(const char *name, Work work)
{
    // Wall and processor time: on a busy machine the second is the steadier.
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpu = std::clock();
    work();
    settle();
    const double cpuMs = double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC;
    std::printf("%s %s %s\n", name, qPrintable(QString::number(double(timer.nsecsElapsed()) / 1e6, 'f', 1)),
                qPrintable(QString::number(cpuMs, 'f', 1)));
}

// Types a search key by key, as a user does, and gives the slowest key: the
// first letter matches every line, the last few only some.
void typed(const char *name, QLineEdit *search)
{
    search->setFocus();
    double slowestWall = 0;
    double slowestCpu = 0;
    for (const QChar key : QStringLiteral("кафедры № 0123")) {
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpu = std::clock();
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(key));
        QApplication::sendEvent(search, &press);
        settle();
        slowestWall = std::max(slowestWall, double(timer.nsecsElapsed()) / 1e6);
        slowestCpu = std::max(slowestCpu, double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC);
    }
    std::fprintf(stderr, "%s: \"%s\"\n", name, qPrintable(search->text()));
    std::printf("%s %s %s\n", name, qPrintable(QString::number(slowestWall, 'f', 1)),
                qPrintable(QString::number(slowestCpu, 'f', 1)));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(search, &escape);
    settle();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const vastrel::Workspace workspace;
    QuietMessages messages;
    vastrel::DesktopDelivery delivery;

    vastrel::MainWindow main(workspace, messages, delivery);
    main.show();
    settle(); // the selector fills from departments.txt once the window is up
    auto *selector = main.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    std::fprintf(stderr, "selector lines: %d\n", selector->count());

    timed("selector_popup", [&] { selector->showPopup(); });
    selector->hidePopup();
    settle();
    timed("calculate_press", [&] { main.findChild<QPushButton *>(QStringLiteral("Button1"))->click(); });

    auto *selectorSearch = main.findChild<QLineEdit *>(QStringLiteral("SearchEdit"));
    typed("selector_search", selectorSearch);

    vastrel::EstimateWindow window = main.readWindow();
    vastrel::OperationsDialog *operations = nullptr;
    timed("operations_window", [&] {
        operations = new vastrel::OperationsDialog(workspace, window, messages, delivery, &main);
        operations->setAttribute(Qt::WA_DeleteOnClose);
        operations->show();
    });
    settle();
    typed("operations_search", operations->findChild<QLineEdit *>(QStringLiteral("SearchEdit")));
    return 0;
}
