#pragma once

// Saving and showing share one base: a table of contents with the estimate
// "Смета ИТ", and a main window ready to save it.
#include "support/recording_messages.h"
#include "support/temp_workspace.h"

#include "editing/calculation.h"
#include "editing/saving.h"
#include "editing/showing.h"
#include "windows/state/estimate_window.h"

#include <gtest/gtest.h>

namespace vastrel::test {

inline const QString Line = QStringLiteral("105|Смета ИТ|кафедра|2026");
inline const QString Name = QStringLiteral("Смета ИТ");
inline const QDate Today(2026, 12, 8);

class SavingTest : public ::testing::Test
{
protected:
    void SetUp() override { ws.writeToc({QStringLiteral("001|Другая|"), Line}); }

    QByteArray file(const QString &name = Name) const { return ws.read(Workspace::estimateName(name)); }
    bool save(const EstimateWindow &window)
    {
        return runAction(messages,
                         [&] {
                             return saveEstimate(ws.workspace(), window.selectedName(), window.estimate(),
                                                 window.saveBasis(), Today);
                         })
            .ok();
    }
    bool show(EstimateWindow &window)
    {
        const auto showSelected = [&] {
            const std::optional<QString> name = window.selectedName();
            Estimate estimate = window.estimate();
            const Outcome shown = showEstimate(ws.workspace(), name, estimate);
            if (shown)
                window.showStored(*name, estimate);
            return shown;
        };
        return runAction(messages, showSelected).ok();
    }

    // Line selected, income code 11, source 2, "юридическое лицо", calculated.
    EstimateWindow readyWindow() const
    {
        EstimateWindow window;
        window.selectorItems = {QStringLiteral("001|Другая|"), Line};
        window.selectorIndex = 1;
        window.setIncomeCode(10);
        window.source = 1;
        window.status = 0;
        window.remainder = QStringLiteral("50");
        window.income = QStringLiteral("100,5");
        window.expense(QStringLiteral("211")) = QStringLiteral("150");
        window.expense(QStringLiteral("213")) = QStringLiteral("0,5");
        window.expense(QStringLiteral("610")) = QStringLiteral("0");
        calculate(window);
        return window;
    }

    TempWorkspace ws;
    RecordingMessages messages;
};

} // namespace vastrel::test
