#include "domain/error.h"
#include "support/recording_messages.h"
#include "support/scripted_delivery.h"
#include "support/temp_workspace.h"
#include "support/typing.h"
#include "windows/deletion_dialog.h"
#include "windows/drive_list.h"
#include "windows/operations_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <iostream>

using namespace vastrel;
using namespace vastrel::test;

namespace {

const QString SmetaDir = QStringLiteral("../Vastrel/smetas/");

struct Operations
{
    TempWorkspace ws;
    RecordingMessages messages;
    EstimateWindow mainWindow;
    QStringList lines = {QStringLiteral("101|Кафедра|курсы"), QStringLiteral("102|Лаборатория|"),
                         QStringLiteral("000|Сводная|")};
    ScriptedDelivery delivery;
    std::unique_ptr<OperationsDialog> window;

    explicit Operations(bool withToc = true)
    {
        if (withToc)
            ws.writeToc(lines);
        for (int i = 0; i < lines.size(); ++i)
            ws.write(SmetaDir + lines.at(i).section(QLatin1Char('|'), 1, 1) + QStringLiteral(".xml"),
                     QByteArray(3000 + i, char('a' + i)));
        mainWindow.selectorItems = {QStringLiteral("что-то старое")};
        open();
    }
    void open()
    {
        window = std::make_unique<OperationsDialog>(ws.workspace(), mainWindow, messages, delivery);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    QListView *list() const { return window->findChild<QListView *>(QStringLiteral("ListBox1")); }
    int count() const { return list()->model()->rowCount(); }
    qsizetype selectedCount() const { return list()->selectionModel()->selectedRows().size(); }
    QPushButton *button(const char *name) const
    {
        auto *button = window->findChild<QPushButton *>(QString::fromLatin1(name));
        EXPECT_NE(button, nullptr) << name;
        return button;
    }
    QComboBox *drive() const { return window->findChild<QComboBox *>(QStringLiteral("ComboBox1")); }
    QStringList items() const
    {
        QStringList texts;
        for (int i = 0; i < count(); ++i)
            texts.append(list()->model()->index(i, 0).data().toString());
        return texts;
    }
    // Clicks the entry as the user does; Ctrl+click toggles it, Shift+click extends to it.
    void toggle(int row, Qt::KeyboardModifiers keys = Qt::ControlModifier) const
    {
        const QRect rect = list()->visualRect(list()->model()->index(row, 0));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, keys, rect.center());
    }
    void typeDrive(const QString &text) const
    {
        drive()->lineEdit()->clear();
        QTest::keyClicks(drive()->lineEdit(), text);
    }
};

// Answers the confirmation window once it is up (it runs modally inside the click).
void answerConfirmation(QWidget *owner, const char *buttonName, QString *seenTitle)
{
    QTimer::singleShot(10, owner, [=] {
        auto *confirmation = owner->findChild<DeletionDialog *>();
        if (!confirmation || !confirmation->isVisible()) {
            answerConfirmation(owner, buttonName, seenTitle);
            return;
        }
        *seenTitle = confirmation->windowTitle();
        confirmation->findChild<QPushButton *>(QString::fromLatin1(buttonName))->click();
    });
}

TEST(OperationsWindow, OpensWithTheTableOfContentsAndItsControls)
{
    Operations ops;
    EXPECT_EQ(ops.window->windowTitle(), QStringLiteral("Операции со сметами"));
    EXPECT_EQ(ops.window->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
              QStringLiteral("Для совершения операции со сметами, сначала выделите сметы:"));
    EXPECT_EQ(ops.items(), ops.lines);
    EXPECT_TRUE(ops.selectedCount() == 0);
    EXPECT_EQ(ops.list()->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(ops.list()->font().bold());
    if (QFontDatabase::families().isEmpty())
        std::cout << "[   NOTE   ] no fonts on this platform: the captions' widths are not checked\n";
    const QList<std::pair<const char *, const char *>> captions = {{"Button4", "удалить смету"},
                                                                   {"Button1", "сложить сметы"},
                                                                   {"Button5", "экспорт сводной сметы в Excel"},
                                                                   {"Button3", "загрузить для Гемтар на дискету"},
                                                                   {"Button6", "восстановление оглавления базы "},
                                                                   {"Button9", "загрузить для Гемтар на флешку "},
                                                                   {"Button10", "принять сметы с носителя"},
                                                                   {"Button2", "выход"}};
    for (const auto &[name, caption] : captions) {
        QPushButton *button = ops.button(name);
        EXPECT_EQ(button->text().remove(QLatin1Char('&')), QString::fromUtf8(caption));
        // Every caption fits its button. Qt's offscreen platform finds no font under Wine: no metrics to check.
        if (!QFontDatabase::families().isEmpty()) {
            EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text())) << name;
        }
    }
    EXPECT_TRUE(ops.drive()->isEditable());
    EXPECT_EQ(ops.drive()->currentText(), QStringLiteral("адрес флешки"));
#ifdef Q_OS_WIN
    EXPECT_EQ(ops.drive()->itemText(0), QStringLiteral("C"));
    EXPECT_EQ(ops.drive()->itemText(22), QStringLiteral("Z"));
#else
    // Letters mean nothing here: the media the system has mounted, then any folder.
    EXPECT_EQ(ops.drive()->findText(QStringLiteral("C")), -1);
    EXPECT_EQ(ops.drive()->itemText(ops.drive()->count() - 1), DriveList::otherFolderItem());
#endif
    EXPECT_TRUE(ops.messages.all().isEmpty());

    // The lines are records of the base, not text to edit in place.
    const QRect second = ops.list()->visualRect(ops.list()->model()->index(1, 0));
    QTest::mouseDClick(ops.list()->viewport(), Qt::LeftButton, {}, second.center());
    QTest::keyClick(ops.list(), Qt::Key_F2);
    EXPECT_EQ(ops.list()->findChild<QLineEdit *>(), nullptr);
}

TEST(OperationsWindow, MissingTableOfContentsLeavesTheListEmpty)
{
    Operations ops(false);
    EXPECT_EQ(ops.count(), 0);
    ASSERT_EQ(ops.messages.all().size(), 1);
    EXPECT_EQ(ops.messages.all().at(0).kind, MessageKind::Error);
    EXPECT_TRUE(ops.messages.last().startsWith(QStringLiteral("Cannot open file \"departments.txt\". ")));
}

TEST(OperationsWindow, DeletionChecksTheSelectionFirst)
{
    Operations ops;
    ops.button("Button4")->click();
    ops.toggle(0);
    ops.toggle(2);
    EXPECT_EQ(ops.selectedCount(), 2);
    ops.button("Button4")->click();
    EXPECT_EQ(ops.messages.texts(), (QStringList{QStringLiteral("Выделите сметы для удаления!"),
                                                 QStringLiteral("Выделено больше, чем одна смета для удаления!")}));
    EXPECT_EQ(ops.items(), ops.lines);
    EXPECT_EQ(ops.window->findChild<DeletionDialog *>(), nullptr);
}

TEST(OperationsWindow, ConfirmedDeletionRefillsBothLists)
{
    Operations ops;
    ops.toggle(1);
    QString title;
    answerConfirmation(ops.window.get(), "Button1", &title);
    ops.button("Button4")->click();
    EXPECT_EQ(title, QStringLiteral("35"));
    const QStringList kept = {ops.lines.at(0), ops.lines.at(2)};
    EXPECT_EQ(ops.ws.read(QStringLiteral("departments.txt")), crlf(kept));
    EXPECT_FALSE(ops.ws.exists(SmetaDir + QStringLiteral("Лаборатория.xml")));
    EXPECT_EQ(ops.items(), kept);
    EXPECT_TRUE(ops.selectedCount() == 0);
    EXPECT_EQ(ops.mainWindow.selectorItems, kept);
    EXPECT_EQ(ops.mainWindow.selectorIndex, -1);
    EXPECT_TRUE(ops.messages.all().isEmpty());
    // The confirmation window is gone with its answer.
    EXPECT_EQ(ops.window->findChild<DeletionDialog *>(), nullptr);
}

TEST(OperationsWindow, DeclinedDeletionChangesNothing)
{
    Operations ops;
    ops.toggle(0);
    QString title;
    answerConfirmation(ops.window.get(), "Button2", &title);
    ops.button("Button4")->click();
    EXPECT_EQ(title, QStringLiteral("35"));
    EXPECT_EQ(ops.ws.read(QStringLiteral("departments.txt")), crlf(ops.lines));
    EXPECT_TRUE(ops.ws.exists(SmetaDir + QStringLiteral("Кафедра.xml")));
    EXPECT_EQ(ops.items(), ops.lines);
    EXPECT_EQ(ops.selectedCount(), 1);
    EXPECT_TRUE(ops.messages.all().isEmpty());
}

TEST(ConfirmationWindow, AsksAndHasYesLeftOfNo)
{
    DeletionDialog confirmation;
    confirmation.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&confirmation));
    EXPECT_EQ(confirmation.windowTitle(), QStringLiteral("35"));
    auto *text = confirmation.findChild<QLabel *>();
    EXPECT_EQ(text->text(), QStringLiteral("Внимание указанные сметы будут удалены из базы навсегда. "
                                           "Вы действительно хотите удалить сметы из системы?"));
    EXPECT_TRUE(text->wordWrap());
    auto *yes = confirmation.findChild<QPushButton *>(QStringLiteral("Button1"));
    auto *no = confirmation.findChild<QPushButton *>(QStringLiteral("Button2"));
    EXPECT_EQ(yes->text().remove(QLatin1Char('&')), QStringLiteral("да"));
    EXPECT_EQ(no->text().remove(QLatin1Char('&')), QStringLiteral("нет"));
    EXPECT_LT(yes->geometry().right(), no->geometry().left());
    QTest::keyClick(&confirmation, Qt::Key_Return);
    EXPECT_EQ(confirmation.result(), QDialog::Rejected);
}

TEST(OperationsWindow, CopiesToTheFlashDriveTypedInTheDriveList)
{
    Operations ops;
    QTemporaryDir stick;
    // Picked out of order, copied in the list's order.
    ops.toggle(2);
    ops.toggle(0);
    ops.toggle(1);
    const FolderAsDrive drive(stick.path());
    if (!drive.usable())
        GTEST_SKIP() << "a drive letter defined for the folder (DefineDosDevice) does not reach it under Wine";
    ops.typeDrive(drive.designation());
    ops.button("Button9")->click();
    EXPECT_EQ(ops.messages.texts(), (QStringList{QStringLiteral("Смета Кафедра скопирована!"),
                                                 QStringLiteral("Смета Лаборатория скопирована!"),
                                                 QStringLiteral("Смета Сводная скопирована!"),
                                                 QStringLiteral("Операция копирования смет успешно завершена!")}));
    QFile toc(QDir(stick.path()).filePath(QStringLiteral("departments.txt")));
    ASSERT_TRUE(toc.open(QIODevice::ReadOnly));
    EXPECT_EQ(toc.readAll(), crlf(ops.lines));
    QFile copied(QDir(stick.path()).filePath(QStringLiteral("Сводная.xml")));
    ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
    EXPECT_EQ(copied.readAll(), QByteArray(3002, 'c'));
}

TEST(OperationsWindow, UnusableDriveDesignationsReportTheIoError)
{
    Operations ops;
    ops.toggle(0);
    ops.button("Button9")->click(); // the untouched "адрес флешки"
    ops.typeDrive(QStringLiteral("E"));
    ops.button("Button9")->click();
    EXPECT_EQ(ops.messages.firstLines(), (QStringList{QStringLiteral("I/O error 3"), QStringLiteral("I/O error 21")}));
    // The second line names what the user picked or typed.
    EXPECT_TRUE(ops.messages.all().at(0).text.contains(QStringLiteral("«адрес флешки»")));
    EXPECT_TRUE(ops.messages.all().at(1).text.contains(QStringLiteral("Носитель «E» не готов")));
    for (const RecordingMessages::Message &message : ops.messages.all())
        EXPECT_EQ(message.kind, MessageKind::Error);
}

#ifndef Q_OS_WIN
TEST(OperationsWindow, AnotherFolderIsPickedInADialogAndCopiedTo)
{
    Operations ops;
    QTemporaryDir stick;
    auto *drives = ops.window->findChild<DriveList *>();
    QString folder = stick.path();
    drives->setFolderPicker([&] { return folder; });
    const int other = drives->findText(DriveList::otherFolderItem());
    auto pickOther = [&] {
        drives->setCurrentIndex(other);
        emit drives->activated(other);
    };
    pickOther();
    EXPECT_EQ(drives->currentText(), QDir::toNativeSeparators(stick.path()));
    ops.toggle(1);
    ops.button("Button9")->click();
    EXPECT_EQ(ops.messages.texts().first(), QStringLiteral("Смета Лаборатория скопирована!"));
    EXPECT_TRUE(QFile::exists(QDir(stick.path()).filePath(QStringLiteral("Лаборатория.xml"))));
    // A cancelled dialog leaves no item text to copy to.
    folder.clear();
    pickOther();
    EXPECT_EQ(drives->currentText(), QStringLiteral("адрес флешки"));
}
#endif

TEST(OperationsWindow, CopiesToTheDisketteAndRefusesWithoutSelection)
{
    Operations ops;
    QTemporaryDir diskette;
    ops.window->setDisketteMedium([&] { return Medium::at(diskette.path()); });
    ops.button("Button3")->click();
    EXPECT_EQ(ops.messages.texts(), QStringList{QStringLiteral("Выделите сметы для копирования!")});
    ops.messages.clear();
    ops.toggle(1);
    ops.button("Button3")->click();
    EXPECT_EQ(ops.messages.texts(), (QStringList{QStringLiteral("Смета Лаборатория скопирована!"),
                                                 QStringLiteral("Операция копирования смет успешно завершена!")}));
    EXPECT_TRUE(QFile::exists(QDir(diskette.path()).filePath(QStringLiteral("Лаборатория.xml"))));

    // Picked last, copied first: the list's order, whatever the order of the clicks.
    ops.messages.clear();
    ops.toggle(2);
    ops.toggle(0);
    ops.button("Button3")->click();
    EXPECT_EQ(ops.messages.texts().mid(0, 3), (QStringList{QStringLiteral("Смета Кафедра скопирована!"),
                                                           QStringLiteral("Смета Лаборатория скопирована!"),
                                                           QStringLiteral("Смета Сводная скопирована!")}));

    ops.messages.clear();
    ops.window->setDisketteMedium([] { return Medium::failing(IoCode::NotReady); });
    ops.button("Button3")->click();
    EXPECT_EQ(ops.messages.firstLines(), QStringList{QStringLiteral("I/O error 21")});
}

TEST(OperationsWindow, RebuildRefillsBothLists)
{
    Operations ops;
    ops.ws.write(SmetaDir + QStringLiteral("Архив.xml.bak"), "old");
    QDir(ops.ws.baseDir()).mkdir(QStringLiteral("Старые"));
    ops.toggle(0);
    // "нет" leaves the table of contents as it was.
    const QByteArray before = ops.ws.read(QStringLiteral("departments.txt"));
    ops.button("Button6")->click();
    EXPECT_EQ(ops.messages.questions.size(), 1);
    EXPECT_EQ(ops.ws.read(QStringLiteral("departments.txt")), before);
    ops.messages.answers = {true};
    ops.button("Button6")->click();
    const QStringList rebuilt = {QStringLiteral("001|Архив|"), QStringLiteral("002|Кафедра|"),
                                 QStringLiteral("003|Лаборатория|"), QStringLiteral("004|Сводная|"),
                                 QStringLiteral("005||")};
    EXPECT_EQ(ops.ws.read(QStringLiteral("departments.txt")), crlf(rebuilt));
    EXPECT_EQ(ops.items(), rebuilt);
    EXPECT_TRUE(ops.selectedCount() == 0);
    EXPECT_EQ(ops.mainWindow.selectorItems, rebuilt);
    EXPECT_TRUE(ops.messages.all().isEmpty());
}

TEST(OperationsWindow, SummingRefillsBothListsAndExportKeepsTheWindowOpenWhenNothingIsWritten)
{
    Operations ops;
    // Another change to the table of contents shows after the summing button too.
    ops.ws.writeToc({ops.lines.at(0)});
    ops.button("Button1")->click();
    EXPECT_EQ(ops.items(), QStringList{ops.lines.at(0)});
    EXPECT_EQ(ops.mainWindow.selectorItems, QStringList{ops.lines.at(0)});

    ops.button("Button5")->click();
    EXPECT_TRUE(ops.window->isVisible());
    ops.button("Button2")->click();
    EXPECT_FALSE(ops.window->isVisible());
}

TEST(OperationsWindow, ShiftClickSelectsARangeAndCtrlClickTogglesOne)
{
    Operations ops;
    ops.toggle(0, Qt::NoModifier);
    ops.toggle(2, Qt::ShiftModifier);
    EXPECT_EQ(ops.selectedCount(), 3);
    ops.toggle(1);
    EXPECT_EQ(ops.selectedCount(), 2);
}

TEST(OperationsWindow, CancellingTheExportKeepsTheWindowAndItsSelection)
{
    Operations ops;
    ops.toggle(2);
    ops.button("Button5")->click(); // the scripted save dialog is cancelled
    EXPECT_TRUE(ops.window->isVisible());
    EXPECT_EQ(ops.selectedCount(), 1);
}

TEST(OperationsWindow, TheSearchFieldNarrowsTheListAndEscapeClearsIt)
{
    Operations ops;
    auto *search = ops.window->findChild<QLineEdit *>(QStringLiteral("SearchEdit"));
    ASSERT_NE(search, nullptr);
    ops.toggle(0);
    ops.toggle(1);
    search->setFocus();
    QTest::keyClicks(search, QStringLiteral("10"));
    EXPECT_EQ(ops.items(), (QStringList{ops.lines.at(0), ops.lines.at(1)}));
    test::typeText(search, QStringLiteral("2"));
    EXPECT_EQ(ops.items(), QStringList{ops.lines.at(1)});
    EXPECT_EQ(ops.selectedCount(), 1);
    // The operations work on the line the narrowed list shows, not on its row.
    QTemporaryDir stick;
    const FolderAsDrive drive(stick.path());
    if (!drive.usable())
        GTEST_SKIP() << "a drive letter defined for the folder (DefineDosDevice) does not reach it under Wine";
    ops.typeDrive(drive.designation());
    ops.button("Button9")->click();
    EXPECT_EQ(ops.messages.texts().first(), QStringLiteral("Смета Лаборатория скопирована!"));
    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_TRUE(search->text().isEmpty());
    EXPECT_EQ(ops.items(), ops.lines);
    EXPECT_TRUE(ops.window->isVisible());
}

TEST(OperationsWindow, TheConfirmationNamesTheEstimateAndTheSelectorKeepsItsEstimate)
{
    Operations ops;
    ops.mainWindow.selectorItems = ops.lines;
    ops.mainWindow.selectorIndex = 2;
    ops.toggle(1);
    QString names;
    QTimer::singleShot(10, ops.window.get(), [&] {
        auto *confirmation = ops.window->findChild<DeletionDialog *>();
        ASSERT_NE(confirmation, nullptr);
        names = confirmation->findChild<QLabel *>(QStringLiteral("Label2"))->text();
        confirmation->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
    });
    ops.button("Button4")->click();
    EXPECT_EQ(names, QStringLiteral("Будет удалено: «Лаборатория»"));
    EXPECT_EQ(ops.mainWindow.selectorItems, (QStringList{ops.lines.at(0), ops.lines.at(2)}));
    EXPECT_EQ(ops.mainWindow.selectedLine(), ops.lines.at(2));
}

} // namespace
