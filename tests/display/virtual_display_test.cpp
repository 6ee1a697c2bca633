// The virtual display's server never outlives what started it: not a test
// that crashes, not one that CTest stops at its timeout, not a run that is
// told to stop. Other developers' servers run beside ours, so only the
// processes these tests started are counted, each known by id and start time.
#include "server_process.h"
#include "tests/support/run_command.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string read_text(const std::string &path)
{
  std::ifstream file(path);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

pid_t start_program(const std::vector<std::string> &arguments)
{
  pid_t pid = fork();
  if (pid == 0) {
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
      argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

int wait_for_exit(pid_t pid)
{
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

int count_running(const std::vector<process_identity> &processes)
{
  int running = 0;
  for (const process_identity &process : processes)
    running += still_runs(process);
  return running;
}

// How many of the processes still run once they have had every chance to end:
// an X server takes a moment to shut down, longer on a busy machine, so this
// waits for them (up to a minute) instead of looking once.
int count_running_after_their_end(const std::vector<process_identity> &processes)
{
  for (int tenth = 0; tenth < 600 && count_running(processes) > 0; tenth++)
    usleep(100000);
  return count_running(processes);
}

TEST(VirtualDisplay, ServerEndsWhenItsTestCrashes)
{
  scratch_folder folder;
  std::string identity_file = folder.file("server");
  int status = wait_for_exit(start_program({DISPLAY_OWNER, "crash", identity_file}));
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV) << "status " << status;
  // Written by the test program while its server ran: one server before.
  process_identity server = identity_from_text(read_text(identity_file));
  ASSERT_NE(server.pid, 0) << "the crashing program had no server";
  EXPECT_EQ(count_running_after_their_end({server}), 0) << "Xorg " << server.pid << " outlived its test";
}

TEST(VirtualDisplay, ServerEndsWhenCTestTimesOut)
{
  scratch_folder scratch;
  const std::string &folder = scratch.path;
  std::string identity_file = scratch.file("server");
  // A test that hangs once it has its display, stopped by CTest a second
  // after it says so.
  std::ofstream(folder + "/CTestTestfile.cmake")
      << "add_test(hangs \"" << DISPLAY_OWNER << "\" hang \"" << identity_file << "\")\n"
      << "set_tests_properties(hangs PROPERTIES TIMEOUT 600 TIMEOUT_AFTER_MATCH \"1;display ready\")\n";
  std::string output = run_command("cd '" + folder + "' && '" + CTEST_COMMAND + "' 2>&1").output;
  ASSERT_NE(output.find("Timeout"), std::string::npos) << output;
  process_identity server = identity_from_text(read_text(identity_file));
  ASSERT_NE(server.pid, 0) << "the hanging program had no server";
  EXPECT_EQ(count_running_after_their_end({server}), 0) << "Xorg " << server.pid << " outlived its test";
}

TEST(VirtualDisplay, RunEndsCommandAndServerOnSigterm)
{
  scratch_folder folder;
  std::string started_file = folder.file("started");
  // The command says where it runs, in one rename so that it is never read
  // half-written, then waits to be stopped.
  pid_t run = start_program({VIRTUAL_DISPLAY, "run", "--", "/bin/sh", "-c",
                             "echo \"$DISPLAY $$\" >'" + started_file + ".new' && mv '" + started_file +
                                 ".new' '" + started_file + "' && exec sleep 600"});
  for (int tenth = 0; tenth < 600 && !fs::exists(started_file); tenth++)
    usleep(100000);
  std::string display;
  pid_t command_pid = 0;
  std::istringstream(read_text(started_file)) >> display >> command_pid;
  ASSERT_FALSE(display.empty()) << "the command never started";
  std::vector<process_identity> started = {display_server(display), identify(command_pid)};
  ASSERT_EQ(count_running(started), 2) << "server and command before the signal";

  kill(run, SIGTERM);
  int status = wait_for_exit(run);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM)
      << "run ends as its command, stopped by SIGTERM; status " << status;
  EXPECT_EQ(count_running_after_their_end(started), 0) << "server or command outlived the run";
}

}  // namespace
