// The index of levels written beside the maps ("maps/levels.txt"): each
// level's number and name, and the legend it was written with, so that the
// game can name a level and the decompiler can give a map back its words.
#pragma once

#include "tools/level-compiler/level_data.h"
#include "tools/level-compiler/level_text.h"

#include <string>
#include <vector>

// The file name of the index in the maps folder.
constexpr const char *LEVEL_INDEX_NAME = "levels.txt";

// The index of levels, numbered from 1 in order: "N name" lines, each
// followed by its level's legend lines as written.
std::string index_text(const std::vector<level_data> &levels);

// The name to give the map file at map_path ("…/mapN.map"): level N's name in
// the index beside it, else the file's own name. hints gets the legend lines
// of level N first, then those of every other level in the index.
std::string index_entry_for_map(const std::string &map_path, legend_hints &hints);
