#include "editing/activation.h"

#include "base/settings.h"
#include "base/table_of_contents.h"

namespace vastrel {

void activateMainWindow(const Workspace &workspace, QString &heading, EstimateWindow &window,
                        MessageService &messages)
{
    if (!settingsExist(workspace)) {
        messages.refuse(settingsMissingMessage());
        return;
    }
    const Settings settings = readSettings(workspace, SettingsBlock::Last).value_or(Settings{});
    const int item = statusItemOfCode(settings.status);
    if (item >= 0)
        window.status = item;
    heading = QStringLiteral("Смета ") + settings.name;
    const QStringList lines = readToc(workspace, OpenFailure::FileNotFound);
    window.selectorItems = lines;
    window.selectorIndex = -1;
}

void refillSelector(const Workspace &workspace, EstimateWindow &window)
{
    window.selectorItems.clear();
    window.selectorIndex = -1;
    window.selectorItems = readToc(workspace, OpenFailure::CannotOpen);
}

} // namespace vastrel
