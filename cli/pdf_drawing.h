#pragma once

#include <QByteArray>

namespace vastrel {
class SheetModel;
}

namespace vastrel::cli {

// Draws the sheet as PDF through the PDF module, which is loaded on this first
// use: beside the executable, else in the installation's library folder, never
// from the working directory. Throws Error with the reason when it cannot.
QByteArray pdfThroughModule(const SheetModel &sheet);

} // namespace vastrel::cli
