// The GLF reader, string layout and bounds, and the console, without GL (run with a leak check).
#include "tests/font/font_files.h"
#include "font/vector_internal.h"

namespace {

const char FORMAT_ERROR[] = "Error reading font file: incorrect file format\n";

class VectorFontTest : public ::testing::Test {
 protected:
  void SetUp() override { font_init(); }
  void TearDown() override { font_shutdown(); }
  font_folder folder;
};

// "columns x rows:row0|row1|...@cursor column,row"
std::string screen(int rows)
{
  int width, height, column, cursor_row;
  console_get_size(&width, &height);
  console_get_cursor(&column, &cursor_row);
  std::string s = std::to_string(width) + "x" + std::to_string(height) + ":";
  for (int r = 0; r < rows; r++) {
    char text[CONSOLE_ROW_BUFFER];
    console_compose_row(r, text);
    s += std::string(text) + "|";
  }
  return s + "@" + std::to_string(column) + "," + std::to_string(cursor_row);
}

// Successive draws of the console: S where the cursor shows, h where not.
std::string blink(int draws)
{
  std::string pattern;
  for (int i = 0; i < draws; i++)
    pattern += screen(2).find('_') != std::string::npos ? 'S' : 'h';
  return pattern;
}

// The string's bounds in the font of slot: the outputs min_x, min_y, max_x, max_y as given ('x')
// or null ('.'), rounded; untouched ones stay 5, 6, 7, 8.
std::vector<float> bounds(int slot, const char *text, const char *given = "xxxx")
{
  std::vector<float> b = {5, 6, 7, 8};
  float *out[4];
  for (int i = 0; i < 4; i++)
    out[i] = given[i] == 'x' ? &b[i] : nullptr;
  vector_string_bounds(slot, text, out[0], out[1], out[2], out[3]);
  return rounded(b);
}

}  // namespace

TEST_F(VectorFontTest, BadFilesFailChangingNothing)
{
  EXPECT_EQ(vector_font_load(nullptr), -1);
  glf_symbol_source b = box_symbol('B', -1, 1, -1, 1), space = {' ', {}, {}, {}};
  std::string good = folder.font("ok.glf", {{200, {0.1f, 0.2f, -1, 1, 0.5f, -0.5f}, {0, 1, 2}, {2}}, space});
  ASSERT_EQ(vector_font_load(good.c_str()), 0);
  const vector_font *kept = vector_font_get(0);
  const vector_symbol *s = kept->symbols[200], *e = kept->symbols[' '];
  EXPECT_EQ(rounded({s->min_x, s->max_x, s->min_y, s->max_y, e->min_x, e->max_x, e->min_y, e->max_y}),
            std::vector<float>({-1, 0.5f, -0.5f, 1, 10, -10, 10, -10}));
  glf_symbol_source damaged[] = {
      {'A', b.vertices, {0, 1, 2, 0, 2, 4}, {3}},  // triangle index beyond the vertices
      {'A', b.vertices, {0, 1, 2}, {1, 4}},        // contour end beyond the vertices
      {'A', b.vertices, {0, 1, 2}, {1, 1, 3}},     // contour ends that repeat
      {'A', b.vertices, {0, 1, 2}, {2, 1, 3}},     // contour ends that fall
      {'A', b.vertices, {0, 1, 2}, {2}},           // contours that stop short of the last vertex
      {'A', b.vertices, {0, 1, 2}, {}},            // vertices without contours
      {'A', {}, {0, 0, 0}, {}},                    // triangle without vertices
      {'A', {}, {}, {0}}};                         // contour without vertices
  std::vector<std::pair<std::string, std::string>> files = {
      {folder.font("dup.glf", {b, space, b}), "Error reading font file: encountered symbols in font\n"},
      {folder.file("missing.glf"), ""}};
  for (const glf_symbol_source &d : damaged)
    files.push_back({folder.font("damaged" + std::to_string(files.size()), {b, d}), FORMAT_ERROR});
  std::vector<unsigned char> bytes = file_bytes(good);
  for (size_t length = 0; length <= bytes.size(); length++) {  // every cut, then whole with a bad magic
    std::vector<unsigned char> data(bytes.begin(), bytes.begin() + length);
    if (length == bytes.size())
      data[2] = 'X';
    files.push_back({folder.file("cut" + std::to_string(length)), FORMAT_ERROR});
    ASSERT_TRUE(write_file(files.back().first, data));
  }
  for (const auto &[path, message] : files) {
    for (bool messages : {true, false}) {
      (messages ? font_option_enable : font_option_disable)(FONT_OPTION_MESSAGES);
      testing::internal::CaptureStdout();
      EXPECT_EQ(vector_font_load(path.c_str()), -1) << path;
      EXPECT_EQ(testing::internal::GetCapturedStdout(), messages ? message : "") << path;
    }
    EXPECT_EQ(vector_font_get_current(), 0) << path;
    EXPECT_EQ(vector_font_get(0), kept) << path;
    EXPECT_EQ(vector_font_get(1), nullptr) << path;
  }
  std::string empty = folder.font("empty.glf", {});
  for (int slot = 1; slot < FONT_SLOT_COUNT; slot++)
    ASSERT_EQ(vector_font_load(empty.c_str()), slot) << "count 0 loads";
  EXPECT_EQ(vector_font_load(empty.c_str()), -1);
  EXPECT_EQ(vector_font_unload(7), 0);
  EXPECT_EQ(vector_font_get_current(), 255) << "unloading another font changed the current one";
  EXPECT_EQ(vector_font_load(empty.c_str()), 7) << "the freed slot";
  for (int slot : {-1, 256, 100000}) {
    EXPECT_EQ(vector_font_set_current(slot), -1) << slot;
    EXPECT_EQ(vector_font_unload(slot), -1) << slot;
  }
  EXPECT_EQ(vector_font_get_current(), 7);
}

TEST_F(VectorFontTest, LayoutFollowsGlyphBoxes)
{
  ASSERT_EQ(vector_font_load(folder.font("layout.glf", {box_symbol('S', -0.5f, 0.8f, -0.5f, 0.5f),
      box_symbol('N', -0.6f, 0.7f, -1, 0.25f), box_symbol('O', -0.7f, 0.7f, -1, 1),
      box_symbol(0xE9, -0.25f, 0.5f, 0, 1), {' ', {}, {}, {}}, {1, {}, {}, {}}}).c_str()), 0);
  // 0xE9 is negative as a signed char. The space and code 1 are symbols without vertices,
  // whose boxes keep the reader's start values (min_x 10, max_x -10).
  const vector_font *font = vector_font_get(0);
  struct { const char *text; int index; float advance; } cases[] = {
      {"SN", 0, 1.6f}, {"SN", 1, 0}, {"S N", 0, 0.2f}, {"S N", 1, 2}, {"S?N", 0, 0}, {"S?N", 1, 2},
      {"S\xE9N", 0, 0.8f + 0.25f + 0.2f}, {"S\xE9N", 1, 0.5f + 0.6f + 0.2f}};
  for (const auto &c : cases)
    EXPECT_FLOAT_EQ(vector_layout_advance(font, c.text, c.index), c.advance) << c.text << " at " << c.index;
  EXPECT_EQ(bounds(0, "O"), std::vector<float>({-0.7f, -1, 0.9f, 1}));
  // S 1.3 + 0.2, space 2, N 1.3 + 0.2, missing 2, from S's left edge -0.5.
  EXPECT_EQ(bounds(0, "S N?"), std::vector<float>({-0.5f, -1, 6.5f, 0.5f}));
  // Leading blanks measure from the pen: the space takes 2, O 1.4 + 0.2 after it. A blank
  // symbol lays out as a space does, never stepping back.
  EXPECT_EQ(bounds(0, " O"), std::vector<float>({0, -1, 3.6f, 1}));
  EXPECT_EQ(bounds(0, "\x01" "O"), std::vector<float>({0, -1, 3.6f, 1}));
  EXPECT_FLOAT_EQ(vector_layout_advance(font, "O\x01" "O", 0), 0.2f);
  EXPECT_FLOAT_EQ(vector_layout_advance(font, "O\x01" "O", 1), 2);
  EXPECT_EQ(bounds(0, "O\x01" "O"), std::vector<float>({-0.7f, -1, 4.5f, 1}));
  // Each corner is written only when both of its outputs are given.
  const struct { const char *given; std::vector<float> want; } corners[] = {
      {"xx..", {-0.7f, -1, 7, 8}}, {"..xx", {5, 6, 0.9f, 1}}, {"xxx.", {-0.7f, -1, 7, 8}},
      {"x.xx", {5, 6, 0.9f, 1}}, {"x.x.", {5, 6, 7, 8}}, {".x.x", {5, 6, 7, 8}}};
  for (const auto &c : corners)
    EXPECT_EQ(bounds(0, "O", c.given), c.want) << c.given;
  // Each anchor moves the box; codes past the last are refused and change nothing.
  const std::pair<int, std::vector<float>> anchors[] = {
      {VECTOR_ANCHOR_TOP_LEFT, {0.3f, -2, 1.9f, 0}}, {VECTOR_ANCHOR_LEFT, {0.3f, -1, 1.9f, 1}},
      {VECTOR_ANCHOR_BOTTOM_LEFT, {0.3f, 0, 1.9f, 2}}, {VECTOR_ANCHOR_TOP, {-0.7f, -2, 0.9f, 0}},
      {VECTOR_ANCHOR_BOTTOM, {-0.7f, 0, 0.9f, 2}}, {VECTOR_ANCHOR_LAST, {-0.7f, -1, 0.9f, 1}},
      {VECTOR_ANCHOR_LAST + 1, {-0.7f, -1, 0.9f, 1}}, {VECTOR_ANCHOR_TOP_LEFT - 1, {-0.7f, -1, 0.9f, 1}},
      {VECTOR_ANCHOR_CENTRE, {-0.7f, -1, 0.9f, 1}}};
  for (const auto &[anchor, box] : anchors) {
    vector_set_anchor(anchor);
    EXPECT_EQ(bounds(0, "O"), box) << anchor;
  }
  EXPECT_EQ(bounds(1, "O"), std::vector<float>({5, 6, 7, 8}));
  vector_set_symbol_spacing(0.5f), vector_set_space_size(3);
  EXPECT_FLOAT_EQ(vector_layout_advance(font, "SN", 0), 1.9f);
  EXPECT_FLOAT_EQ(vector_layout_advance(font, "S?N", 1), 3);
  vector_set_symbol_spacing(0.2f), vector_set_space_size(2);  // font_init keeps these
}

TEST_F(VectorFontTest, ConsoleWrapsScrollsAndBlinksItsCursor)
{
  font_option_disable(FONT_OPTION_CURSOR);
  console_print(std::string(40, 'x').c_str());
  EXPECT_EQ(screen(0), "40x20:@0,1");  // a full line wraps at once
  console_print("\nAB\nD");            // so this newline leaves row 1 empty
  EXPECT_EQ(screen(4), "40x20:" + std::string(40, 'x') + "||AB|D|@1,3");
  console_set_size(8, 3);
  console_print("one\ntwo\nthree\n");
  EXPECT_EQ(screen(3), "8x3:two|three||@0,2");
  console_print("four56789");  // wrapping on the last row scrolls too
  EXPECT_EQ(screen(3), "8x3:three|four5678|9|@1,2");
  console_clear();
  const char ignored[] = {'\r', '\t', 0, 0x1F, (char)0x80, (char)0xFF, 'o', 127};
  console_write(ignored, sizeof ignored);
  console_write(nullptr, 5);
  console_put_char(256 + 'k');  // only the low 8 bits count
  int refused[][2] = {{CONSOLE_MAX_COLUMNS + 1, 5}, {0, 5}, {10, 0}, {10, -1}};
  for (auto &size : refused)
    console_set_size(size[0], size[1]);
  EXPECT_EQ(screen(1), "8x3:o\x7f" "k|@3,0");
  console_set_size(CONSOLE_MAX_COLUMNS, 1);
  EXPECT_EQ(screen(0), "511x1:@0,0");
  // A fresh console: the cursor blinks in its row.
  font_init();
  console_print("ab\ncd");
  EXPECT_EQ(screen(2), "40x20:ab|cd_|@2,1");  // the first of 10 draws with the cursor shown
  EXPECT_EQ(blink(42),
            std::string(9, 'S') + std::string(11, 'h') + std::string(11, 'S') + std::string(11, 'h'));
  font_init();
  EXPECT_EQ(blink(9), std::string(9, 'S'));
  font_option_disable(FONT_OPTION_CURSOR);
  EXPECT_EQ(blink(50), std::string(50, 'h'));
  font_option_enable(FONT_OPTION_CURSOR);
  EXPECT_EQ(blink(3), "Shh") << "counting goes on where it stopped";
}
