// The command line that every tool shares. A tool describes its options and
// operands once, in a table; the parser reads argv into the table's targets,
// and the usage is printed from the same table. The convention: -h or --help
// prints the usage to standard output (exit 0); a usage mistake prints what is
// wrong and the usage to standard error (exit 2); any other error is one line
// "tool: path: message" (exit 1). A word that looks like an option is never
// taken as a file name.
#pragma once

#include "base/base.h"

#include <string>
#include <vector>

constexpr int EXIT_TOOL_FAILED = 1;  // a file could not be read, made or written
constexpr int EXIT_TOOL_USAGE = 2;   // the command line is wrong
constexpr int RUN_TOOL = -1;         // read_command_line: go on and run the tool

enum option_kind {
  OPTION_SWITCH,     // "--events": sets a flag
  OPTION_VALUE,      // "--shot FILE": takes the next word as its value
  OPERAND,           // a word in its place, e.g. MAP
  OPTIONAL_OPERAND,  // the same, may be left out (after every plain operand)
  OPERAND_LIST,      // one or more words (the last operand)
};

// One line of a tool's table.
struct tool_option {
  option_kind kind;
  const char *name;   // "--events", "--shot", or an operand's placeholder "MAP"
  const char *value;  // an OPTION_VALUE's placeholder ("FILE"); nullptr otherwise
  const char *help;   // one line for the usage
  bool *flag;                          // OPTION_SWITCH: set when given
  const char **text;                   // OPTION_VALUE and the operands: the word given
  std::vector<const char *> *texts;    // OPERAND_LIST: the words given
};

// Table lines of each kind.
tool_option switch_option(const char *name, const char *help, bool *flag);
tool_option value_option(const char *name, const char *value, const char *help, const char **text);
tool_option operand(const char *name, const char *help, const char **text);
tool_option optional_operand(const char *name, const char *help, const char **text);
tool_option operand_list(const char *name, const char *help, std::vector<const char *> *texts);

// One way to call a tool: the command word that picks it (nullptr for a tool
// with one way), what it does, and its table.
struct tool_form {
  const char *command;
  const char *summary;
  std::vector<tool_option> options;
};

// A tool's whole command line: its name, what it does, its forms, and text
// printed after the options (nullptr for none).
struct tool_usage {
  const char *name;
  const char *summary;
  std::vector<tool_form> forms;
  const char *notes = nullptr;
};

// Reads argv into the targets of the form it calls (its index in chosen_form
// when given), and names the tool in its messages (base's program_name). Returns RUN_TOOL to go on; 0 after printing the usage for -h
// or --help; EXIT_TOOL_USAGE after a mistake. main returns anything else.
int read_command_line(const tool_usage &usage, int argc, char **argv, int *chosen_form = nullptr);
// The whole of a tool's main: reads the command line, then runs the tool
// with run (which returns the exit status) when the words are right.
int run_tool(const tool_usage &usage, int argc, char **argv, int (*run)());
// Writes count data files, each to DATA_FOLDER/name with write(path, index);
// stops at the first that fails with "tool: path: cannot write". Returns the
// exit status.
int write_data_files(const char *data_folder, const char *const names[], int count,
                     bool (*write)(const char *path, int index));
// Prints "tool: message" and the usage to standard error; returns
// EXIT_TOOL_USAGE, for mistakes the tool finds in an option's value.
int usage_error(const tool_usage &usage, const std::string &message);
// Prints "tool: path: message" (the path made printable) to standard error;
// returns EXIT_TOOL_FAILED.
int file_error(const std::string &path, const std::string &message);
// Prints "tool: message" to standard error; returns EXIT_TOOL_FAILED.
int tool_error(const std::string &message);
