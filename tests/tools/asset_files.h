// Shared helpers of the asset tests: the data files' names and whole files come from the kit.
#pragma once

#include "assets/asset_files.h"
#include "tests/support/run_command.h"
#include "tests/support/files.h"

#include <string>

inline std::string data_file(const std::string &name) { return PILKO_DATA_DIR "/" + name; }
