// Reads the decimal number at the start of a piece of typed text, the way C's atoi reads it.
#pragma once

#include <QStringView>

// Returns the integer at the start of `text`: blanks (space, tab, line feed, vertical tab, form
// feed, carriage return) are skipped, then an optional '+' or '-', then ASCII digits up to the
// first other character. Text without such digits reads as 0. A digit run too long for an int
// saturates at INT_MAX or INT_MIN instead of overflowing, so absurd input stays out of every range.
int ReadLeadingInteger(QStringView text);
