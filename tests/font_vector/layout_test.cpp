// Options, settings, and the arithmetic of string layout and bounds, without drawing.
#include "font_files.h"
#include "font/vector_internal.h"

#include <gtest/gtest.h>

namespace {

constexpr uint8_t HIGH_CODE = 0xE9;  // negative as a signed char

// Symbols with known boxes: S's right edge 0.8, N's left edge -0.6.
class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override
  {
    font_init();
    std::string path = write_font(folder, "layout.glf",
                                  {box_symbol('S', -0.5f, 0.8f, -0.5f, 0.5f), box_symbol('N', -0.6f, 0.7f, -1, 0.25f),
                                   box_symbol('O', -0.7f, 0.7f, -1, 1), box_symbol(HIGH_CODE, -0.25f, 0.5f, 0, 1)});
    ASSERT_EQ(vector_font_load(path.c_str()), 0);
  }
  void TearDown() override
  {
    vector_set_symbol_spacing(0.2f);  // font_init keeps these
    vector_set_space_size(2);
    font_shutdown();
  }
  float advance(const char *text, int index) { return vector_layout_advance(vector_font_get(0), text, index); }
  std::vector<float> bounds(int slot, const char *text)
  {
    std::vector<float> b = {5, 6, 7, 8};
    vector_string_bounds(slot, text, &b[0], &b[1], &b[2], &b[3]);
    return b;
  }
  void expect_bounds(int slot, const char *text, const std::vector<float> &want)
  {
    std::vector<float> got = bounds(slot, text);
    for (size_t i = 0; i < want.size(); i++)
      EXPECT_NEAR(got[i], want[i], 1e-5) << "'" << text << "' value " << i;
  }
  temp_folder folder;
};

}  // namespace

TEST(FontOptions, InitSetsDefaultsAndEachCodeSwitchesOnlyItsOption)
{
  uint8_t *options[] = {&font_option_messages, &font_option_texturing, &font_option_contouring, &font_option_cursor};
  int codes[] = {FONT_OPTION_MESSAGES, FONT_OPTION_TEXTURING, FONT_OPTION_CONTOURING, FONT_OPTION_CURSOR};
  for (int code : codes)
    font_option_enable(code);
  vector_set_anchor(20);
  vector_set_contour_color(0.1f, 0.2f, 0.3f, 0.4f);
  font_init();
  for (int i = 0; i < 4; i++)
    EXPECT_EQ(*options[i], i == 3 ? FONT_OPTION_ON : FONT_OPTION_OFF) << codes[i];
  EXPECT_EQ(vector_get_anchor(), VECTOR_ANCHOR_CENTRE);
  EXPECT_EQ(std::vector<float>(contour_color, contour_color + 3), std::vector<float>({0, 0, 0}));
  EXPECT_EQ(std::vector<float>({vector_get_symbol_spacing(), vector_get_space_size(), vector_get_symbol_depth()}),
            std::vector<float>({0.2f, 2.0f, 0.2f}));
  font_option_disable(FONT_OPTION_CURSOR);
  for (int i = 0; i < 4; i++) {
    font_option_enable(codes[i]);
    for (int j = 0; j < 4; j++)
      EXPECT_EQ(*options[j], j == i ? FONT_OPTION_ON : FONT_OPTION_OFF) << "after code " << codes[i];
    font_option_disable(codes[i]);
  }
  for (int code : {13, 9, 29, 31, 0, -1})
    font_option_enable(code);
  for (uint8_t *option : options)
    EXPECT_EQ(*option, FONT_OPTION_OFF);
  for (int anchor : {19, 29, 24 + 256, 28})
    vector_set_anchor(anchor);
  EXPECT_EQ(vector_get_anchor(), 28) << "only 20 to 28 are stored";
  font_shutdown();
}

TEST_F(LayoutTest, AdvancesFollowFromBoxesSpacesAndMissingSymbols)
{
  const char high[] = {'S', (char)HIGH_CODE, 'N', 0};
  struct {
    const char *text;
    int index;
    float advance;
  } cases[] = {
      {"SN", 0, 1.6f},  // 0.8 + 0.6 + 0.2
      {"SN", 1, 0},     // the last symbol
      {"S N", 0, 0.2f}, {"S N", 1, 2}, {" ", 0, 2},
      {"S?N", 0, 0}, {"S?N", 1, 2},  // no advance before a missing symbol, space_size after it
      {high, 0, 0.8f + 0.25f + 0.2f}, {high, 1, 0.5f + 0.6f + 0.2f},
  };
  for (auto &c : cases)
    EXPECT_FLOAT_EQ(advance(c.text, c.index), c.advance) << c.text << " at " << c.index;
  vector_set_symbol_spacing(0.5f);
  vector_set_space_size(3);
  EXPECT_FLOAT_EQ(advance("SN", 0), 1.9f);
  EXPECT_FLOAT_EQ(advance("S?N", 1), 3);
}

TEST_F(LayoutTest, BoundsOfStringsMovedByTheAnchor)
{
  expect_bounds(0, "O", {-0.7f, -1, 0.9f, 1});
  // S 1.3 + 0.2, space 2, N 1.3 + 0.2, missing 2, from S's left edge -0.5.
  expect_bounds(0, "S N?", {-0.5f, -1, 1.5f + 2 + 1.5f + 2 - 0.5f, 0.5f});
  expect_bounds(0, "", {0, 10, 0, -10});
  float max_x = 5;
  vector_current_string_bounds("O", nullptr, nullptr, &max_x, nullptr);
  EXPECT_FLOAT_EQ(max_x, 0.9f) << "each output is filled on its own";
  float shift[][2] = {{1, -1}, {1, 0}, {1, 1}, {0, -1}, {0, 0}, {0, 1}, {0, 0}, {0, 0}, {0, 0}};
  for (int anchor = 20; anchor <= 28; anchor++) {
    vector_set_anchor(anchor);
    float dx = shift[anchor - 20][0], dy = shift[anchor - 20][1];
    expect_bounds(0, "O", {-0.7f + dx, -1 + dy, 0.9f + dx, 1 + dy});
  }
  for (int bad : {-1, 1, 256, 1000})
    EXPECT_EQ(bounds(bad, "O"), std::vector<float>({5, 6, 7, 8})) << bad;
  vector_font_unload_current();
  EXPECT_EQ(bounds(vector_font_get_current(), "O"), std::vector<float>({5, 6, 7, 8}));
}
