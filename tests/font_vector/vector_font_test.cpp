// The vector font table and the GLF reader: slots, the current font, what a
// file's symbols read as, and every kind of damaged file.
#include "font_files.h"
#include "font/vector_internal.h"

#include <gtest/gtest.h>
#include <array>

namespace {

class VectorFontTest : public ::testing::Test {
 protected:
  void SetUp() override { font_init(); }
  void TearDown() override { font_shutdown(); }

  std::string one_box_font(const std::string &name)
  {
    return write_font(folder, name, {box_symbol('A', -0.5f, 0.5f, -1, 1)});
  }

  temp_folder folder;
};

// Which font record sits in every slot, and the current font.
struct table_snapshot {
  std::array<const vector_font *, FONT_SLOT_COUNT> slots;
  int current;
};

table_snapshot snapshot()
{
  table_snapshot s;
  for (int i = 0; i < FONT_SLOT_COUNT; i++)
    s.slots[i] = vector_font_get(i);
  s.current = vector_font_get_current();
  return s;
}

void expect_unchanged(const table_snapshot &before)
{
  table_snapshot now = snapshot();
  EXPECT_EQ(now.current, before.current);
  for (int i = 0; i < FONT_SLOT_COUNT; i++)
    EXPECT_EQ(now.slots[i], before.slots[i]) << "slot " << i;
}

// A font with one symbol 'A' whose record the caller damages.
std::string font_with(const temp_folder &folder, const std::string &name, glf_symbol_source symbol)
{
  return write_font(folder, name, {box_symbol('B', -1, 1, -1, 1), symbol});
}

// Loads a bad file into a table holding one font, and checks that nothing moved.
void expect_refused(const std::string &path)
{
  table_snapshot before = snapshot();
  EXPECT_EQ(vector_font_load(path.c_str()), -1) << path;
  expect_unchanged(before);
}

}  // namespace

// ---- The table -------------------------------------------------------------------

TEST_F(VectorFontTest, FirstLoadIsSlotZeroAndCurrentSecondIsSlotOne)
{
  std::string path = one_box_font("a.glf");
  EXPECT_EQ(vector_font_get_current(), -1);
  EXPECT_EQ(vector_font_load(path.c_str()), 0);
  EXPECT_EQ(vector_font_get_current(), 0);
  EXPECT_EQ(vector_font_load(path.c_str()), 1);
  EXPECT_EQ(vector_font_get_current(), 1);
}

TEST_F(VectorFontTest, FreedSlotIsReusedAndFullTableRefuses)
{
  std::string path = one_box_font("a.glf");
  for (int i = 0; i < FONT_SLOT_COUNT; i++)
    ASSERT_EQ(vector_font_load(path.c_str()), i);
  EXPECT_EQ(vector_font_load(path.c_str()), -1);
  EXPECT_EQ(vector_font_get_current(), FONT_SLOT_COUNT - 1);
  EXPECT_EQ(vector_font_unload(7), 0);
  EXPECT_EQ(vector_font_load(path.c_str()), 7);
}

TEST_F(VectorFontTest, UnloadingCurrentLeavesNoneUnloadingAnotherKeepsIt)
{
  std::string path = one_box_font("a.glf");
  vector_font_load(path.c_str());
  vector_font_load(path.c_str());
  vector_font_load(path.c_str());
  EXPECT_EQ(vector_font_unload(0), 0);
  EXPECT_EQ(vector_font_get_current(), 2);
  EXPECT_EQ(vector_font_get(0), nullptr);
  EXPECT_EQ(vector_font_unload(2), 0);
  EXPECT_EQ(vector_font_get_current(), -1);
  EXPECT_EQ(vector_font_set_current(1), 0);
  EXPECT_EQ(vector_font_unload_current(), 0);
  EXPECT_EQ(vector_font_get_current(), -1);
  EXPECT_EQ(vector_font_get(1), nullptr);
}

TEST_F(VectorFontTest, InvalidOrEmptySlotsAreRefusedWithoutChange)
{
  std::string path = one_box_font("a.glf");
  vector_font_load(path.c_str());
  table_snapshot before = snapshot();
  for (int slot : {-1, 1, 255, 256, 100000, -100000}) {
    EXPECT_EQ(vector_font_set_current(slot), -1) << slot;
    EXPECT_EQ(vector_font_unload(slot), -1) << slot;
    EXPECT_EQ(vector_font_get(slot), nullptr) << slot;
  }
  expect_unchanged(before);
  vector_font_unload_current();
  EXPECT_EQ(vector_font_unload_current(), -1);
}

TEST_F(VectorFontTest, ShutdownUnloadsEveryFont)
{
  std::string path = one_box_font("a.glf");
  vector_font_load(path.c_str());
  vector_font_load(path.c_str());
  font_shutdown();
  EXPECT_EQ(vector_font_get(0), nullptr);
  EXPECT_EQ(vector_font_get(1), nullptr);
  EXPECT_EQ(vector_font_get_current(), -1);
  font_init();
}

// ---- What a file reads as -----------------------------------------------------------

TEST_F(VectorFontTest, ReadsNameCountsAndArraysAsWritten)
{
  glf_symbol_source two;
  two.code = 200;  // codes above 127 index as unsigned bytes
  two.vertices = {0, 0, 1, 0, 1, 1, 0, 1, 0.25f, 0.25f, 0.75f, 0.25f, 0.75f, 0.75f};
  two.triangles = {0, 1, 2, 4, 5, 6};
  two.contour_ends = {3, 6};
  std::string long_name(120, 'n');
  std::string path = folder.file("two.glf");
  ASSERT_EQ(glf_write(path.c_str(), long_name.c_str(), {two}), 0);
  int slot = vector_font_load(path.c_str());
  ASSERT_EQ(slot, 0);
  const vector_font *font = vector_font_get(slot);
  EXPECT_EQ(std::string(font->name), std::string(VECTOR_FONT_NAME_SIZE, 'n'));
  EXPECT_EQ(font->symbol_count, 1);
  const vector_symbol *s = font->symbols[200];
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(s->vertex_count, 7);
  ASSERT_EQ(s->triangle_count, 2);
  ASSERT_EQ(s->contour_count, 2);
  for (int i = 0; i < 14; i++)
    EXPECT_EQ(s->vertices[i], two.vertices[i]) << i;
  for (int i = 0; i < 6; i++)
    EXPECT_EQ(s->triangles[i], two.triangles[i]) << i;
  EXPECT_EQ(s->contour_ends[0], 3);
  EXPECT_EQ(s->contour_ends[1], 6);
  for (int code = 0; code < VECTOR_SYMBOL_CODES; code++) {
    if (code != 200) {
      EXPECT_EQ(font->symbols[code], nullptr) << code;
    }
  }
}

TEST_F(VectorFontTest, CountZeroLoadsWithNoSymbols)
{
  std::string path = write_font(folder, "empty.glf", {});
  ASSERT_EQ(vector_font_load(path.c_str()), 0);
  const vector_font *font = vector_font_get(0);
  EXPECT_EQ(font->symbol_count, 0);
  for (int code = 0; code < VECTOR_SYMBOL_CODES; code++)
    EXPECT_EQ(font->symbols[code], nullptr);
}

TEST_F(VectorFontTest, BoundingBoxComesFromTheVertices)
{
  glf_symbol_source s;
  s.code = 'x';
  s.vertices = {-1, -0.5f, 0.5f, 1, 0, 0};
  s.triangles = {0, 1, 2};
  s.contour_ends = {2};
  ASSERT_EQ(vector_font_load(write_font(folder, "x.glf", {s}).c_str()), 0);
  const vector_symbol *x = vector_font_get(0)->symbols['x'];
  EXPECT_EQ(x->min_x, -1.0f);
  EXPECT_EQ(x->max_x, 0.5f);
  EXPECT_EQ(x->min_y, -0.5f);
  EXPECT_EQ(x->max_y, 1.0f);
}

TEST_F(VectorFontTest, SymbolWithoutVerticesKeepsStartBox)
{
  glf_symbol_source space;
  space.code = ' ';
  ASSERT_EQ(vector_font_load(write_font(folder, "s.glf", {space}).c_str()), 0);
  const vector_symbol *s = vector_font_get(0)->symbols[' '];
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->min_x, 10.0f);
  EXPECT_EQ(s->max_x, -10.0f);
  EXPECT_EQ(s->min_y, 10.0f);
  EXPECT_EQ(s->max_y, -10.0f);
}

// ---- Damaged files ------------------------------------------------------------------

TEST_F(VectorFontTest, DuplicateCodeFailsWithMessageAndLeavesTable)
{
  vector_font_load(one_box_font("good.glf").c_str());
  std::string path = write_font(folder, "dup.glf", {box_symbol('A', -1, 1, -1, 1),
                                                    box_symbol('Q', -1, 1, -1, 1),
                                                    box_symbol('A', -1, 1, -1, 1)});
  font_option_enable(FONT_OPTION_MESSAGES);
  testing::internal::CaptureStdout();
  expect_refused(path);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Error reading font file: encountered symbols in font\n");
}

TEST_F(VectorFontTest, WrongMagicFailsWithMessageOnlyWhenAsked)
{
  std::vector<unsigned char> bytes = read_file(one_box_font("good.glf"));
  bytes[2] = 'X';
  std::string path = write_bytes(folder, "magic.glf", bytes);
  testing::internal::CaptureStdout();
  expect_refused(path);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  font_option_enable(FONT_OPTION_MESSAGES);
  testing::internal::CaptureStdout();
  expect_refused(path);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Error reading font file: incorrect file format\n");
}

TEST_F(VectorFontTest, MissingFileFailsSilently)
{
  font_option_enable(FONT_OPTION_MESSAGES);
  testing::internal::CaptureStdout();
  expect_refused(folder.file("no-such.glf"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(VectorFontTest, EveryTruncationFails)
{
  vector_font_load(one_box_font("good.glf").c_str());
  glf_symbol_source space;
  space.code = ' ';
  std::vector<unsigned char> bytes = read_file(write_font(
      folder, "full.glf", {box_symbol('A', -1, 1, -1, 1), space, box_symbol('C', 0, 1, 0, 1)}));
  ASSERT_GT(bytes.size(), 128u);
  for (size_t length = 0; length < bytes.size(); length++) {
    std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + length);
    expect_refused(write_bytes(folder, "cut.glf", cut));
  }
  EXPECT_EQ(vector_font_load(write_bytes(folder, "whole.glf", bytes).c_str()), 1);
}

TEST_F(VectorFontTest, TriangleIndexBeyondVerticesFails)
{
  glf_symbol_source s = box_symbol('A', -1, 1, -1, 1);
  s.triangles[5] = 4;
  expect_refused(font_with(folder, "tri.glf", s));
}

TEST_F(VectorFontTest, ContourEndBeyondVerticesFails)
{
  glf_symbol_source s = box_symbol('A', -1, 1, -1, 1);
  s.contour_ends = {1, 4};
  expect_refused(font_with(folder, "end.glf", s));
}

TEST_F(VectorFontTest, ContourEndsThatDoNotRiseFail)
{
  glf_symbol_source s = box_symbol('A', -1, 1, -1, 1);
  s.contour_ends = {1, 1, 3};
  expect_refused(font_with(folder, "flat.glf", s));
  s.contour_ends = {2, 1, 3};
  expect_refused(font_with(folder, "fall.glf", s));
}

TEST_F(VectorFontTest, ContoursThatStopShortOfLastVertexFail)
{
  glf_symbol_source s = box_symbol('A', -1, 1, -1, 1);
  s.contour_ends = {2};
  expect_refused(font_with(folder, "short.glf", s));
  s.contour_ends = {};
  expect_refused(font_with(folder, "none.glf", s));
}

TEST_F(VectorFontTest, IndicesInSymbolWithoutVerticesFail)
{
  glf_symbol_source s;
  s.code = 'A';
  s.triangles = {0, 0, 0};
  expect_refused(font_with(folder, "t0.glf", s));
  s.triangles = {};
  s.contour_ends = {0};
  expect_refused(font_with(folder, "k0.glf", s));
}

TEST_F(VectorFontTest, ReadFileReleasesWhatItReadOnFailure)
{
  // The leak check of this test program sees anything left allocated.
  std::string path = write_font(folder, "late.glf", {box_symbol('A', -1, 1, -1, 1),
                                                     box_symbol('B', -1, 1, -1, 1),
                                                     box_symbol('A', -1, 1, -1, 1)});
  vector_font record;
  EXPECT_EQ(vector_font_read_file(path.c_str(), &record), -1);
  for (int code = 0; code < VECTOR_SYMBOL_CODES; code++)
    EXPECT_EQ(record.symbols[code], nullptr);
}

// ---- The writer ----------------------------------------------------------------------

TEST(GlfWrite, RefusesCountsBeyondOneByte)
{
  temp_folder folder;
  glf_symbol_source big;
  big.code = 'A';
  big.vertices.assign(2 * 256, 0.0f);
  EXPECT_EQ(glf_write(folder.file("v.glf").c_str(), "v", {big}), -1);
  big.vertices.assign(2 * 255, 0.0f);
  big.triangles.assign(3 * 256, 0);
  EXPECT_EQ(glf_write(folder.file("t.glf").c_str(), "t", {big}), -1);
  std::vector<glf_symbol_source> many(256, box_symbol('A', 0, 1, 0, 1));
  EXPECT_EQ(glf_write(folder.file("n.glf").c_str(), "n", many), -1);
  glf_symbol_source odd = box_symbol('A', 0, 1, 0, 1);
  odd.vertices.pop_back();
  EXPECT_EQ(glf_write(folder.file("o.glf").c_str(), "o", {odd}), -1);
}
