#include "windows/splash_window.h"

#include "store/table_of_contents.h"
#include "windows/main_window.h"
#include "windows/message_boxes.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

namespace vastrel {

SplashWindow::SplashWindow(const Workspace &workspace, MessageService &messages, DocumentDelivery &delivery,
                           QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_workspace(workspace)
    , m_messages(messages)
    , m_delivery(delivery)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(programCaption());
    setFixedSize(420, 430);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(199, 231, 188));
    setPalette(palette);
    setAutoFillBackground(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 14);
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    // From the program's resources (app/), linked as objects so they register themselves.
    picture->setPixmap(QPixmap(QStringLiteral(":/splash.jpg")));
    picture->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture, 1);

    QFont font = this->font();
    font.setBold(true);
    font.setPointSize(10);
    const char16_t *lines[] = {u"Управление информатизации университета Тавер",
                               u"Разработчик: отдел программных систем", u"2008 – 2026"};
    int index = 1;
    for (const char16_t *text : lines) {
        auto *label = new QLabel(QString::fromUtf16(text), this);
        label->setObjectName(QStringLiteral("Label%1").arg(index++));
        label->setFont(font);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        QPalette yellow = label->palette();
        yellow.setColor(QPalette::WindowText, QColor(255, 255, 0));
        label->setPalette(yellow);
        layout->addWidget(label);
    }

    // The base's missing table of contents is told once at start-up, not
    // only when the operations window first opens; start-up goes on.
    runAction(m_messages, [&] {
        (void)readToc(m_workspace, OpenFailure::CannotOpen);
        return Outcome::done();
    });

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(1500);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &SplashWindow::openMainWindow);
    m_timer->start();
}

void SplashWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    QCoreApplication::quit();
}

void SplashWindow::openMainWindow()
{
    m_timer->stop();
    auto *mainWindow = new MainWindow(m_workspace, m_messages, m_delivery, this);
    if (auto *boxes = dynamic_cast<MessageBoxes *>(&m_messages))
        boxes->setParent(mainWindow);
    mainWindow->setAttribute(Qt::WA_DeleteOnClose, false);
    mainWindow->exec();
    close();
}

} // namespace vastrel
