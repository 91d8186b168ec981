#include "store/settings.h"

#include "store/table_of_contents.h"
#include "store/text_file.h"

namespace vastrel {

const QStringList &statusItems()
{
    static const QStringList items = {QStringLiteral("юридическое лицо"), QStringLiteral("обособленное лицо"),
                                      QStringLiteral("подразделение Центра")};
    return items;
}

QString statusCodeOfItem(int item)
{
    switch (item) {
    case 0:
        return QStringLiteral("1");
    case 1:
        return QStringLiteral("3");
    case 2:
        return QStringLiteral("2");
    default:
        return QString();
    }
}

int statusItemOfCode(const QString &code)
{
    if (code == QLatin1String("1"))
        return 0;
    if (code == QLatin1String("3"))
        return 1;
    if (code == QLatin1String("2"))
        return 2;
    return -1;
}

bool settingsExist(const Workspace &workspace)
{
    return fileExists(workspace.settingsPath());
}

QString settingsMissingMessage()
{
    return QStringLiteral("Настройки в системе не установлены.\r\n Установите настройки!");
}

std::optional<Settings> readSettings(const Workspace &workspace, SettingsBlock block)
{
    if (!settingsExist(workspace))
        return std::nullopt;
    QStringList lines =
        readTextLines(workspace.settingsPath(), Workspace::shown(Workspace::settingsName()), OpenFailure::FileNotFound);
    // Empty lines after the last value never begin another block.
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    qsizetype start = 0;
    if (block == SettingsBlock::Last && lines.size() > 7)
        start = ((lines.size() - 1) / 7) * 7;
    auto line = [&](int n) { return start + n < lines.size() ? lines.at(start + n) : QString(); };
    return Settings{line(0), line(1), line(2), line(3), line(4), line(5), line(6)};
}

QByteArray settingsFileBytes(const Settings &s)
{
    const QString text =
        QStringList{s.name, s.headPosition, s.headName, s.code, s.status, s.responsiblePosition, s.responsibleName}
            .join(QStringLiteral("\r\n"));
    return toWindows1251(text);
}

Outcome storeSettings(const Workspace &workspace, const SettingsForm &form)
{
    struct Check
    {
        bool failed;
        Field::Kind field;
        const char16_t *message;
    };
    const Check checks[] = {
        {form.name.isEmpty(), Field::Name, u"Впишите название подразделения в родительном падеже!"},
        {form.headPosition.isEmpty(), Field::HeadPosition, u"Впишите название должности руководителя!"},
        {form.headName.isEmpty(), Field::HeadName, u"Впишите фамилию и инициалы  руководителя подразделения!"},
        {form.code == QLatin1String("   "), Field::Code, u"Забыли назначить код для подразделения!"},
        {form.statusItem < 0 || form.statusItem > 2, Field::Status, u"Введите юридический статус подразделения!"},
        {form.responsiblePosition.isEmpty(), Field::ResponsiblePosition, u"Впишите должность ответственного лица!"},
        {form.responsibleName.isEmpty(), Field::ResponsibleName, u"Впишите имя ответственного лица!"},
    };
    for (const Check &check : checks) {
        if (check.failed) {
            return Outcome::refusal(QString::fromUtf16(check.message), check.field);
        }
    }
    const Settings settings{form.name,
                            form.headPosition,
                            form.headName,
                            form.code,
                            statusCodeOfItem(form.statusItem),
                            form.responsiblePosition,
                            form.responsibleName};
    const QString texts[] = {settings.name, settings.headPosition,        settings.headName,
                             settings.code, settings.responsiblePosition, settings.responsibleName};
    for (const QString &text : texts) {
        const QString problem = checkStorableText(text, QStringLiteral("Поле «%1»").arg(text));
        if (!problem.isEmpty()) {
            return Outcome::refusal(problem);
        }
    }
    writeFileAtomically(workspace.settingsPath(), Workspace::shown(Workspace::settingsName()),
                        settingsFileBytes(settings));
    return Outcome::done(QStringLiteral("Настройки успешно установлены в системе.\r\n\nДля того, чтобы настройки "
                                        "вступили в силу\r\n\nобязательно перезагрузите систему!!!"));
}

} // namespace vastrel
