// Shared helpers of the asset tests: where the generated files are, and
// small readers for files and command output.
#pragma once

#include <string>
#include <vector>

// The generated data folder (the game's working directory) and the folder
// of the executable, where the MIDI player's files are.
extern const char *const data_dir;
extern const char *const build_dir;

// The full path of a file in the data folder ("graphics/kez.bmp").
std::string data_file(const std::string &name);
// A file's bytes; empty when it cannot be read.
std::vector<unsigned char> read_bytes(const std::string &path);
// What a shell command printed on its standard output.
std::string command_output(const std::string &command);
// A new empty folder under the system's temporary folder.
std::string make_temp_folder();
// Whether n is 1, 2, 4, 8, ...: the texture sides OpenGL 1.1 accepts.
bool is_power_of_two(int n);
// Removes a folder and everything in it.
void remove_folder(const std::string &folder);

// The textures, pictures and samples the game opens, by file name.
extern const char *const texture_names[6];
extern const char *const picture_names[3];
extern const char *const sample_names[5];
