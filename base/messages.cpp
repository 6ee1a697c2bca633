// One-line messages on the standard error stream, each naming the program.
#include "base/base.h"

#include <cstdio>

const char *program_name = "pilko";

void report_problem(const std::string &message)
{
  std::fprintf(stderr, "%s: %s\n", program_name, message.c_str());
}

void report_file_problem(const std::string &path, const std::string &message)
{
  report_problem(printable(path) + ": " + message);
}
