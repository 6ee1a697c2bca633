// The project's virtual X server for test programs.
#pragma once

#include <string>

// A virtual X server for this test program (":N"): the one the CTest run
// shares when it started one, else one started on first use and stopped
// when the program ends, however it ends; empty when none could be started.
// xvfb: Xvfb (no full-screen GL there) instead of Xorg on the dummy driver.
std::string test_display(bool xvfb = false);
// A virtual server of this program's own, started once with these options of
// tools/display/virtual-display start ("--size 1920x1080", "--weston", ...)
// and stopped when the program ends, however it ends; empty when none could
// be started.
std::string own_display(const std::string &server_options);
// Makes test_display start a server of this program's own even when the run
// shares one: for programs whose server must end with them.
void use_own_display();

