#include "export/pdf/pdf_module.h"

#include "domain/error.h"
#include "export/pdf/pdf_backend.h"

#include <QGuiApplication>

#include <exception>
#include <optional>
#include <type_traits>

extern "C" Q_DECL_EXPORT bool vastrel_draw_pdf(const vastrel::SheetModel *sheet, QByteArray *bytes, QString *error)
{
    static_assert(std::is_same_v<decltype(&vastrel_draw_pdf), DrawPdfEntry>);
    try {
        // The tool runs where no display exists; a PDF needs none. The
        // application lives for this one document: the tool draws one a run.
        std::optional<QGuiApplication> application;
        if (!QCoreApplication::instance()) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
                qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            static int argc = 1;
            static char name[] = "vastrel";
            static char *argv[] = {name, nullptr};
            application.emplace(argc, argv);
        }
        *bytes = vastrel::pdfBytes(*sheet);
        return true;
    } catch (const vastrel::Error &failure) {
        *error = failure.text();
    } catch (const std::exception &failure) {
        *error = QStringLiteral("Не удалось построить документ PDF: %1").arg(QString::fromLocal8Bit(failure.what()));
    }
    return false;
}
