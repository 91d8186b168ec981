#pragma once

#include "export/sheet_model.h"

#include <QByteArray>
#include <QString>

namespace vastrel {

// Draws the sheet as it prints: A4 portrait pages, one page wide, the title
// rows repeated on every page, the left footer; fonts embedded. Needs a
// QGuiApplication (any platform, offscreen included). Throws Error on failure.
QByteArray pdfBytes(const SheetModel &sheet);

} // namespace vastrel
