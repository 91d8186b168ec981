#include "support/recording_messages.h"
#include "support/scripted_delivery.h"
#include "support/temp_workspace.h"

#include "editing/saving.h"
#include "store/estimate_file.h"
#include "store/text_file.h"
#include "windows/code_edit.h"
#include "windows/main_window.h"
#include "windows/new_estimate_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace vastrel;
using vastrel::test::crlf;
using vastrel::test::RecordingMessages;
using vastrel::test::TempWorkspace;

namespace {

// Types key by key; QTest::keyClicks only knows Latin-1 keys.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

template<class T>
T *child(const QObject &parent, const char *name)
{
    T *found = parent.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        ADD_FAILURE() << "no control " << name;
    return found;
}

void typeCode(CodeEdit *code, const char *digits)
{
    code->selectAll();
    QTest::keyClick(code, Qt::Key_Backspace);
    QTest::keyClicks(code, QString::fromLatin1(digits));
}

const QStringList Toc = {QStringLiteral("101|Смета ИТ|кафедра")};

class NewEstimateDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ws.writeToc(Toc);
        mainWindow.selectorItems = Toc;
        mainWindow.status = 0;
    }

    TempWorkspace ws;
    RecordingMessages messages;
    EstimateWindow mainWindow;
};

} // namespace

TEST_F(NewEstimateDialogTest, OpensWithEmptyFieldsNoSourceAndCodeZeroZeroZero)
{
    NewEstimateDialog dialog(ws.workspace(), mainWindow, messages);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Ввод данных о новой смете"));
    EXPECT_EQ(child<QLineEdit>(dialog, "Edit1")->text(), QString());
    EXPECT_EQ(child<QLineEdit>(dialog, "Edit2")->text(), QString());
    QComboBox *sources = child<QComboBox>(dialog, "ComboBox1");
    ASSERT_EQ(sources->count(), 11);
    EXPECT_EQ(sources->itemText(4), QStringLiteral("5 детские сады"));
    EXPECT_EQ(sources->itemText(10), QStringLiteral("11 гранты"));
    EXPECT_EQ(sources->currentIndex(), -1);
    EXPECT_EQ(child<CodeEdit>(dialog, "MaskEdit1")->code(), QStringLiteral("000"));
    EXPECT_EQ(child<QPushButton>(dialog, "Button3")->text().remove(QLatin1Char('&')), QStringLiteral("показать "));
    EXPECT_EQ(child<QPushButton>(dialog, "Button1")->text().remove(QLatin1Char('&')),
              QStringLiteral("сохранить изменения"));
    EXPECT_EQ(child<QPushButton>(dialog, "Button2")->text().remove(QLatin1Char('&')), QStringLiteral("отмена"));
    QStringList labels;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        labels.append(label->text());
    for (const QString &caption : {QStringLiteral("Имя сметы:"), QStringLiteral("Примечания к смете"),
                                   QStringLiteral("Расшифровки"), QStringLiteral("Кодовое трехзначное число")})
        EXPECT_TRUE(labels.contains(caption)) << qPrintable(caption);
}

TEST_F(NewEstimateDialogTest, StoreRegistersAndCloses)
{
    NewEstimateDialog dialog(ws.workspace(), mainWindow, messages);
    dialog.show();
    typeText(child<QLineEdit>(dialog, "Edit1"), QStringLiteral("Смета ФФ"));
    typeText(child<QLineEdit>(dialog, "Edit2"), QStringLiteral("физфак | 2026"));
    child<QComboBox>(dialog, "ComboBox1")->setCurrentIndex(4);
    typeCode(child<CodeEdit>(dialog, "MaskEdit1"), "007");
    child<QPushButton>(dialog, "Button1")->click();

    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Смета под именем Смета ФФ успешно записана в базу.")});
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const QString record = QStringLiteral("007|Смета ФФ|физфак | 2026");
    EXPECT_EQ(ws.read(Workspace::tocName()), crlf(Toc + QStringList{record}));
    EXPECT_EQ(mainWindow.selectorItems.last(), record);
    EXPECT_EQ(mainWindow.source, 4);
    EXPECT_TRUE(ws.read(Workspace::estimateName(QStringLiteral("Смета ФФ"))).contains("\t\t<COD_FIN>0</COD_FIN>\r\n"));
    EXPECT_EQ(child<QLineEdit>(dialog, "Edit1")->text(), QString());
    EXPECT_EQ(child<CodeEdit>(dialog, "MaskEdit1")->code(), QStringLiteral("   "));
}

TEST_F(NewEstimateDialogTest, PartlyFilledCodeIsRefusedAndTheWindowStays)
{
    mainWindow.source = 0;
    NewEstimateDialog dialog(ws.workspace(), mainWindow, messages);
    dialog.show();
    typeText(child<QLineEdit>(dialog, "Edit1"), QStringLiteral("Смета ФФ"));
    CodeEdit *code = child<CodeEdit>(dialog, "MaskEdit1");
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    code->setFocus();
    typeCode(code, "12");
    ASSERT_EQ(code->code(), QStringLiteral("12 "));
    const QStringList refusal{CodeEdit::invalidInputMessage()};

    // Pressed without leaving the field (a shortcut): the window refuses.
    QPushButton *store = child<QPushButton>(dialog, "Button1");
    store->click();
    EXPECT_EQ(messages.texts(), refusal);
    EXPECT_TRUE(code->hasFocus());

    // Clicked: leaving the field refuses once, and the focus goes back to it.
    messages.clear();
    QTest::mouseClick(store, Qt::LeftButton);
    QTest::qWait(20);
    EXPECT_EQ(messages.texts(), refusal);
    EXPECT_TRUE(code->hasFocus());

    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(ws.read(Workspace::tocName()), crlf(Toc));
    EXPECT_TRUE(QDir(ws.baseDir()).isEmpty());

    // An untouched (blank) code is the window's own check.
    typeCode(code, "");
    messages.clear();
    child<QPushButton>(dialog, "Button1")->click();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Забыли назначить код для подразделения!")});
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(NewEstimateDialogTest, NoIncomeSourceAnywhereClosesTheWindow)
{
    mainWindow.source = -1;
    NewEstimateDialog dialog(ws.workspace(), mainWindow, messages);
    dialog.show();
    typeText(child<QLineEdit>(dialog, "Edit1"), QStringLiteral("Смета ФФ"));
    child<QPushButton>(dialog, "Button1")->click();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Введите источник дохода!")});
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(ws.read(Workspace::tocName()), crlf(Toc));
}

TEST_F(NewEstimateDialogTest, ShowLocksTheNameAndStoreChangesCodeAndNotes)
{
    mainWindow.selectorIndex = 0;
    mainWindow.source = 1;
    NewEstimateDialog dialog(ws.workspace(), mainWindow, messages);
    dialog.show();
    child<QPushButton>(dialog, "Button3")->click();
    QLineEdit *name = child<QLineEdit>(dialog, "Edit1");
    EXPECT_EQ(name->text(), QStringLiteral("Смета ИТ"));
    EXPECT_FALSE(name->isEnabled());
    EXPECT_EQ(child<QLineEdit>(dialog, "Edit2")->text(), QStringLiteral("кафедра"));
    EXPECT_EQ(child<CodeEdit>(dialog, "MaskEdit1")->code(), QStringLiteral("101"));

    typeText(child<QLineEdit>(dialog, "Edit2"), QStringLiteral(" физики"));
    typeCode(child<CodeEdit>(dialog, "MaskEdit1"), "202");
    child<QPushButton>(dialog, "Button1")->click();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Изменение в имени сметы успешно завершены!")});
    EXPECT_TRUE(name->isEnabled());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(ws.read(Workspace::tocName()), crlf({QStringLiteral("202|Смета ИТ|кафедра физики")}));
    EXPECT_TRUE(QDir(ws.baseDir()).isEmpty());
}

TEST_F(NewEstimateDialogTest, CancelWritesNothing)
{
    mainWindow.source = 1;
    NewEstimateDialog dialog(ws.workspace(), mainWindow, messages);
    dialog.show();
    typeText(child<QLineEdit>(dialog, "Edit1"), QStringLiteral("Смета ФФ"));
    child<QPushButton>(dialog, "Button2")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_EQ(ws.read(Workspace::tocName()), crlf(Toc));
}

// The main window's buttons through one estimate's life: register, enter,
// calculate, save, clear, show, save again.
TEST(MainWindowCycle, RegisterEnterCalculateSaveClearShow)
{
    TempWorkspace ws;
    ws.writeSettings({QStringLiteral("кафедры физики"), QStringLiteral("Зав."), QStringLiteral("И.И. Иванов"),
                      QStringLiteral("105"), QStringLiteral("1"), QStringLiteral("Бухгалтер"), QStringLiteral("П.")});
    ws.writeToc(Toc);
    RecordingMessages messages;
    test::ScriptedDelivery delivery;
    MainWindow form2(ws.workspace(), messages, delivery);
    form2.activate();
    ASSERT_TRUE(messages.texts().isEmpty()) << qPrintable(messages.last());

    // The new-estimate window is modal: it is filled once it is open.
    bool filled = false;
    QTimer::singleShot(0, &form2, [&] {
        NewEstimateDialog *dialog = form2.findChild<NewEstimateDialog *>();
        ASSERT_NE(dialog, nullptr);
        typeText(child<QLineEdit>(*dialog, "Edit1"), QStringLiteral("Смета ФФ"));
        child<QComboBox>(*dialog, "ComboBox1")->setCurrentIndex(2);
        typeCode(child<CodeEdit>(*dialog, "MaskEdit1"), "105");
        filled = true;
        child<QPushButton>(*dialog, "Button1")->click();
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &form2, [&] {
        if (NewEstimateDialog *dialog = form2.findChild<NewEstimateDialog *>()) {
            ADD_FAILURE() << "the new-estimate window did not close";
            dialog->reject();
        }
    });
    guard.start(20000);
    child<QPushButton>(form2, "Button7")->click();
    guard.stop();
    ASSERT_TRUE(filled);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Смета под именем Смета ФФ успешно записана в базу.")});

    QComboBox *selector = child<QComboBox>(form2, "ComboBox1");
    ASSERT_EQ(selector->count(), 2);
    EXPECT_EQ(selector->itemText(1), QStringLiteral("105|Смета ФФ|"));
    QListWidget *sources = child<QListWidget>(form2, "ListBox1");
    ASSERT_EQ(sources->selectedItems().size(), 1);
    EXPECT_EQ(sources->row(sources->selectedItems().first()), 2); // taken from the new-estimate window

    selector->setCurrentIndex(1);
    child<QComboBox>(form2, "ComboBox2")->setCurrentIndex(10);
    QTest::keyClicks(child<QLineEdit>(form2, "MaskEdit12"), QStringLiteral("50"));
    QTest::keyClicks(child<QLineEdit>(form2, "MaskEdit6"), QStringLiteral("100,5"));
    QTest::keyClicks(child<QLineEdit>(form2, "MaskEdit41"), QStringLiteral("150"));
    QTest::keyClicks(child<QLineEdit>(form2, "MaskEdit45"), QStringLiteral("0,5"));
    QLabel *incomeTotal = child<QLabel>(form2, "Panel82");
    QLabel *expenseTotal = child<QLabel>(form2, "Panel87");
    QPushButton *calculate = child<QPushButton>(form2, "Button1");
    QPushButton *save = child<QPushButton>(form2, "Button2");
    QPushButton *clear = child<QPushButton>(form2, "Button8");
    QPushButton *show = child<QPushButton>(form2, "Button4");

    calculate->click();
    EXPECT_EQ(incomeTotal->text(), QStringLiteral("150,5"));
    EXPECT_EQ(expenseTotal->text(), QStringLiteral("150,5"));

    // An edit after the calculation: the totals go, the save asks for a new calculation.
    QTest::keyClick(child<QLineEdit>(form2, "MaskEdit41"), Qt::Key_Backspace);
    EXPECT_EQ(incomeTotal->text(), QString());
    EXPECT_EQ(expenseTotal->text(), QString());
    messages.clear();
    save->click();
    EXPECT_EQ(messages.texts(), QStringList{changedAfterCalculationMessage()});
    EXPECT_FALSE(ws.read(Workspace::estimateName(QStringLiteral("Смета ФФ"))).contains("SUM_YEAR"));
    QTest::keyClicks(child<QLineEdit>(form2, "MaskEdit41"), QStringLiteral("0"));

    calculate->click();
    messages.clear();
    save->click();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Смета успешно записана в базу.")});
    const QByteArray saved = ws.read(Workspace::estimateName(QStringLiteral("Смета ФФ")));
    // Income code 11, source 3, 50 + 100,5 against 150 + 0,5; the year is today's.
    QByteArray expected = test::testData(QStringLiteral("saved_from_window.xml"));
    expected.replace("<YEAR>2026</YEAR>", "<YEAR>" + QDate::currentDate().toString(u"yyyy").toLatin1() + "</YEAR>");
    EXPECT_EQ(saved, expected);

    clear->click();
    EXPECT_EQ(child<QLineEdit>(form2, "MaskEdit6")->text(), QString());
    EXPECT_EQ(incomeTotal->text(), QString());
    child<QComboBox>(form2, "ComboBox2")->setCurrentIndex(0);
    sources->clearSelection();

    // Totals of another calculation must not survive showing the stored estimate.
    QTest::keyClicks(child<QLineEdit>(form2, "MaskEdit6"), QStringLiteral("7"));
    QTest::keyClicks(child<QLineEdit>(form2, "MaskEdit41"), QStringLiteral("7"));
    calculate->click();
    ASSERT_EQ(incomeTotal->text(), QStringLiteral("7"));
    messages.clear();
    // The typed amounts are not saved: "да" lets the stored estimate replace them.
    messages.answers = {true};
    show->click();
    EXPECT_EQ(messages.questions.size(), 1);
    EXPECT_TRUE(messages.texts().isEmpty()) << qPrintable(messages.last());
    EXPECT_EQ(incomeTotal->text(), QString());
    EXPECT_EQ(expenseTotal->text(), QString());
    EXPECT_EQ(child<QComboBox>(form2, "ComboBox2")->currentIndex(), 10);
    ASSERT_EQ(sources->selectedItems().size(), 1);
    EXPECT_EQ(sources->row(sources->selectedItems().first()), 2);
    EXPECT_EQ(child<QLineEdit>(form2, "MaskEdit12")->text(), QStringLiteral("50"));
    EXPECT_EQ(child<QLineEdit>(form2, "MaskEdit6")->text(), QStringLiteral("100,5"));
    EXPECT_EQ(child<QLineEdit>(form2, "MaskEdit41")->text(), QStringLiteral("150"));
    EXPECT_EQ(child<QLineEdit>(form2, "MaskEdit45")->text(), QStringLiteral("0,5"));
    EXPECT_EQ(child<QLineEdit>(form2, "MaskEdit49")->text(), QString()); // "0" was left out of the file
    EXPECT_EQ(child<QLineEdit>(form2, "MaskEdit85")->text(), QStringLiteral("0"));

    save->click();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Пустая смета.")});
    calculate->click();
    messages.clear();
    save->click();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Смета успешно записана в базу.")});
    EXPECT_EQ(ws.read(Workspace::estimateName(QStringLiteral("Смета ФФ"))), saved);
}

TEST_F(NewEstimateDialogTest, AChangedRecordIsReportedOnlyAfterTheWindowClosed)
{
    struct Watching : MessageService
    {
        QWidget *window = nullptr;
        QList<bool> windowOpen;
        void show(MessageKind, const QString &) override { windowOpen.append(window->isVisible()); }
    } watching;
    mainWindow.selectorIndex = 0;
    mainWindow.source = 1;
    NewEstimateDialog dialog(ws.workspace(), mainWindow, watching);
    watching.window = &dialog;
    dialog.show();
    child<QPushButton>(dialog, "Button3")->click();
    child<QPushButton>(dialog, "Button1")->click();
    EXPECT_EQ(watching.windowOpen, QList<bool>{false});
}
