#include "support/recording_messages.h"
#include "support/temp_workspace.h"
#include "support/typing.h"

#include "windows/code_edit.h"
#include "windows/settings_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace vastrel;
using vastrel::test::RecordingMessages;
using vastrel::test::TempWorkspace;

namespace {

class SettingsWindowTest : public ::testing::Test
{
protected:
    TempWorkspace ws;
    RecordingMessages messages;
    SettingsDialog form{ws.workspace(), messages};

    QLineEdit *field(const char *name) { return form.findChild<QLineEdit *>(QString::fromLatin1(name)); }
    void type(const char *name, const QString &text)
    {
        QLineEdit *edit = field(name);
        ASSERT_NE(edit, nullptr) << name;
        edit->setFocus();
        test::typeText(edit, text);
    }
    void press(const char *name) { form.findChild<QPushButton *>(QString::fromLatin1(name))->click(); }
    QRadioButton *status(int item)
    {
        return form.findChild<QRadioButton *>(QStringLiteral("RadioGroup1_%1").arg(item));
    }
};

TEST_F(SettingsWindowTest, StoreWritesTheTypedTextsAndShowReadsThemBack)
{
    type("Edit1", QStringLiteral("кафедры истории"));
    type("Edit2", QStringLiteral("Заведующий"));
    type("Edit5", QStringLiteral("И.И. Иванов"));
    field("MaskEdit1")->setFocus();
    field("MaskEdit1")->home(false);
    QTest::keyClicks(field("MaskEdit1"), QStringLiteral("007"));
    status(1)->click();
    type("Edit3", QStringLiteral("Бухгалтер"));
    type("Edit4", QStringLiteral("Петрова"));
    press("Button1");
    ASSERT_EQ(messages.all().size(), 1) << messages.last().toStdString();
    EXPECT_EQ(messages.all().first().kind, MessageKind::Information);
    EXPECT_EQ(ws.read(QStringLiteral("nastroiki.txt")),
              test::cp1251(
                  QStringLiteral("кафедры истории\r\nЗаведующий\r\nИ.И. Иванов\r\n007\r\n3\r\nБухгалтер\r\nПетрова")));

    SettingsDialog again(ws.workspace(), messages);
    again.findChild<QPushButton *>(QStringLiteral("Button2"))->click();
    EXPECT_EQ(again.findChild<QLabel *>(QStringLiteral("Panel1"))->text(),
              QStringLiteral("Версия 2.0, последнее изменение 22.03.09"));
    EXPECT_EQ(again.findChild<QLineEdit *>(QStringLiteral("Edit1"))->text(), QStringLiteral("кафедры истории"));
    EXPECT_EQ(again.findChild<CodeEdit *>(QStringLiteral("MaskEdit1"))->code(), QStringLiteral("007"));
    EXPECT_TRUE(again.findChild<QRadioButton *>(QStringLiteral("RadioGroup1_1"))->isChecked());
    EXPECT_EQ(again.findChild<QLineEdit *>(QStringLiteral("Edit4"))->text(), QStringLiteral("Петрова"));
}

TEST_F(SettingsWindowTest, AnUntouchedCodeIsThreeSpacesAndIsRefused)
{
    auto *code = form.findChild<CodeEdit *>(QStringLiteral("MaskEdit1"));
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->code(), QStringLiteral("   "));
    type("Edit1", QStringLiteral("a"));
    type("Edit2", QStringLiteral("b"));
    type("Edit5", QStringLiteral("c"));
    press("Button1");
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Забыли назначить код для подразделения!")});
    EXPECT_FALSE(ws.exists(QStringLiteral("nastroiki.txt")));
}

TEST_F(SettingsWindowTest, APartlyFilledCodeIsNeverStored)
{
    type("Edit1", QStringLiteral("a"));
    type("Edit2", QStringLiteral("b"));
    type("Edit5", QStringLiteral("c"));
    auto *code = form.findChild<CodeEdit *>(QStringLiteral("MaskEdit1"));
    code->setFocus();
    code->home(false);
    QTest::keyClicks(code, QStringLiteral("12"));
    EXPECT_EQ(code->code(), QStringLiteral("12 "));
    EXPECT_TRUE(code->isPartlyFilled());
    press("Button1");
    EXPECT_EQ(messages.texts(), QStringList{CodeEdit::invalidInputMessage()});
    EXPECT_TRUE(CodeEdit::invalidInputMessage().startsWith(
        QStringLiteral("Invalid input value.  Use escape key to abandon changes\n")));
    EXPECT_FALSE(ws.exists(QStringLiteral("nastroiki.txt")));

    // Escape abandons the change.
    QTest::keyClick(code, Qt::Key_Escape);
    EXPECT_EQ(code->code(), QStringLiteral("   "));
}

TEST_F(SettingsWindowTest, EscapeAfterTheRefusalOnLeavingBringsBackTheTextBeforeTheEdit)
{
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    auto *code = form.findChild<CodeEdit *>(QStringLiteral("MaskEdit1"));
    for (const QString &before : {QStringLiteral("   "), QStringLiteral(" 1 "), QStringLiteral("007")}) {
        SCOPED_TRACE(before.toStdString());
        field("Edit5")->setFocus();
        code->setCode(before);
        code->setFocus(Qt::TabFocusReason);
        code->setText(QString());
        code->home(false);
        QTest::keyClicks(code, QStringLiteral("00"));
        messages.clear();
        QTest::keyClick(code, Qt::Key_Tab);
        QTest::qWait(20);
        EXPECT_EQ(messages.texts(), QStringList{CodeEdit::invalidInputMessage()});
        ASSERT_TRUE(code->hasFocus());
        QTest::keyClick(code, Qt::Key_Escape);
        EXPECT_EQ(code->code(), before);
    }
}

TEST_F(SettingsWindowTest, ClickingStoreFromAPartlyFilledCodeRefusesOnce)
{
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    auto *code = form.findChild<CodeEdit *>(QStringLiteral("MaskEdit1"));
    code->setFocus();
    code->home(false);
    QTest::keyClicks(code, QStringLiteral("4"));
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    QTest::qWait(20);
    EXPECT_EQ(messages.texts(), QStringList{CodeEdit::invalidInputMessage()});
    EXPECT_TRUE(code->hasFocus());
    EXPECT_FALSE(ws.exists(QStringLiteral("nastroiki.txt")));
}

TEST_F(SettingsWindowTest, ShowWithoutAFileKeepsTheFields)
{
    type("Edit1", QStringLiteral("набранное"));
    press("Button2");
    EXPECT_EQ(field("Edit1")->text(), QStringLiteral("набранное"));
    EXPECT_TRUE(messages.all().isEmpty());
    EXPECT_EQ(form.findChild<QLabel *>(QStringLiteral("Panel1"))->text(),
              QStringLiteral("Версия 2.0, последнее изменение 22.03.09"));
}

TEST_F(SettingsWindowTest, ARefusalPutsTheFocusOnTheFieldItNames)
{
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    struct Case
    {
        const char *missing;
        QString message;
    };
    const Case cases[] = {
        {"Edit1", QStringLiteral("Впишите название подразделения в родительном падеже!")},
        {"Edit5", QStringLiteral("Впишите фамилию и инициалы  руководителя подразделения!")},
        {"MaskEdit1", QStringLiteral("Забыли назначить код для подразделения!")},
        {"Edit4", QStringLiteral("Впишите имя ответственного лица!")},
    };
    for (const Case &each : cases) {
        SCOPED_TRACE(each.missing);
        for (const char *name : {"Edit1", "Edit2", "Edit5", "Edit3", "Edit4"}) {
            field(name)->clear();
            if (qstrcmp(name, each.missing) != 0)
                type(name, QStringLiteral("текст"));
        }
        auto *code = form.findChild<CodeEdit *>(QStringLiteral("MaskEdit1"));
        code->setCode(qstrcmp(each.missing, "MaskEdit1") == 0 ? QStringLiteral("   ") : QStringLiteral("007"));
        status(0)->setChecked(true);
        messages.clear();
        press("Button1");
        EXPECT_EQ(messages.texts(), QStringList{each.message});
        EXPECT_EQ(QApplication::focusWidget(), field(each.missing));
    }
}

TEST_F(SettingsWindowTest, AClickAnywhereInAnEmptyCodePutsTheCursorWhereDigitsGo)
{
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    auto *code = form.findChild<CodeEdit *>(QStringLiteral("MaskEdit1"));
    for (const QPoint &at : {QPoint(code->width() - 4, code->height() / 2), QPoint(code->width() / 2, 4)}) {
        code->setCode(QStringLiteral("   "));
        QTest::mouseClick(code, Qt::LeftButton, {}, at);
        QTest::keyClicks(code, QStringLiteral("007"));
        EXPECT_EQ(code->code(), QStringLiteral("007"));
    }
}

} // namespace
