// An estimate file as the consolidated (refined) estimate document reads it,
// laid out on a spreadsheet that is never saved.
#include "fuzz/sandbox.h"

#include "export/consolidated_document.h"
#include "export/sheet_model.h"

using namespace vastrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const fuzz::Sandbox sandbox;
    sandbox.write(Workspace::estimateName(QStringLiteral("e")), fuzz::bytesOf(data, size));
    fuzz::SilentMessages messages;
    runAction(messages, [&] {
        const ConsolidatedData document =
            prepareConsolidated(sandbox.workspace(), QStringLiteral("e"), QDate(2026, 3, 5));
        SheetModel sheet;
        writeConsolidated(sheet, document);
        return Outcome::done();
    });
    return 0;
}
