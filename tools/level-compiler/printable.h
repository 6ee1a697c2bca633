// Text from a file made safe to print on a terminal.
#pragma once

#include <string>

// text with every byte a terminal would act on or could not show written as
// \xNN: control characters (NUL and ESC among them), DEL, C1 controls and
// bytes that are not UTF-8. Printable ASCII and UTF-8 letters pass as they are.
std::string printable(const std::string &text);
