// The settings file, first and last block.
#include "fuzz/sandbox.h"

#include "store/settings.h"

using namespace vastrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const fuzz::Sandbox sandbox;
    sandbox.write(Workspace::settingsName(), fuzz::bytesOf(data, size));
    fuzz::SilentMessages messages;
    runAction(messages, [&] {
        for (const SettingsBlock block : {SettingsBlock::First, SettingsBlock::Last}) {
            if (const auto settings = readSettings(sandbox.workspace(), block))
                statusItemOfCode(settings->status);
        }
        (void)settingsExist(sandbox.workspace());
        return Outcome::done();
    });
    return 0;
}
