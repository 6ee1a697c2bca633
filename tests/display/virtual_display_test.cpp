// The virtual display's server never outlives what started it: not a test
// that crashes, not one that CTest stops at its timeout, not a run that is
// told to stop. Other developers' servers run beside ours, so only the
// processes these tests started are looked at, each known by id and start time.
#include "tests/support/files.h"
#include "tests/support/run_command.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <sstream>
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

// Whether any of the processes still runs once they have had every chance to
// end: an X server takes a moment to shut down, longer on a busy machine.
bool any_outlives(const std::vector<std::string> &processes)
{
  for (int tenth = 0; tenth < 600; tenth++, usleep(100000))
    if (std::none_of(processes.begin(), processes.end(), [](const std::string &p) { return process_identity(std::stoi(p)) == p; }))
      return false;
  return true;
}

// A test program (sh OWNER crash|hang FILE) that takes a virtual display of its own and writes its
// server's identity to FILE, then dies of SIGSEGV, or says "display ready" and waits to be stopped.
const char OWNER[] = "d=$('" VIRTUAL_DISPLAY "' start --owner $$) || exit 1\n"
                     "p=$(cat /tmp/.X${d#:}-lock)\n"
                     "echo $p $(ps -o lstart= -p $p) >\"$2\"\n"
                     "[ \"$1\" = crash ] && kill -SEGV $$\n"
                     "echo display ready\n"
                     "exec sleep 600\n";

// A program (sh RUNNER FILE) that starts a command under virtual-display run, writes the
// identities of its server and of the command to FILE once the command has said where it runs
// (in one rename, never read half-written), then stops the run with SIGTERM and prints its status.
const char RUNNER[] = "'" VIRTUAL_DISPLAY "' run -- sh -c 'echo \"$DISPLAY $$\" >\"$0.new\" && mv \"$0.new\" \"$0\" && "
                      "exec sleep 600' \"$1.where\" >/dev/null 2>&1 &\n"
                      "for i in $(seq 600); do [ -e \"$1.where\" ] && break; sleep 0.1; done\n"
                      "read d c <\"$1.where\"; p=$(cat /tmp/.X${d#:}-lock)\n"
                      "echo $p $(ps -o lstart= -p $p) >\"$1\"; echo $c $(ps -o lstart= -p $c) >>\"$1\"\n"
                      "kill -TERM $!; wait $!; echo $?\n";

// The identities a program wrote down, one a line; each names a process that ran (ps knew it).
std::vector<std::string> written_identities(const scratch_folder &folder)
{
  std::istringstream text(file_text(folder.file("server")));
  std::vector<std::string> identities;
  for (std::string line; std::getline(text, line);)
    identities.push_back(line);
  for (const std::string &identity : identities)
    EXPECT_NE(identity.find(' '), std::string::npos) << "no process " << identity;
  return identities;
}

TEST(VirtualDisplay, ServerEndsWithItsTest)
{
  // A test that crashes (SIGSEGV: 139 from the shell) once it has its display.
  scratch_folder crashed;
  write_file(crashed.file("owner"), std::string(OWNER));
  EXPECT_EQ(run_command("sh '" + crashed.file("owner") + "' crash '" + crashed.file("server") + "'; echo $?").output, "139\n");
  EXPECT_FALSE(any_outlives(written_identities(crashed))) << "the crashed test's server outlived it";

  // A test that hangs, stopped by CTest a second after it says its display is ready.
  scratch_folder hung;
  write_file(hung.file("owner"), std::string(OWNER));
  write_file(hung.file("CTestTestfile.cmake"),
             "add_test(hangs sh \"" + hung.file("owner") + "\" hang \"" + hung.file("server") + "\")\n"
             "set_tests_properties(hangs PROPERTIES TIMEOUT 600 TIMEOUT_AFTER_MATCH \"1;display ready\")\n");
  std::string output = run_command("cd '" + hung.path + "' && '" CTEST_COMMAND "' 2>&1").output;
  ASSERT_NE(output.find("Timeout"), std::string::npos) << output;
  EXPECT_FALSE(any_outlives(written_identities(hung))) << "the stopped test's server outlived it";
}

// The run ends as its command, stopped by SIGTERM (128 + 15), and takes command and server along.
TEST(VirtualDisplay, RunEndsCommandAndServerOnSigterm)
{
  scratch_folder folder;
  write_file(folder.file("runner"), std::string(RUNNER));
  EXPECT_EQ(run_command("sh '" + folder.file("runner") + "' '" + folder.file("server") + "'").output, "143\n");
  std::vector<std::string> processes = written_identities(folder);
  ASSERT_EQ(processes.size(), 2u) << "no server and command written down";
  EXPECT_FALSE(any_outlives(processes)) << "server or command outlived the run";
}

}  // namespace
