// The command line that every tool shares: parsing and usage from one table.
#include "tools/asset-kit/command_line.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int HELP_COLUMN = 24;  // where an option's help starts on its line

const char *const HELP_LINE = "print this help and exit";

bool is_help(const char *word)
{
  return std::strcmp(word, "-h") == 0 || std::strcmp(word, "--help") == 0;
}

// A word that names an option; "-" alone is an operand (standard input).
bool looks_like_option(const char *word)
{
  return word[0] == '-' && word[1] != '\0';
}

bool is_operand(const tool_option &o)
{
  return o.kind == OPERAND || o.kind == OPTIONAL_OPERAND || o.kind == OPERAND_LIST;
}

// "[--shot FILE]", "MAP", "[LEVEL]" or "LEVEL...": the option in a usage line.
std::string synopsis(const tool_option &o)
{
  switch (o.kind) {
  case OPTION_SWITCH:
    return std::string("[") + o.name + "]";
  case OPTION_VALUE:
    return std::string("[") + o.name + " " + o.value + "]";
  case OPERAND:
    return o.name;
  case OPTIONAL_OPERAND:
    return std::string("[") + o.name + "]";
  case OPERAND_LIST:
    return std::string(o.name) + "...";
  }
  return o.name;
}

// "tool command [--option] OPERAND": one form's usage line, options first.
std::string form_line(const tool_usage &usage, const tool_form &form)
{
  std::string line = usage.name;
  if (form.command)
    line += std::string(" ") + form.command;
  for (bool operands : {false, true})
    for (const tool_option &o : form.options)
      if (is_operand(o) == operands)
        line += " " + synopsis(o);
  return line;
}

void print_option_line(FILE *out, const std::string &words, const char *help)
{
  std::fprintf(out, "  %-*s%s\n", HELP_COLUMN - 2, (words + " ").c_str(), help);
}

void print_usage(const tool_usage &usage, FILE *out)
{
  for (size_t i = 0; i < usage.forms.size(); i++)
    std::fprintf(out, "%s %s\n", i == 0 ? "usage:" : "      ", form_line(usage, usage.forms[i]).c_str());
  std::fprintf(out, "%s\n", usage.summary);
  for (const tool_form &form : usage.forms) {
    if (form.command)
      std::fprintf(out, "%s %s: %s\n", usage.name, form.command, form.summary);
    for (const tool_option &o : form.options)
      print_option_line(out, o.kind == OPTION_VALUE ? std::string(o.name) + " " + o.value : o.name,
                        o.help);
  }
  print_option_line(out, "-h, --help", HELP_LINE);
  if (usage.notes)
    std::fputs(usage.notes, out);
}

const tool_option *find_option(const tool_form &form, const char *word)
{
  for (const tool_option &o : form.options)
    if (!is_operand(o) && std::strcmp(o.name, word) == 0)
      return &o;
  return nullptr;
}

// Reads the words after the command word into the form's targets; false with
// the mistake in error.
bool read_form(const tool_form &form, int argc, char **argv, int first, std::string &error)
{
  std::vector<const tool_option *> operands;
  for (const tool_option &o : form.options)
    if (is_operand(o))
      operands.push_back(&o);
  size_t next_operand = 0;
  for (int i = first; i < argc; i++) {
    const char *word = argv[i];
    if (looks_like_option(word)) {
      const tool_option *o = find_option(form, word);
      if (!o) {
        error = std::string("unknown option ") + word;
        return false;
      }
      if (o->kind == OPTION_SWITCH) {
        *o->flag = true;
        continue;
      }
      if (i + 1 >= argc || looks_like_option(argv[i + 1])) {
        error = std::string(word) + " needs a value " + o->value;
        return false;
      }
      *o->text = argv[++i];
      continue;
    }
    if (next_operand >= operands.size()) {
      error = std::string("one word too many: ") + word;
      return false;
    }
    const tool_option *o = operands[next_operand];
    if (o->kind == OPERAND_LIST) {
      o->texts->push_back(word);
    } else {
      *o->text = word;
      next_operand++;
    }
  }
  for (size_t k = next_operand; k < operands.size(); k++) {
    const tool_option *o = operands[k];
    bool missing = o->kind == OPERAND || (o->kind == OPERAND_LIST && o->texts->empty());
    if (missing) {
      error = std::string("missing ") + o->name;
      return false;
    }
  }
  return true;
}

}  // namespace

tool_option switch_option(const char *name, const char *help, bool *flag)
{
  return {OPTION_SWITCH, name, nullptr, help, flag, nullptr, nullptr};
}

tool_option value_option(const char *name, const char *value, const char *help, const char **text)
{
  return {OPTION_VALUE, name, value, help, nullptr, text, nullptr};
}

tool_option operand(const char *name, const char *help, const char **text)
{
  return {OPERAND, name, nullptr, help, nullptr, text, nullptr};
}

tool_option optional_operand(const char *name, const char *help, const char **text)
{
  return {OPTIONAL_OPERAND, name, nullptr, help, nullptr, text, nullptr};
}

tool_option operand_list(const char *name, const char *help, std::vector<const char *> *texts)
{
  return {OPERAND_LIST, name, nullptr, help, nullptr, nullptr, texts};
}

int read_command_line(const tool_usage &usage, int argc, char **argv, int *chosen_form)
{
  program_name = usage.name;
  for (int i = 1; i < argc; i++)
    if (is_help(argv[i])) {
      print_usage(usage, stdout);
      return 0;
    }
  int form = 0, first = 1;
  if (usage.forms[0].command) {
    if (argc < 2)
      return usage_error(usage, "missing a command");
    form = -1;
    for (size_t f = 0; f < usage.forms.size(); f++)
      if (std::strcmp(argv[1], usage.forms[f].command) == 0)
        form = (int)f;
    if (form < 0)
      return usage_error(usage, std::string("unknown command ") + argv[1]);
    first = 2;
  }
  std::string error;
  if (!read_form(usage.forms[form], argc, argv, first, error))
    return usage_error(usage, error);
  if (chosen_form)
    *chosen_form = form;
  return RUN_TOOL;
}

int run_tool(const tool_usage &usage, int argc, char **argv, int (*run)())
{
  int status = read_command_line(usage, argc, argv);
  return status == RUN_TOOL ? run() : status;
}

int write_data_files(const char *data_folder, const char *const names[], int count,
                     bool (*write)(const char *path, int index))
{
  for (int i = 0; i < count; i++) {
    std::string path = std::string(data_folder) + "/" + names[i];
    if (!write(path.c_str(), i))
      return file_error(path, "cannot write");
  }
  return 0;
}

int usage_error(const tool_usage &usage, const std::string &message)
{
  std::fprintf(stderr, "%s: %s\n", usage.name, printable(message).c_str());  // it may quote the command line
  print_usage(usage, stderr);
  return EXIT_TOOL_USAGE;
}

int file_error(const std::string &path, const std::string &message)
{
  report_file_problem(path, message);
  return EXIT_TOOL_FAILED;
}

int tool_error(const std::string &message)
{
  report_problem(message);
  return EXIT_TOOL_FAILED;
}
