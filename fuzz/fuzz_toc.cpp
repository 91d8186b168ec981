// The table of contents as every list and operation reads it.
#include "fuzz/sandbox.h"

#include "domain/outcome.h"
#include "store/table_of_contents.h"

using namespace vastrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const fuzz::Sandbox sandbox;
    sandbox.write(Workspace::tocName(), fuzz::bytesOf(data, size));
    fuzz::SilentMessages messages;
    runAction(messages, [&] {
        for (const QString &line : readToc(sandbox.workspace())) {
            const TocRecord record = TocRecord::split(line);
            if (estimateNameOf(line).size() > line.size() || record.name.size() > line.size())
                std::abort();
        }
        return Outcome::done();
    });
    return 0;
}
