#include "windows/new_estimate_dialog.h"

#include "domain/catalogue.h"
#include "windows/captioned_field.h"
#include "windows/code_edit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace vastrel {

namespace {

// Holds the messages of one action, so the window can close before they are shown.
class HeldMessages : public MessageService
{
public:
    explicit HeldMessages(MessageService &target)
        : m_target(target)
    {}
    void show(MessageKind kind, const QString &text) override { m_held.append({kind, text}); }
    bool ask(const QString &question) override
    {
        release();
        return m_target.ask(question);
    }
    void release()
    {
        for (const auto &[kind, text] : std::exchange(m_held, {}))
            m_target.show(kind, text);
    }

private:
    MessageService &m_target;
    QList<std::pair<MessageKind, QString>> m_held;
};

} // namespace

NewEstimateDialog::NewEstimateDialog(const Workspace &workspace, EstimateWindow &mainWindow, MessageService &messages,
                                     QWidget *parent)
    : QDialog(parent)
    , m_workspace(workspace)
    , m_mainWindow(mainWindow)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Ввод данных о новой смете"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(3);
    auto addField = [&](QWidget *field, const char *name, const QString &caption) {
        addCaptionedField(layout, field, name, caption, 6);
    };
    m_name = new QLineEdit(this);
    addField(m_name, "Edit1", QStringLiteral("Имя сметы:"));
    m_notes = new QLineEdit(this);
    addField(m_notes, "Edit2", QStringLiteral("Примечания к смете"));
    m_source = new QComboBox(this);
    m_source->setEditable(false);
    m_source->addItems(incomeSources());
    m_source->setCurrentIndex(-1);
    addField(m_source, "ComboBox1", QStringLiteral("Расшифровки"));
    m_code = new CodeEdit(messages, this);
    m_code->setMaximumWidth(60);
    m_code->setCode(QStringLiteral("000"));
    addField(m_code, "MaskEdit1", QStringLiteral("Кодовое трехзначное число"));

    auto *buttons = new QHBoxLayout;
    auto addButton = [&](const char *name, const QString &caption) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        buttons->addWidget(button);
        return button;
    };
    connect(addButton("Button3", QStringLiteral("&показать ")), &QPushButton::clicked, this,
            &NewEstimateDialog::showRecord);
    connect(addButton("Button1", QStringLiteral("&сохранить изменения")), &QPushButton::clicked, this,
            &NewEstimateDialog::store);
    connect(addButton("Button2", QStringLiteral("&отмена")), &QPushButton::clicked, this, &QDialog::reject);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    setFixedSize(420, 300);
}

NewEstimateForm NewEstimateDialog::readForm() const
{
    NewEstimateForm form;
    form.name = m_name->text();
    form.notes = m_notes->text();
    form.source = m_source->currentIndex();
    form.code = m_code->code();
    form.nameEnabled = m_name->isEnabled();
    return form;
}

void NewEstimateDialog::writeForm(const NewEstimateForm &form)
{
    m_name->setText(form.name);
    m_name->setEnabled(form.nameEnabled);
    m_notes->setText(form.notes);
    if (form.code != m_code->code())
        m_code->setCode(form.code);
}

void NewEstimateDialog::showRecord()
{
    NewEstimateForm form = readForm();
    runAction(m_messages, [&] {
        loadSelectedRecord(m_workspace, m_mainWindow.selectedLine(), form);
        return Outcome::done();
    });
    writeForm(form);
}

void NewEstimateDialog::store()
{
    if (!m_code->acceptCode())
        return;
    NewEstimateForm form = readForm();
    const qsizetype recordsBefore = m_mainWindow.selectorItems.size();
    HeldMessages held(m_messages);
    const Outcome outcome = runAction(held, [&] { return storeNewEstimate(m_workspace, form, m_mainWindow); });
    // The income source is chosen in the main window: this one closes so that it can be.
    const bool closes = outcome.ok() || outcome.field().kind == Field::Source;
    // A changed record is reported over the main window, after this one closed;
    // everything else is reported while the window is still open.
    const bool recordChanged = outcome.ok() && m_mainWindow.selectorItems.size() == recordsBefore;
    if (!recordChanged)
        held.release();
    writeForm(form);
    if (outcome.field().kind == Field::Name)
        m_name->setFocus();
    else if (outcome.field().kind == Field::Code || outcome.field().kind == Field::Source)
        m_code->setFocus();
    if (closes) {
        if (outcome.ok())
            accept();
        else
            reject();
    }
    held.release();
}

} // namespace vastrel
