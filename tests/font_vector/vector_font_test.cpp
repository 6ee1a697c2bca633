// The vector font table and the GLF reader, without GL (run with a leak check).
#include "font_files.h"
#include "font/vector_internal.h"

#include <gtest/gtest.h>

namespace {

const char FORMAT_ERROR[] = "Error reading font file: incorrect file format\n";

class VectorFontTest : public ::testing::Test {
 protected:
  void SetUp() override { font_init(); }
  void TearDown() override { font_shutdown(); }
  std::string box_font() { return write_font(folder, "box.glf", {box_symbol('A', -0.5f, 0.5f, -1, 1)}); }
  temp_folder folder;
};

// Loading path fails and leaves the table and current font alone; with a
// message the messages option is on and exactly that is printed, else it is off.
void expect_refused(const std::string &path, const char *message = nullptr)
{
  const vector_font *slots[FONT_SLOT_COUNT];
  for (int i = 0; i < FONT_SLOT_COUNT; i++)
    slots[i] = vector_font_get(i);
  int current = vector_font_get_current();
  (message ? font_option_enable : font_option_disable)(FONT_OPTION_MESSAGES);
  testing::internal::CaptureStdout();
  EXPECT_EQ(vector_font_load(path.c_str()), -1) << path;
  EXPECT_EQ(testing::internal::GetCapturedStdout(), message ? message : "");
  EXPECT_EQ(vector_font_get_current(), current);
  for (int i = 0; i < FONT_SLOT_COUNT; i++)
    ASSERT_EQ(vector_font_get(i), slots[i]) << "slot " << i;
}

}  // namespace

TEST_F(VectorFontTest, SlotsFillLowestFirstAndUnloadKeepsAnotherCurrent)
{
  std::string path = box_font();
  EXPECT_EQ(vector_font_get_current(), -1);
  for (int i = 0; i < FONT_SLOT_COUNT; i++) {
    ASSERT_EQ(vector_font_load(path.c_str()), i);
    ASSERT_EQ(vector_font_get_current(), i);
  }
  expect_refused(path);  // the table is full
  EXPECT_EQ(vector_font_unload(7), 0);
  EXPECT_EQ(vector_font_get_current(), 255);
  EXPECT_EQ(vector_font_load(path.c_str()), 7);
  EXPECT_EQ(vector_font_unload(7), 0);
  EXPECT_EQ(vector_font_get_current(), -1) << "unloading the current font leaves none";
  EXPECT_EQ(vector_font_unload_current(), -1);
  EXPECT_EQ(vector_font_set_current(1), 0);
  EXPECT_EQ(vector_font_unload_current(), 0);
  EXPECT_EQ(vector_font_get(1), nullptr);
  for (int slot : {-1, 1, 7, 256, 100000, -100000}) {
    EXPECT_EQ(vector_font_set_current(slot), -1) << slot;
    EXPECT_EQ(vector_font_unload(slot), -1) << slot;
    EXPECT_EQ(vector_font_get(slot), nullptr) << slot;
  }
  EXPECT_EQ(vector_font_get_current(), -1);
}

TEST_F(VectorFontTest, ReadsNameArraysAndBoxesAsWritten)
{
  glf_symbol_source two = {200, {-1, -0.5f, 0.5f, 1, 0, 0, 0.1f, 0.1f, 0.2f, 0.1f, 0.2f, 0.2f},
                           {0, 1, 2, 3, 4, 5}, {2, 5}};
  std::string path = folder.file("two.glf");
  ASSERT_EQ(glf_write(path.c_str(), std::string(120, 'n').c_str(), {two, {' ', {}, {}, {}}}), 0);
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
  EXPECT_EQ(std::vector<float>({s->min_x, s->max_x, s->min_y, s->max_y}), std::vector<float>({-1, 0.5f, -0.5f, 1}));
  const vector_symbol *e = font->symbols[' '];  // no vertices: the start values stay
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(std::vector<float>({e->min_x, e->max_x, e->min_y, e->max_y}), std::vector<float>({10, -10, 10, -10}));
  int defined = 0;
  for (int code = 0; code < VECTOR_SYMBOL_CODES; code++)
    defined += font->symbols[code] != nullptr;
  EXPECT_EQ(defined, 2);
  ASSERT_EQ(vector_font_load(write_font(folder, "empty.glf", {}).c_str()), 1) << "count 0 loads";
  for (int code = 0; code < VECTOR_SYMBOL_CODES; code++)
    ASSERT_EQ(vector_font_get(1)->symbols[code], nullptr);
}

TEST_F(VectorFontTest, BadFilesFailWithTheirMessageAndKeepNothing)
{
  vector_font_load(box_font().c_str());
  glf_symbol_source b = box_symbol('B', -1, 1, -1, 1);
  std::vector<float> square = b.vertices;
  std::vector<unsigned char> magic = read_file(box_font());
  magic[2] = 'X';
  struct bad_file {
    const char *what;
    std::string path;
    const char *message;
  } cases[] = {
      {"duplicate code", write_font(folder, "dup.glf", {b, box_symbol('Q', -1, 1, -1, 1), b}),
       "Error reading font file: encountered symbols in font\n"},
      {"wrong magic", write_bytes(folder, "magic.glf", magic), FORMAT_ERROR},
      {"missing file (silent)", folder.file("missing.glf"), ""},
  };
  struct damage {
    const char *what;
    std::vector<float> vertices;
    std::vector<uint8_t> triangles, contour_ends;
  } symbols[] = {
      {"triangle index beyond the vertices", square, {0, 1, 2, 0, 2, 4}, {3}},
      {"contour end beyond the vertices", square, {0, 1, 2}, {1, 4}},
      {"contour ends that repeat", square, {0, 1, 2}, {1, 1, 3}},
      {"contour ends that fall", square, {0, 1, 2}, {2, 1, 3}},
      {"contours that stop short of the last vertex", square, {0, 1, 2}, {2}},
      {"vertices without contours", square, {0, 1, 2}, {}},
      {"triangle without vertices", {}, {0, 0, 0}, {}},
      {"contour without vertices", {}, {}, {0}},
  };
  std::vector<bad_file> all(std::begin(cases), std::end(cases));
  for (const damage &d : symbols)
    all.push_back({d.what, write_font(folder, std::string(d.what) + ".glf", {b, {'A', d.vertices, d.triangles, d.contour_ends}}),
                   FORMAT_ERROR});
  for (const bad_file &f : all) {
    SCOPED_TRACE(f.what);
    expect_refused(f.path, f.message);
    expect_refused(f.path);
    vector_font record = {};  // the reader hands back no symbols, and the leak check sees none kept
    EXPECT_EQ(vector_font_read_file(f.path.c_str(), &record), -1);
    EXPECT_EQ(record.symbols['B'], nullptr);
  }
}

TEST_F(VectorFontTest, EveryTruncationFails)
{
  vector_font_load(box_font().c_str());
  std::vector<unsigned char> bytes = read_file(write_font(
      folder, "full.glf", {box_symbol('A', -1, 1, -1, 1), {' ', {}, {}, {}}, box_symbol('C', 0, 1, 0, 1)}));
  for (size_t length = 0; length < bytes.size(); length++)
    expect_refused(write_bytes(folder, "cut.glf", std::vector<unsigned char>(bytes.begin(), bytes.begin() + length)),
                   FORMAT_ERROR);
  EXPECT_EQ(vector_font_load(write_bytes(folder, "whole.glf", bytes).c_str()), 1);
}

TEST(GlfWrite, RefusesCountsBeyondOneByte)
{
  temp_folder folder;
  std::string path = folder.file("w.glf");
  EXPECT_EQ(glf_write(path.c_str(), "v", {{'A', std::vector<float>(2 * 256), {}, {}}}), -1);
  EXPECT_EQ(glf_write(path.c_str(), "t", {{'A', std::vector<float>(2 * 255), std::vector<uint8_t>(3 * 256), {}}}), -1);
  EXPECT_EQ(glf_write(path.c_str(), "n", std::vector<glf_symbol_source>(256, box_symbol('A', 0, 1, 0, 1))), -1);
}
