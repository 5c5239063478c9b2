#pragma once
// The integer exchange between an edit and an int, as dialog pages have it: the text may
// hold blanks, an optional sign, decimal digits and blanks, and nothing else.

#include <string_view>

class QLineEdit;

// Non-zero with value set when text is such an integer, one beyond the int range set to the
// nearest end of that range; value is left alone otherwise.
int ParseInteger(std::string_view text, int &value);

// Reads the edit into value. A refusal shows "整数を入力してください。", puts the focus
// back in the edit with its whole text selected, keeps value and returns 0.
int ExchangeIntFromEdit(QLineEdit *edit, int &value);
