#include "editing/activation.h"

#include "store/settings.h"
#include "store/table_of_contents.h"

namespace vastrel {

namespace {

// The selector refilled keeps pointing at the estimate it showed, when the
// new lines still hold it: the same line, or else a line of the same name.
void refill(EstimateWindow &window, const QString &before, QStringList lines)
{
    int index = before.isEmpty() ? -1 : int(lines.indexOf(before));
    if (index < 0 && !before.isEmpty()) {
        const QString name = estimateNameOf(before);
        for (int i = 0; i < lines.size() && index < 0; ++i) {
            if (estimateNameOf(lines.at(i)) == name)
                index = i;
        }
    }
    window.selectorItems = std::move(lines);
    window.selectorIndex = index;
}

} // namespace

void activateMainWindow(const Workspace &workspace, QString &heading, EstimateWindow &window, MessageService &messages)
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
    const QString before = window.selectedLine();
    refill(window, before, readToc(workspace, OpenFailure::FileNotFound));
}

void refillSelector(const Workspace &workspace, EstimateWindow &window)
{
    // Emptied first: a table of contents that cannot be read leaves no stale lines.
    const QString before = window.selectedLine();
    window.selectorItems.clear();
    window.selectorIndex = -1;
    refill(window, before, readToc(workspace, OpenFailure::CannotOpen));
}

} // namespace vastrel
