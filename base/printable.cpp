// Escaping for messages that quote a file's bytes: a level or a key script
// may hold anything, and none of it may reach the terminal raw.
#include "base/base.h"

#include <cstdio>

namespace {

constexpr unsigned char FIRST_PRINTABLE = 0x20;
constexpr unsigned char DELETE = 0x7f;

// The length of the well-formed UTF-8 sequence at text[at] that is not a C1
// control, or 0.
size_t utf8_length(const std::string &text, size_t at)
{
  unsigned char lead = (unsigned char)text[at];
  size_t length = lead >= 0xc2 && lead <= 0xdf ? 2 : lead >= 0xe0 && lead <= 0xef ? 3
                : lead >= 0xf0 && lead <= 0xf4 ? 4 : 0;
  if (length == 0 || at + length > text.size())
    return 0;
  for (size_t i = 1; i < length; i++)
    if (((unsigned char)text[at + i] & 0xc0) != 0x80)
      return 0;
  unsigned char second = (unsigned char)text[at + 1];
  bool c1_control = lead == 0xc2 && second < 0xa0;
  bool overlong = (lead == 0xe0 && second < 0xa0) || (lead == 0xf0 && second < 0x90);
  bool surrogate = lead == 0xed && second > 0x9f;
  bool past_unicode = lead == 0xf4 && second > 0x8f;
  return c1_control || overlong || surrogate || past_unicode ? 0 : length;
}

}  // namespace

std::string printable(const std::string &text)
{
  std::string out;
  for (size_t at = 0; at < text.size();) {
    unsigned char c = (unsigned char)text[at];
    size_t length = c >= FIRST_PRINTABLE && c < DELETE ? 1 : c > DELETE ? utf8_length(text, at) : 0;
    if (length > 0) {
      out.append(text, at, length);
      at += length;
      continue;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
    out += escaped;
    at++;
  }
  return out;
}
