// The vector font table and the GLF reader: slots, the current font, what a
// file reads as, and damaged files (run with a leak check).
#include "font_files.h"
#include "font/vector_internal.h"

#include <gtest/gtest.h>

namespace {

class VectorFontTest : public ::testing::Test {
 protected:
  void SetUp() override { font_init(); }
  void TearDown() override { font_shutdown(); }
  std::string box_font() { return write_font(folder, "box.glf", {box_symbol('A', -0.5f, 0.5f, -1, 1)}); }
  temp_folder folder;
};

// Loading path fails and leaves every slot and the current font as they were.
void expect_refused(const std::string &path)
{
  const vector_font *slots[FONT_SLOT_COUNT];
  for (int i = 0; i < FONT_SLOT_COUNT; i++)
    slots[i] = vector_font_get(i);
  int current = vector_font_get_current();
  EXPECT_EQ(vector_font_load(path.c_str()), -1) << path;
  EXPECT_EQ(vector_font_get_current(), current);
  for (int i = 0; i < FONT_SLOT_COUNT; i++)
    ASSERT_EQ(vector_font_get(i), slots[i]) << "slot " << i;
}

// Loading path prints exactly message (with the messages option on).
void expect_message(const std::string &path, const char *message)
{
  font_option_enable(FONT_OPTION_MESSAGES);
  testing::internal::CaptureStdout();
  expect_refused(path);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), message);
}

}  // namespace

TEST_F(VectorFontTest, LoadsIntoLowestFreeSlotAndMakesItCurrent)
{
  std::string path = box_font();
  EXPECT_EQ(vector_font_get_current(), -1);
  for (int i = 0; i < FONT_SLOT_COUNT; i++) {
    ASSERT_EQ(vector_font_load(path.c_str()), i);
    ASSERT_EQ(vector_font_get_current(), i);
  }
  expect_refused(path);  // the table is full
  EXPECT_EQ(vector_font_unload(7), 0);
  EXPECT_EQ(vector_font_load(path.c_str()), 7);
}

TEST_F(VectorFontTest, UnloadKeepsAnotherCurrentFontAndLeavesNoneForItself)
{
  std::string path = box_font();
  for (int i = 0; i < 3; i++)
    vector_font_load(path.c_str());
  EXPECT_EQ(vector_font_unload(0), 0);
  EXPECT_EQ(vector_font_get_current(), 2);
  EXPECT_EQ(vector_font_get(0), nullptr);
  EXPECT_EQ(vector_font_unload(2), 0);
  EXPECT_EQ(vector_font_get_current(), -1);
  EXPECT_EQ(vector_font_unload_current(), -1);
  EXPECT_EQ(vector_font_set_current(1), 0);
  EXPECT_EQ(vector_font_unload_current(), 0);
  EXPECT_EQ(vector_font_get(1), nullptr);
  vector_font_load(path.c_str());
  font_shutdown();  // unloads everything
  EXPECT_EQ(vector_font_get(0), nullptr);
  font_init();
}

TEST_F(VectorFontTest, BadSlotIndicesChangeNothing)
{
  vector_font_load(box_font().c_str());
  for (int slot : {-1, 1, 255, 256, 100000, -100000}) {
    EXPECT_EQ(vector_font_set_current(slot), -1) << slot;
    EXPECT_EQ(vector_font_unload(slot), -1) << slot;
    EXPECT_EQ(vector_font_get(slot), nullptr) << slot;
  }
  EXPECT_EQ(vector_font_get_current(), 0);
  EXPECT_NE(vector_font_get(0), nullptr);
}

TEST_F(VectorFontTest, ReadsNameArraysAndBoxesAsWritten)
{
  glf_symbol_source two = {200, {-1, -0.5f, 0.5f, 1, 0, 0, 0.1f, 0.1f, 0.2f, 0.1f, 0.2f, 0.2f},
                           {0, 1, 2, 3, 4, 5}, {2, 5}};
  glf_symbol_source empty = {' ', {}, {}, {}};
  std::string path = folder.file("two.glf");
  ASSERT_EQ(glf_write(path.c_str(), std::string(120, 'n').c_str(), {two, empty}), 0);
  ASSERT_EQ(vector_font_load(path.c_str()), 0);
  const vector_font *font = vector_font_get(0);
  EXPECT_EQ(std::string(font->name), std::string(VECTOR_FONT_NAME_SIZE, 'n'));
  EXPECT_EQ(font->symbol_count, 2);
  const vector_symbol *s = font->symbols[200];  // codes index as unsigned bytes
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(std::vector<int>({s->vertex_count, s->triangle_count, s->contour_count}), std::vector<int>({6, 2, 2}));
  EXPECT_EQ(std::vector<float>(s->vertices, s->vertices + 12), two.vertices);
  EXPECT_EQ(std::vector<uint8_t>(s->triangles, s->triangles + 6), two.triangles);
  EXPECT_EQ(std::vector<uint8_t>(s->contour_ends, s->contour_ends + 2), two.contour_ends);
  EXPECT_EQ(std::vector<float>({s->min_x, s->max_x, s->min_y, s->max_y}),
            std::vector<float>({-1, 0.5f, -0.5f, 1}));
  const vector_symbol *e = font->symbols[' '];  // no vertices: the start values stay
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(std::vector<float>({e->min_x, e->max_x, e->min_y, e->max_y}),
            std::vector<float>({10, -10, 10, -10}));
  int defined = 0;
  for (int code = 0; code < VECTOR_SYMBOL_CODES; code++)
    defined += font->symbols[code] != nullptr;
  EXPECT_EQ(defined, 2);
}

TEST_F(VectorFontTest, CountZeroLoadsWithNoSymbols)
{
  ASSERT_EQ(vector_font_load(write_font(folder, "empty.glf", {}).c_str()), 0);
  for (int code = 0; code < VECTOR_SYMBOL_CODES; code++)
    ASSERT_EQ(vector_font_get(0)->symbols[code], nullptr);
}

TEST_F(VectorFontTest, DuplicateCodeFailsWithItsMessage)
{
  vector_font_load(box_font().c_str());
  glf_symbol_source a = box_symbol('A', -1, 1, -1, 1), q = box_symbol('Q', -1, 1, -1, 1);
  expect_message(write_font(folder, "dup.glf", {a, q, a}),
                 "Error reading font file: encountered symbols in font\n");
}

TEST_F(VectorFontTest, WrongMagicFailsWithMessageOnlyWhenAsked)
{
  std::vector<unsigned char> bytes = read_file(box_font());
  bytes[2] = 'X';
  std::string path = write_bytes(folder, "magic.glf", bytes);
  testing::internal::CaptureStdout();
  expect_refused(path);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  expect_message(path, "Error reading font file: incorrect file format\n");
  expect_message(folder.file("missing.glf"), "");  // a missing file is silent
}

TEST_F(VectorFontTest, EveryTruncationFails)
{
  vector_font_load(box_font().c_str());
  std::vector<unsigned char> bytes = read_file(write_font(
      folder, "full.glf", {box_symbol('A', -1, 1, -1, 1), {' ', {}, {}, {}}, box_symbol('C', 0, 1, 0, 1)}));
  for (size_t length = 0; length < bytes.size(); length++)
    expect_refused(write_bytes(folder, "cut.glf", std::vector<unsigned char>(bytes.begin(), bytes.begin() + length)));
  EXPECT_EQ(vector_font_load(write_bytes(folder, "whole.glf", bytes).c_str()), 1);
}

TEST_F(VectorFontTest, MalformedSymbolsFailTheLoad)
{
  vector_font_load(box_font().c_str());
  struct damage {
    const char *what;
    std::vector<float> vertices;
    std::vector<uint8_t> triangles, contour_ends;
  };
  std::vector<float> square = box_symbol(0, -1, 1, -1, 1).vertices;
  damage cases[] = {
      {"triangle index beyond the vertices", square, {0, 1, 2, 0, 2, 4}, {3}},
      {"contour end beyond the vertices", square, {0, 1, 2}, {1, 4}},
      {"contour ends that repeat", square, {0, 1, 2}, {1, 1, 3}},
      {"contour ends that fall", square, {0, 1, 2}, {2, 1, 3}},
      {"contours that stop short of the last vertex", square, {0, 1, 2}, {2}},
      {"vertices without contours", square, {0, 1, 2}, {}},
      {"triangle without vertices", {}, {0, 0, 0}, {}},
      {"contour without vertices", {}, {}, {0}},
  };
  for (const damage &d : cases) {
    SCOPED_TRACE(d.what);
    glf_symbol_source bad = {'A', d.vertices, d.triangles, d.contour_ends};
    std::string path = write_font(folder, "bad.glf", {box_symbol('B', -1, 1, -1, 1), bad});
    expect_message(path, "Error reading font file: incorrect file format\n");
    vector_font record;  // the reader hands back no symbols, and the leak check sees none kept
    EXPECT_EQ(vector_font_read_file(path.c_str(), &record), -1);
    EXPECT_EQ(record.symbols['B'], nullptr);
  }
}

TEST(GlfWrite, RefusesCountsBeyondOneByte)
{
  temp_folder folder;
  std::string path = folder.file("w.glf");
  glf_symbol_source big = {'A', std::vector<float>(2 * 256), {}, {}};
  EXPECT_EQ(glf_write(path.c_str(), "v", {big}), -1);
  big = {'A', std::vector<float>(2 * 255), std::vector<uint8_t>(3 * 256), {}};
  EXPECT_EQ(glf_write(path.c_str(), "t", {big}), -1);
  EXPECT_EQ(glf_write(path.c_str(), "n", std::vector<glf_symbol_source>(256, box_symbol('A', 0, 1, 0, 1))), -1);
}
