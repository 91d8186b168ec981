// An estimate file as "показать смету" reads it, then calculated.
#include "fuzz/sandbox.h"

#include "editing/calculation.h"
#include "editing/showing.h"

using namespace vastrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const fuzz::Sandbox sandbox;
    sandbox.write(Workspace::estimateName(QStringLiteral("e")), fuzz::bytesOf(data, size));
    fuzz::SilentMessages messages;
    runAction(messages, [&] {
        Estimate estimate;
        const Outcome shown = showEstimate(sandbox.workspace(), QStringLiteral("e"), estimate);
        if (!shown)
            return shown;
        EstimateTotals totals;
        return calculateTotals(estimate.entries, totals);
    });
    return 0;
}
