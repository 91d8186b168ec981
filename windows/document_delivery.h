#pragma once

#include "domain/messages.h"
#include "store/workspace.h"
#include "windows/state/estimate_window.h"

#include <QList>
#include <QStringList>

class QWidget;

namespace vastrel {

// How a built document reaches the user: the file to keep it in (empty when
// the user declines) and the opening of the kept file (false when no program
// opened it). The windows that export are given one; tests give their own.
class DocumentDelivery
{
public:
    virtual ~DocumentDelivery() = default;
    virtual QString chooseFile(QWidget *parent, const QString &suggestedPath) = 0;
    virtual bool open(const QString &path) = 0;
};

// The desktop's way: a save dialog, then the desktop's application for the file.
class DesktopDelivery : public DocumentDelivery
{
public:
    QString chooseFile(QWidget *parent, const QString &suggestedPath) override;
    bool open(const QString &path) override;
};

// "экспорт сметы в Excel": builds the breakdown document from the window,
// asks where to keep it and opens it.
void exportBreakdownFromWindow(QWidget *parent, DocumentDelivery &delivery, const Workspace &workspace,
                               const EstimateWindow &window, MessageService &messages);

// "экспорт сводной сметы в Excel": builds the refined estimate document from
// the selected table-of-contents lines of the operations window. True when the
// document was kept (the operations window then closes); a cancelled save
// dialog keeps the window and its selection.
bool exportConsolidatedFromWindow(QWidget *parent, DocumentDelivery &delivery, const Workspace &workspace,
                                  const QStringList &selectedNames, MessageService &messages);

} // namespace vastrel
