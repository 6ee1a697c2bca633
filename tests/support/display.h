// The project's virtual X server for test programs.
#pragma once

#include <string>

// A virtual X server for this test program (":N"): the one the CTest run
// shares when it started one, else one started on first use and stopped
// when the program ends, however it ends; empty when none could be started.
std::string test_display();
// A virtual server of this program's own, started once with these options of
// tools/display/virtual-display start ("--size 1920x1080", "--weston", ...)
// and stopped when the program ends, however it ends; empty when none could
// be started.
std::string own_display(const std::string &server_options);

