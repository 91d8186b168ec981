#include "windows/captioned_field.h"

#include <QLabel>
#include <QVBoxLayout>

namespace vastrel {

void addCaptionedField(QVBoxLayout *layout, QWidget *field, const char *objectName, const QString &caption,
                       int spacingAfter)
{
    auto *label = new QLabel(caption, field->parentWidget());
    label->setBuddy(field);
    field->setObjectName(QString::fromLatin1(objectName));
    layout->addWidget(label);
    layout->addWidget(field);
    layout->addSpacing(spacingAfter);
}

} // namespace vastrel
