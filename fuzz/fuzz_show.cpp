// An estimate file as "показать смету" reads it into the window, then calculated.
#include "fuzz/sandbox.h"

#include "editing/estimate_window.h"
#include "editing/showing.h"

using namespace vastrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const fuzz::Sandbox sandbox;
    sandbox.write(Workspace::estimateName(QStringLiteral("e")), fuzz::bytesOf(data, size));
    EstimateWindow window;
    window.selectorItems = {QStringLiteral("001|e|")};
    window.selectorIndex = 0;
    fuzz::SilentMessages messages;
    runAction(messages, [&] {
        Estimate estimate = window.estimate();
        const Outcome shown = showEstimate(sandbox.workspace(), QStringLiteral("e"), estimate);
        if (!shown)
            return shown;
        window.showStored(QStringLiteral("e"), estimate);
        return calculate(window);
    });
    return 0;
}
