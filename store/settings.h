#pragma once

#include "domain/outcome.h"
#include "store/workspace.h"

#include <QString>

#include <optional>

namespace vastrel {

// The seven lines of nastroiki.txt, by position.
struct Settings
{
    QString name;                // 1: subdivision name, genitive
    QString headPosition;        // 2
    QString headName;            // 3
    QString code;                // 4: subdivision code, three characters
    QString status;              // 5: legal status code "1", "3" or "2"
    QString responsiblePosition; // 6
    QString responsibleName;     // 7
};

// Legal status: the radio items are "юридическое лицо", "обособленное лицо",
// "подразделение Центра"; their codes are "1", "3", "2".
QString statusCodeOfItem(int item);
// -1 for any other text.
int statusItemOfCode(const QString &code);
const QStringList &statusItems();

bool settingsExist(const Workspace &workspace);

// Which seven lines count when the file holds more: the settings window reads
// the first seven, the other readers read blocks of seven to the end and keep
// the last. Missing lines read as empty. nullopt when there is no file.
enum class SettingsBlock {
    First,
    Last
};
std::optional<Settings> readSettings(const Workspace &workspace, SettingsBlock block = SettingsBlock::Last);

// The message every reader shows when the file is missing.
QString settingsMissingMessage();

// What the settings window holds when "загрузить настройки" is pressed.
struct SettingsForm
{
    QString name, headPosition, headName;
    QString code; // the masked field's text: three spaces when untouched
    int statusItem = -1;
    QString responsiblePosition, responsibleName;
};

// Checks the form in the window's order and writes the file. A refusal names
// the empty field; none when a text has no Windows-1251 form.
Outcome storeSettings(const Workspace &workspace, const SettingsForm &form);

// The exact bytes of the settings file for these values.
QByteArray settingsFileBytes(const Settings &settings);

} // namespace vastrel
