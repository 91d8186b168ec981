#include "windows/expense_controls.h"

namespace vastrel {

ExpenseControls expenseControls(const QString &shortCode)
{
    // The form's names, which its tests and anyone who knows the form find the controls by.
    static const struct
    {
        const char *shortCode;
        const char *panel;
        const char *field;
    } controls[] = {
        {"211", "Panel19", "MaskEdit41"},  {"212", "Panel20", "MaskEdit45"},  {"213", "Panel21", "MaskEdit49"},
        {"221", "Panel22", "MaskEdit53"},  {"222", "Panel23", "MaskEdit57"},  {"223", "Panel24", "MaskEdit61"},
        {"224", "Panel25", "MaskEdit65"},  {"225", "Panel26", "MaskEdit69"},  {"226", "Panel27", "MaskEdit73"},
        {"231", "Panel28", "MaskEdit77"},  {"232", "Panel29", "MaskEdit81"},  {"241", "Panel30", "MaskEdit85"},
        {"242", "Panel31", "MaskEdit89"},  {"251", "Panel32", "MaskEdit93"},  {"253", "Panel34", "MaskEdit101"},
        {"261", "Panel35", "MaskEdit105"}, {"262", "Panel36", "MaskEdit109"}, {"263", "Panel37", "MaskEdit113"},
        {"290", "Panel38", "MaskEdit117"}, {"310", "Panel39", "MaskEdit121"}, {"320", "Panel40", "MaskEdit125"},
        {"340", "Panel41", "MaskEdit129"}, {"530", "Panel33", "MaskEdit18"},  {"610", "Panel56", "MaskEdit19"},
    };
    for (const auto &line : controls) {
        if (shortCode == QLatin1String(line.shortCode))
            return {QString::fromLatin1(line.panel), QString::fromLatin1(line.field)};
    }
    return {};
}

} // namespace vastrel
