#pragma once

#include <QString>

namespace vastrel {

// A subdivision code field: three digit positions whose empty ones are
// blanks, so its text is three spaces when untouched.

// The masked field's refusal of a code that is not filled in.
QString invalidCodeMessage();

// Exactly three digits.
bool isThreeDigitCode(const QString &text);

// One or two of the three positions blank: begun but not a code yet.
bool isPartlyFilledCode(const QString &text);

} // namespace vastrel
