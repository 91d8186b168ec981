#pragma once

#include <QString>

class QWidget;

namespace vastrel::test {

// Types the text into the widget key by key, as a user would. Unlike
// QTest::keyClicks it also types Cyrillic (QTest only maps ASCII to keys).
void typeText(QWidget *widget, const QString &text);

} // namespace vastrel::test
