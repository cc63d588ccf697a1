#include "document/TextNumber.h"

#include <climits>
#include <cstdint>

namespace {

bool IsBlank(QChar c) {
  const char16_t u = c.unicode();
  return u == u' ' || u == u'\t' || u == u'\n' || u == u'\v' || u == u'\f' || u == u'\r';
}

bool IsDigit(QChar c) {
  return c.unicode() >= u'0' && c.unicode() <= u'9';
}

}  // namespace

int ReadLeadingInteger(QStringView text) {
  qsizetype pos = 0;
  while (pos < text.size() && IsBlank(text[pos])) {
    ++pos;
  }
  bool negative = false;
  if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
    negative = text[pos] == u'-';
    ++pos;
  }
  // The magnitude stops growing once it passes what an int can hold, so it never overflows.
  const int64_t limit = negative ? -static_cast<int64_t>(INT_MIN) : INT_MAX;
  int64_t magnitude = 0;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
    if (magnitude < limit) {
      magnitude = magnitude * 10 + (text[pos].unicode() - u'0');
    }
  }
  if (magnitude > limit) {
    magnitude = limit;
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}
