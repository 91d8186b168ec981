#include "windows/message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace vastrel {

QString programCaption()
{
    return QStringLiteral("Вастрель - Тавер");
}

void MessageBoxes::show(MessageKind kind, const QString &text)
{
    QWidget *parent = m_parent ? m_parent.data() : QApplication::activeWindow();
    // Message texts use CR LF; a box shows LF alone the same way.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (kind == MessageKind::Error)
        QMessageBox::critical(parent, programCaption(), shown);
    else
        QMessageBox::information(parent, programCaption(), shown);
}

bool MessageBoxes::ask(const QString &question)
{
    QMessageBox box(QMessageBox::Question, programCaption(), question, QMessageBox::NoButton,
                    m_parent ? m_parent.data() : QApplication::activeWindow());
    QPushButton *yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace vastrel
