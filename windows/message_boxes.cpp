#include "windows/message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace vastrel {

namespace {

// Lines of a box's text beyond which the rest goes into the details, and
// the longest line the box shows whole.
constexpr int MostLines = 30;
constexpr int LongestLine = 160;

void giveFocusBack(QWidget *window)
{
    if (window && window->isVisible()) {
        window->raise();
        window->activateWindow();
    }
}

} // namespace

QString programCaption()
{
    return QStringLiteral("Вастрель - Тавер");
}

std::unique_ptr<QMessageBox> messageBox(MessageKind kind, const QString &text, QWidget *parent)
{
    // Message texts use CR LF; a box shows LF alone the same way.
    QString whole = text;
    whole.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = whole.split(QLatin1Char('\n'));

    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int lineHeight = QFontMetrics(QApplication::font()).lineSpacing();
    // Room for the title, the buttons and the note about the rest.
    const int roomForLines =
        screen ? (screen->availableGeometry().height() - 8 * lineHeight - 120) / lineHeight : MostLines;
    const int shownLines = std::clamp(roomForLines, 5, MostLines);

    bool cut = false;
    const qsizetype total = lines.size();
    if (total > shownLines) {
        lines = lines.mid(0, shownLines - 2);
        lines.append(QStringLiteral("…"));
        lines.append(QStringLiteral("Показаны первые %1 строк из %2; весь текст — в подробностях.")
                         .arg(shownLines - 2)
                         .arg(total));
        cut = true;
    }
    for (QString &line : lines) {
        if (line.size() > LongestLine) {
            line = line.left(LongestLine - 1) + QStringLiteral("…");
            cut = true;
        }
    }

    const QMessageBox::Icon icon = kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Information;
    auto box =
        std::make_unique<QMessageBox>(icon, programCaption(), lines.join(QLatin1Char('\n')), QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    if (cut)
        box->setDetailedText(whole);
    return box;
}

int runModal(QDialog &dialog)
{
    const QPointer<QWidget> opener =
        dialog.parentWidget() ? dialog.parentWidget()->window() : QApplication::activeWindow();
    const int result = dialog.exec();
    giveFocusBack(opener);
    return result;
}

QWidget *MessageBoxes::parentForBox() const
{
    if (m_parent)
        return m_parent.data();
    // Right after a dialog closed no window is active yet: the modal window
    // under it is the one the box belongs to.
    if (QWidget *active = QApplication::activeWindow())
        return active;
    return QApplication::activeModalWidget();
}

void MessageBoxes::show(MessageKind kind, const QString &text)
{
    const std::unique_ptr<QMessageBox> box = messageBox(kind, text, parentForBox());
    runModal(*box);
}

bool MessageBoxes::ask(const QString &question)
{
    QMessageBox box(QMessageBox::Question, programCaption(), question, QMessageBox::NoButton, parentForBox());
    QPushButton *yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    runModal(box);
    return box.clickedButton() == yes;
}

} // namespace vastrel
