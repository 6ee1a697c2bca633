// The virtual display's server never outlives what started it: not a test
// that crashes, not one that CTest stops at its timeout, not a run that is
// told to stop. Other developers' servers run beside ours, so only the
// processes these tests started are looked at, each known by id and start time.
#include "tests/support/files.h"
#include "tests/support/run_command.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// "PID START_TIME" (ps's words) of the live process with this id, or "" when there is none
// (a zombie has ended: it holds nothing any more).
std::string process_identity(pid_t pid)
{
  std::istringstream words(pid > 0 ? run_command("ps -o stat=,lstart= -p " + std::to_string(pid)).output : "");
  std::string state, word, identity = std::to_string(pid);
  for (words >> state; words >> word;)
    identity += " " + word;
  return state.empty() || state[0] == 'Z' ? "" : identity;
}

// The identity of the live server of display ":N" (by its lock file), or "".
std::string display_server(const std::string &display)
{
  pid_t pid = 0;
  std::ifstream("/tmp/.X" + display.substr(display.empty() ? 0 : 1) + "-lock") >> pid;
  return display.size() > 1 ? process_identity(pid) : "";
}

// Whether the process with this identity still runs.
bool still_runs(const std::string &identity)
{
  return !identity.empty() && process_identity(std::stoi(identity)) == identity;
}

// Whether any of the processes still runs once they have had every chance to
// end: an X server takes a moment to shut down, longer on a busy machine.
bool any_outlives(const std::vector<std::string> &processes)
{
  auto running = [&] {
    for (const std::string &process : processes)
      if (still_runs(process))
        return true;
    return false;
  };
  for (int tenth = 0; tenth < 600 && running(); tenth++)
    usleep(100000);
  return running();
}

// A test program (sh OWNER crash|hang FILE) that takes a virtual display of its own and writes its
// server's identity to FILE, then dies of SIGSEGV, or says "display ready" and waits to be stopped.
const char OWNER[] = "d=$('" VIRTUAL_DISPLAY "' start --owner $$) || exit 1\n"
                     "p=$(cat /tmp/.X${d#:}-lock)\n"
                     "echo $p $(ps -o lstart= -p $p) >\"$2\"\n"
                     "[ \"$1\" = crash ] && kill -SEGV $$\n"
                     "echo display ready\n"
                     "exec sleep 600\n";

// The identity the display owner wrote down for its server.
std::string owned_server(const scratch_folder &folder)
{
  std::string text = file_text(folder.file("server"));
  return text.substr(0, text.find('\n'));
}

TEST(VirtualDisplay, ServerEndsWithItsTest)
{
  // A test that crashes (SIGSEGV: 139 from the shell) once it has its display.
  scratch_folder crashed;
  write_file(crashed.file("owner"), std::string(OWNER));
  EXPECT_EQ(run_command("sh '" + crashed.file("owner") + "' crash '" + crashed.file("server") + "'; echo $?").output, "139\n");
  ASSERT_FALSE(owned_server(crashed).empty()) << "the crashing program had no server";
  EXPECT_FALSE(any_outlives({owned_server(crashed)})) << "the crashed test's server outlived it";

  // A test that hangs, stopped by CTest a second after it says its display is ready.
  scratch_folder hung;
  write_file(hung.file("owner"), std::string(OWNER));
  write_file(hung.file("CTestTestfile.cmake"),
             "add_test(hangs sh \"" + hung.file("owner") + "\" hang \"" + hung.file("server") + "\")\n"
             "set_tests_properties(hangs PROPERTIES TIMEOUT 600 TIMEOUT_AFTER_MATCH \"1;display ready\")\n");
  std::string output = run_command("cd '" + hung.path + "' && '" CTEST_COMMAND "' 2>&1").output;
  ASSERT_NE(output.find("Timeout"), std::string::npos) << output;
  ASSERT_FALSE(owned_server(hung).empty()) << "the hanging program had no server";
  EXPECT_FALSE(any_outlives({owned_server(hung)})) << "the stopped test's server outlived it";
}

TEST(VirtualDisplay, RunEndsCommandAndServerOnSigterm)
{
  scratch_folder folder;
  std::string started = folder.file("started");
  // The command says where it runs, in one rename so that it is never read
  // half-written, then waits to be stopped.
  pid_t run = fork();
  if (run == 0) {
    std::string script = "echo \"$DISPLAY $$\" >'" + started + ".new' && mv '" + started + ".new' '" + started +
                         "' && exec sleep 600";
    execl(VIRTUAL_DISPLAY, VIRTUAL_DISPLAY, "run", "--", "/bin/sh", "-c", script.c_str(), (char *)nullptr);
    _exit(127);
  }
  for (int tenth = 0; tenth < 600 && !std::filesystem::exists(started); tenth++)
    usleep(100000);
  std::string display;
  pid_t command = 0;
  std::istringstream(file_text(started)) >> display >> command;
  std::vector<std::string> processes = {display_server(display), process_identity(command)};
  ASSERT_TRUE(still_runs(processes[0]) && still_runs(processes[1])) << "server and command before the signal";

  kill(run, SIGTERM);
  int status = 0;
  waitpid(run, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM)
      << "run ends as its command, stopped by SIGTERM; status " << status;
  EXPECT_FALSE(any_outlives(processes)) << "server or command outlived the run";
}

}  // namespace
