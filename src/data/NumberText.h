#pragma once

#include <QString>

// Number texts as the tables, fields and cells carry them: "." as decimal
// point, no thousands separators, the C locale whatever the desktop uses.

// Decimal integer (optional sign, leading blanks allowed); ConvertError otherwise.
int StrToInt(const QString& text);
// Decimal number with optional exponent; blanks around it allowed; ConvertError otherwise.
double StrToFloat(const QString& text);
// As above, but an empty or invalid text gives `fallback` and nothing is reported.
int StrToIntDefault(const QString& text, int fallback);
double StrToFloatDefault(const QString& text, double fallback);
// Shortest general decimal form with up to 15 significant digits, no trailing
// zeros: 12.3, 5, -0.25. Used for every number written into a field, a cell or a page.
QString FloatToStr(double value);
// Plain decimal digits with a minus sign when negative.
QString IntToStr(int value);
