#pragma once

#include <QString>

class QVBoxLayout;
class QWidget;

namespace vastrel {

// A caption over its field in a column of fields, as the dialog windows
// lay them out; the field gets its objectName and the caption as its buddy.
void addCaptionedField(QVBoxLayout *layout, QWidget *field, const char *objectName, const QString &caption,
                       int spacingAfter);

} // namespace vastrel
