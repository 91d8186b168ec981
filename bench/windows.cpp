// Times the windows that show whole tables of contents: opening the operations
// window and dropping down the main window's estimate selector, plus a press of
// "расчет сметы" with the selector full. Run from a working directory holding
// departments.txt and nastroiki.txt; prints one "name milliseconds" line each.
#include "windows/document_delivery.h"
#include "windows/main_window.h"
#include "windows/operations_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>

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

    vastrel::EstimateWindow window = main.readWindow();
    timed("operations_window", [&] {
        auto *operations = new vastrel::OperationsDialog(workspace, window, messages, delivery, &main);
        operations->setAttribute(Qt::WA_DeleteOnClose);
        operations->show();
    });
    return 0;
}
