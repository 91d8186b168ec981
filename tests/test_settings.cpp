#include "support/recording_messages.h"
#include "support/temp_workspace.h"

#include "store/settings.h"
#include "windows/state/estimate_window.h"

#include <gtest/gtest.h>

using namespace vastrel;
using vastrel::test::RecordingMessages;
using vastrel::test::TempWorkspace;

namespace {

SettingsForm filledForm()
{
    SettingsForm form;
    form.name = QStringLiteral("кафедры высшей математики");
    form.headPosition = QStringLiteral("Заведующий кафедрой, профессор");
    form.headName = QStringLiteral("И.И. Иванов");
    form.code = QStringLiteral("007");
    form.statusItem = 1;
    form.responsiblePosition = QStringLiteral("Бухгалтер");
    form.responsibleName = QStringLiteral("Петрова А.А.");
    return form;
}

TEST(SettingsStore, WritesSevenTextsJoinedByCrLfWithoutAFinalTerminator)
{
    TempWorkspace ws;
    RecordingMessages messages;
    const SettingsForm form = filledForm();
    ASSERT_TRUE(report(messages, storeSettings(ws.workspace(), form)).ok());

    const QByteArray expected =
        test::cp1251(form.name + "\r\n" + form.headPosition + "\r\n" + form.headName + "\r\n007\r\n3\r\n" +
                     form.responsiblePosition + "\r\n" + form.responsibleName);
    const QByteArray stored = ws.read(QStringLiteral("nastroiki.txt"));
    EXPECT_EQ(stored, expected);
    const qsizetype texts = test::cp1251(form.name + form.headPosition + form.headName + form.code + "3" +
                                         form.responsiblePosition + form.responsibleName)
                                .size();
    EXPECT_EQ(stored.size(), texts + 12);
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("Настройки успешно установлены в системе.\r\n\nДля того, чтобы настройки "
                                         "вступили в силу\r\n\nобязательно перезагрузите систему!!!")});

    // Storing again replaces the file; it never grows.
    ASSERT_TRUE(report(messages, storeSettings(ws.workspace(), form)).ok());
    EXPECT_EQ(ws.read(QStringLiteral("nastroiki.txt")), expected);
}

TEST(SettingsStore, ChecksRunInOrderAndWriteNothing)
{
    struct Case
    {
        Field::Kind field;
        void (*spoil)(SettingsForm &);
        const char *message;
    };
    const Case cases[] = {
        {Field::Name,
         [](SettingsForm &f) {
             f.name.clear();
             f.headPosition.clear();
         },
         "Впишите название подразделения в родительном падеже!"},
        {Field::HeadPosition,
         [](SettingsForm &f) {
             f.headPosition.clear();
             f.code = QStringLiteral("   ");
         },
         "Впишите название должности руководителя!"},
        {Field::HeadName, [](SettingsForm &f) { f.headName.clear(); },
         "Впишите фамилию и инициалы  руководителя подразделения!"},
        {Field::Code,
         [](SettingsForm &f) {
             f.code = QStringLiteral("   ");
             f.statusItem = -1;
         },
         "Забыли назначить код для подразделения!"},
        {Field::Status, [](SettingsForm &f) { f.statusItem = -1; }, "Введите юридический статус подразделения!"},
        {Field::ResponsiblePosition, [](SettingsForm &f) { f.responsiblePosition.clear(); },
         "Впишите должность ответственного лица!"},
        {Field::ResponsibleName, [](SettingsForm &f) { f.responsibleName.clear(); },
         "Впишите имя ответственного лица!"},
        {Field::None, [](SettingsForm &f) { f.name = QStringLiteral("кафедры ✓"); }, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.field));
        TempWorkspace ws;
        RecordingMessages messages;
        SettingsForm form = filledForm();
        c.spoil(form);
        EXPECT_EQ(report(messages, storeSettings(ws.workspace(), form)).field().kind, c.field);
        ASSERT_EQ(messages.all().size(), 1);
        EXPECT_EQ(messages.all().first().kind, MessageKind::Refusal);
        if (c.message) {
            EXPECT_EQ(messages.last(), QString::fromUtf8(c.message));
        }
        EXPECT_FALSE(ws.exists(QStringLiteral("nastroiki.txt")));
    }
}

TEST(SettingsStore, BlanksCountAsFilledAndStatusCodesAreNotPositions)
{
    const char *codes[] = {"1", "3", "2"};
    for (int item = 0; item < 3; ++item) {
        TempWorkspace ws;
        RecordingMessages messages;
        SettingsForm form = filledForm();
        form.name = QStringLiteral("   ");
        form.statusItem = item;
        ASSERT_TRUE(report(messages, storeSettings(ws.workspace(), form)).ok());
        const auto settings = readSettings(ws.workspace(), SettingsBlock::First);
        ASSERT_TRUE(settings);
        EXPECT_EQ(settings->name, QStringLiteral("   "));
        EXPECT_EQ(settings->status, QString::fromLatin1(codes[item]));
        EXPECT_EQ(statusItemOfCode(settings->status), item);
        EXPECT_EQ(settings->code, QStringLiteral("007"));
    }
    EXPECT_EQ(statusItemOfCode(QStringLiteral("4")), -1);
    EXPECT_EQ(statusItemOfCode(QString()), -1);
}

TEST(SettingsRead, BlocksOfSevenShortFilesAndMissingFile)
{
    TempWorkspace ws;
    EXPECT_FALSE(readSettings(ws.workspace()).has_value());

    ws.write(QStringLiteral("nastroiki.txt"), test::cp1251(QStringLiteral("кафедры\r\nЗав")));
    auto settings = readSettings(ws.workspace());
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->name, QStringLiteral("кафедры"));
    EXPECT_EQ(settings->headPosition, QStringLiteral("Зав"));
    EXPECT_TRUE(settings->status.isEmpty());
    EXPECT_TRUE(settings->responsibleName.isEmpty());

    ws.write(QStringLiteral("nastroiki.txt"),
             test::crlf({"первая", "a", "b", "001", "1", "c", "d", "вторая", "e", "f", "002", "2", "g", "h", "", ""}));
    EXPECT_EQ(readSettings(ws.workspace(), SettingsBlock::Last)->name, QStringLiteral("вторая"));
    EXPECT_EQ(readSettings(ws.workspace(), SettingsBlock::Last)->status, QStringLiteral("2"));
    EXPECT_EQ(readSettings(ws.workspace(), SettingsBlock::First)->name, QStringLiteral("первая"));

    ws.write(QStringLiteral("nastroiki.txt"), QByteArray("\x00\x01\xff", 3));
    EXPECT_TRUE(readSettings(ws.workspace()).has_value());
}

TEST(MainWindowActivation, HeadingStatusAndSelectorFromTheFiles)
{
    TempWorkspace ws;
    RecordingMessages messages;
    EstimateWindow window;
    QString heading;

    // No settings: only the message, even with a table of contents.
    ws.writeToc({QStringLiteral("001|a|"), QStringLiteral("002|b|"), QStringLiteral("003|c|")});
    activateMainWindow(ws.workspace(), heading, window, messages);
    EXPECT_EQ(messages.texts(), QStringList{settingsMissingMessage()});
    EXPECT_TRUE(heading.isEmpty());
    EXPECT_TRUE(window.selectorItems.isEmpty());
    EXPECT_EQ(window.status, 0);

    messages.clear();
    ws.writeSettings({"кафедры", "a", "b", "001", "3", "c", "d"});
    for (int time = 0; time < 2; ++time) {
        activateMainWindow(ws.workspace(), heading, window, messages);
        EXPECT_EQ(heading, QStringLiteral("Смета кафедры"));
        EXPECT_EQ(window.status, 1);
        EXPECT_EQ(window.selectorItems,
                  (QStringList{QStringLiteral("001|a|"), QStringLiteral("002|b|"), QStringLiteral("003|c|")}));
    }
    EXPECT_TRUE(messages.all().isEmpty());

    // An unknown status leaves the selection as it was.
    ws.writeSettings({"кафедры", "a", "b", "001", "9", "c", "d"});
    activateMainWindow(ws.workspace(), heading, window, messages);
    EXPECT_EQ(window.status, 1);
}

TEST(MainWindowActivation, MissingTableOfContentsFailsAfterTheHeading)
{
    TempWorkspace ws;
    RecordingMessages messages;
    ws.writeSettings({"кафедры", "a", "b", "001", "2", "c", "d"});
    EstimateWindow window;
    window.selectorItems = {QStringLiteral("old")};
    QString heading;
    EXPECT_FALSE(runAction(messages, [&] {
        activateMainWindow(ws.workspace(), heading, window, messages);
        return Outcome::done();
    }));
    EXPECT_EQ(messages.firstLines(), QStringList{QStringLiteral("File not found")});
    EXPECT_EQ(heading, QStringLiteral("Смета кафедры"));
    EXPECT_EQ(window.status, 2);
    EXPECT_EQ(window.selectorItems, QStringList{QStringLiteral("old")});
}

} // namespace
