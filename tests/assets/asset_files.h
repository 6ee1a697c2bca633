// Shared helpers of the asset tests.
#pragma once

#include <string>
#include <vector>

// The generated data folder and the build folder (the MIDI player's files).
extern const char *const data_dir;
extern const char *const build_dir;
extern const char *const texture_names[6];
extern const char *const picture_names[3];
extern const char *const sample_names[5];

std::string data_file(const std::string &name);  // "graphics/kez.bmp" -> full path
std::vector<unsigned char> read_bytes(const std::string &path);  // empty if unreadable
std::string command_output(const std::string &command);  // its standard output
std::string make_temp_folder();
void remove_folder(const std::string &folder);
bool is_power_of_two(int n);
