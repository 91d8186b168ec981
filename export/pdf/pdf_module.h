#pragma once

#include <QByteArray>
#include <QString>

namespace vastrel {
class SheetModel;
}

// The PDF drawing as a module the command-line tool loads only when a PDF is
// asked for, so that its other commands start without Qt Gui. The tool and the
// module come from one build, so the entry point passes Qt and our own types.
//
// The entry point creates the graphical application object when the process
// has none (offscreen where no display is), draws the sheet into `bytes` and
// returns true; on failure it returns false with the reason in `error`.
// Nothing is thrown across the module's edge.
extern "C" {
using DrawPdfEntry = bool (*)(const vastrel::SheetModel *sheet, QByteArray *bytes, QString *error);
}

namespace vastrel {
inline constexpr char DrawPdfEntryName[] = "vastrel_draw_pdf";
}
