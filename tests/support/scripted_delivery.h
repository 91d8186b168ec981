#pragma once

#include "windows/document_delivery.h"

#include <QString>

#include <functional>

namespace vastrel::test {

// A document delivery whose answers the test sets: by default the user
// declines to keep the document, and a kept one opens.
class ScriptedDelivery : public DocumentDelivery
{
public:
    std::function<QString(const QString &suggestedPath)> choose = [](const QString &) { return QString(); };
    std::function<bool(const QString &path)> opening = [](const QString &) { return true; };

    QString chooseFile(QWidget *, const QString &suggestedPath) override { return choose(suggestedPath); }
    bool open(const QString &path) override { return opening(path); }
};

} // namespace vastrel::test
