// A small valid level to break, for the level library's tests and the level
// compiler's: a 5 x 5 grass room (cells 10..14 on both axes) walled in by
// stone 5 high, the hero at (11, 11), a drop at (13, 13), an enemy at
// (14, 10) walking +y.
#pragma once

#include <string>
#include <vector>

// Lines: name 1, start 2, legend entries 5..8, "grid" 9, the row of x at 34 - x, extra line n at 35 + n.
constexpr int row_line(int x) { return 34 - x; }
constexpr int extra_line(int n) { return 35 + n; }
constexpr int cell_column(int y) { return 5 + 2 * (24 - y); }

struct room {
  std::string name = "name Test Room", start = "start 11 11";
  std::vector<std::string> legend = {"  .  grass  0", "  #  stone  5", "  ~  lava  0", "  =  metal  2"};
  std::string rows[25];  // [x], drawn: "12 |# # . ", a '*' in place of the blank after a cell with a drop
  std::vector<std::string> extra = {"enemy 14 10 +y"};

  char &cell(int x, int y) { return rows[x][cell_column(y) - 1]; }
  char &drop(int x, int y) { return rows[x][cell_column(y)]; }

  room()
  {
    for (int x = 0; x < 25; x++) {
      rows[x] = (x < 10 ? " " : "") + std::to_string(x) + " |";
      for (int y = 24; y >= 0; y--)
        rows[x] += x >= 10 && x <= 14 && y >= 10 && y <= 14 ? ". " : "# ";
    }
    drop(13, 13) = '*';
  }

  std::string text() const
  {
    std::string out = name + "\n" + start + "\n\nlegend\n";
    for (const std::string &line : legend)
      out += line + "\n";
    out += "grid\n";
    for (int x = 24; x >= 0; x--)
      out += rows[x] + "\n";
    for (const std::string &line : extra)
      out += line + "\n";
    return out;
  }
};
