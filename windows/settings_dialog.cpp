#include "windows/settings_dialog.h"

#include "store/settings.h"
#include "windows/captioned_field.h"
#include "windows/code_edit.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vastrel {

SettingsDialog::SettingsDialog(const Workspace &workspace, MessageService &messages, QWidget *parent)
    : QDialog(parent)
    , m_workspace(workspace)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Ввод основных параметров системы"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 0);
    layout->setSpacing(3);
    auto addField = [&](QWidget *field, const char *name, const QString &caption) {
        addCaptionedField(layout, field, name, caption, 4);
    };
    m_name = new QLineEdit(this);
    addField(m_name, "Edit1", QStringLiteral("Официальное название подразделения в родительном падеже:"));
    m_headPosition = new QLineEdit(this);
    addField(m_headPosition, "Edit2", QStringLiteral("Должность и звание руководителя подразделения:"));
    m_headName = new QLineEdit(this);
    addField(m_headName, "Edit5", QStringLiteral("И.О. Фамилия руководителя подразделения"));
    m_code = new CodeEdit(messages, this);
    m_code->setMaximumWidth(60);
    addField(m_code, "MaskEdit1", QStringLiteral("Код подразделения в системе  \"Вастрель - Центр\": "));

    auto *group = new QGroupBox(QStringLiteral("Юридический статус подразделения"), this);
    group->setObjectName(QStringLiteral("RadioGroup1"));
    auto *groupLayout = new QVBoxLayout(group);
    m_status = new QButtonGroup(this);
    for (int i = 0; i < statusItems().size(); ++i) {
        auto *item = new QRadioButton(statusItems().at(i), group);
        item->setObjectName(QStringLiteral("RadioGroup1_%1").arg(i));
        m_status->addButton(item, i);
        groupLayout->addWidget(item);
    }
    layout->addWidget(group);
    layout->addSpacing(4);

    m_responsiblePosition = new QLineEdit(this);
    addField(m_responsiblePosition, "Edit3", QStringLiteral("Должность лица, ответственного за смету:"));
    m_responsibleName = new QLineEdit(this);
    addField(m_responsibleName, "Edit4", QStringLiteral("Фамилия И.О. лица, ответственного за смету:"));

    auto *buttons = new QHBoxLayout;
    auto addButton = [&](const char *name, const QString &caption) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        buttons->addWidget(button);
        return button;
    };
    connect(addButton("Button2", QStringLiteral("&показать настройки ")), &QPushButton::clicked, this,
            &SettingsDialog::showSettings);
    connect(addButton("Button1", QStringLiteral("&загрузить настройки")), &QPushButton::clicked, this,
            &SettingsDialog::storeSettings);
    connect(addButton("Button3", QStringLiteral("&выход")), &QPushButton::clicked, this, &QDialog::close);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->addSpacing(8);

    m_statusStrip = new QLabel(this);
    m_statusStrip->setObjectName(QStringLiteral("Panel1"));
    m_statusStrip->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_statusStrip->setMinimumHeight(22);
    layout->addWidget(m_statusStrip);

    setFixedSize(560, 590);
}

void SettingsDialog::showSettings()
{
    m_statusStrip->setText(QStringLiteral("Версия 2.0, последнее изменение 22.03.09"));
    runAction(m_messages, [this] {
        const auto settings = readSettings(m_workspace, SettingsBlock::First);
        if (!settings)
            return Outcome::refusal({});
        m_name->setText(settings->name);
        m_headPosition->setText(settings->headPosition);
        m_headName->setText(settings->headName);
        m_code->setCode(settings->code);
        m_responsiblePosition->setText(settings->responsiblePosition);
        m_responsibleName->setText(settings->responsibleName);
        const int item = statusItemOfCode(settings->status);
        if (item >= 0)
            m_status->button(item)->setChecked(true);
        return Outcome::done();
    });
}

void SettingsDialog::storeSettings()
{
    if (!m_code->acceptCode())
        return;
    SettingsForm form;
    form.name = m_name->text();
    form.headPosition = m_headPosition->text();
    form.headName = m_headName->text();
    form.code = m_code->code();
    form.statusItem = m_status->checkedId();
    form.responsiblePosition = m_responsiblePosition->text();
    form.responsibleName = m_responsibleName->text();

    const Outcome outcome = runAction(m_messages, [&] { return vastrel::storeSettings(m_workspace, form); });
    // The field the refusal names takes the focus, so the user types straight into it.
    const std::pair<Field::Kind, QWidget *> fields[] = {
        {Field::Name, m_name},
        {Field::HeadPosition, m_headPosition},
        {Field::HeadName, m_headName},
        {Field::Code, m_code},
        {Field::Status, m_status->buttons().first()},
        {Field::ResponsiblePosition, m_responsiblePosition},
        {Field::ResponsibleName, m_responsibleName},
    };
    for (const auto &[kind, widget] : fields) {
        if (outcome.field().kind == kind)
            widget->setFocus();
    }
}

} // namespace vastrel
