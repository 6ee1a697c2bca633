// Text split into lines, whichever line ends its editor wrote.
#include "base/base.h"

std::vector<std::string> split_lines(const std::string &text)
{
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find_first_of("\r\n", at);
    if (end == std::string::npos)
      end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
    if (end < text.size() && text[end] == '\r' && at < text.size() && text[at] == '\n')
      at++;  // CR LF is one line end
  }
  return lines;
}
