#include "windows/message_boxes.h"

#include <QApplication>
#include <QFontDatabase>
#include <QMessageBox>
#include <QScreen>

#include <gtest/gtest.h>

#include <iostream>

using namespace vastrel;

namespace {

// A report of 20 000 records once made a box taller than any screen, whose
// OK button could not be reached.
TEST(MessageBox, ALongMessageFitsTheScreenAndKeepsTheWholeTextInItsDetails)
{
    QStringList lines = {QStringLiteral("Записи оглавления носителя без файла сметы:")};
    for (int i = 0; i < 20000; ++i)
        lines.append(QStringLiteral("%1|Смета кафедры номер %1|").arg(i, 5, 10, QLatin1Char('0')));
    const QString text = lines.join(QStringLiteral("\r\n"));
    const std::unique_ptr<QMessageBox> box = messageBox(MessageKind::Information, text, nullptr);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(box->sizeHint().height(), available.height());
    // Qt's offscreen platform finds no font under Wine: a width of no font says nothing.
    if (!QFontDatabase::families().isEmpty()) {
        EXPECT_LE(box->sizeHint().width(), available.width());
    } else {
        std::cout << "[   NOTE   ] no fonts on this platform: the box's width is not checked\n";
    }
    EXPECT_TRUE(box->text().startsWith(lines.first()));
    EXPECT_TRUE(box->text().contains(QStringLiteral("из 20001"))) << qPrintable(box->text().right(200));
    EXPECT_EQ(box->detailedText(), lines.join(QLatin1Char('\n')));
}

TEST(MessageBox, AShortMessageIsShownWholeWithoutDetails)
{
    const QString text =
        QStringLiteral("I/O error 21\r\nНоситель «E» не готов: вставьте дискету или флешку и повторите.");
    const std::unique_ptr<QMessageBox> box = messageBox(MessageKind::Error, text, nullptr);
    EXPECT_EQ(box->text(), QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_TRUE(box->detailedText().isEmpty());
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
}

} // namespace
