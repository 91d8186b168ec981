#include "windows/deletion_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vastrel {

DeletionDialog::DeletionDialog(const QStringList &names, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("35"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    auto *text = new QLabel(QStringLiteral("Внимание указанные сметы будут удалены из базы навсегда. "
                                           "Вы действительно хотите удалить сметы из системы?"),
                            this);
    text->setObjectName(QStringLiteral("Label1"));
    text->setWordWrap(true);
    QFont bold = text->font();
    bold.setBold(true);
    text->setFont(bold);
    layout->addWidget(text, 1);
    if (!names.isEmpty()) {
        QStringList quoted;
        for (const QString &name : names)
            quoted.append(QStringLiteral("«%1»").arg(name));
        auto *list = new QLabel(QStringLiteral("Будет удалено: %1").arg(quoted.join(QStringLiteral(", "))), this);
        list->setObjectName(QStringLiteral("Label2"));
        list->setWordWrap(true);
        list->setTextFormat(Qt::PlainText);
        layout->addWidget(list);
    }

    auto *buttons = new QHBoxLayout;
    auto *yes = new QPushButton(QStringLiteral("&да"), this);
    yes->setObjectName(QStringLiteral("Button1"));
    auto *no = new QPushButton(QStringLiteral("&нет"), this);
    no->setObjectName(QStringLiteral("Button2"));
    // A stray Enter must not delete: "нет" is the default.
    yes->setAutoDefault(false);
    no->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(yes);
    buttons->addSpacing(40);
    buttons->addWidget(no);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);

    setFixedWidth(380);
    setFixedHeight(std::max(150, sizeHint().height()));
}

} // namespace vastrel
