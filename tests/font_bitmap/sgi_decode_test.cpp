// The SGI picture decoder and the BMF reader, without OpenGL: channel rules,
// row order, run-length rows, and every kind of damaged file.
#include "font_files.h"

#include "font/bmf_image.h"

#include <gtest/gtest.h>
#include <cstring>

namespace {

using bytes = std::vector<uint8_t>;

// A value for every (x, y, channel) that differs between neighbours.
int varied(int x, int y, int c) { return (x * 37 + y * 11 + c * 71 + 5) & 0xFF; }

// Decodes a 3 x 2 picture of the given channel count, stored both ways, and
// checks every pixel against expected(x, y).
void expect_channel_rule(int channels, bytes (*expected)(int x, int y))
{
  for (bool run_length : {false, true}) {
    sgi_picture picture = make_picture(3, 2, channels, run_length, varied);
    decoded_picture decoded = decode_sgi(sgi_encode(picture));
    ASSERT_TRUE(decoded.ok) << channels << " channels, run length " << run_length;
    EXPECT_EQ(decoded.channels, channels);
    for (int y = 0; y < 2; y++)
      for (int x = 0; x < 3; x++)
        EXPECT_EQ(pixel_at(decoded, x, y), expected(x, y))
            << "pixel " << x << "," << y << " of " << channels << " channels";
  }
}

uint8_t v(int x, int y, int c) { return (uint8_t)varied(x, y, c); }

bytes bad_header(size_t field, uint32_t value, bool wide)
{
  bytes file = sgi_encode(make_picture(4, 3, 3, false, varied));
  if (wide)
    set_be16(file, field, value);
  else
    file[field] = (uint8_t)value;
  return file;
}

}  // namespace

// ---- Channel rules and row order ----------------------------------------------

TEST(SgiDecode, OneChannelGivesOpaqueGrey)
{
  expect_channel_rule(1, [](int x, int y) { return bytes{v(x, y, 0), v(x, y, 0), v(x, y, 0), 255}; });
}

TEST(SgiDecode, TwoChannelsAreGreyWithAlphaFromTheSecond)
{
  expect_channel_rule(2, [](int x, int y) { return bytes{v(x, y, 0), v(x, y, 0), v(x, y, 0), v(x, y, 1)}; });
}

TEST(SgiDecode, ThreeChannelsAreOpaqueColour)
{
  expect_channel_rule(3, [](int x, int y) { return bytes{v(x, y, 0), v(x, y, 1), v(x, y, 2), 255}; });
}

TEST(SgiDecode, FourChannelsKeepTheirAlpha)
{
  expect_channel_rule(4, [](int x, int y) { return bytes{v(x, y, 0), v(x, y, 1), v(x, y, 2), v(x, y, 3)}; });
}

TEST(SgiDecode, KeepsTheBottomRowFirst)
{
  // Row 0 dark, row 2 bright: the first decoded row is the stored row 0.
  sgi_picture picture = make_picture(2, 3, 1, true, [](int, int y, int) { return y * 100; });
  decoded_picture decoded = decode_sgi(sgi_encode(picture));
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(decoded.width, 2);
  EXPECT_EQ(decoded.height, 3);
  EXPECT_EQ(decoded.rgba[0], 0);
  EXPECT_EQ(pixel_at(decoded, 1, 2)[0], 200);
}

TEST(SgiDecode, ReadsThePictureWhereTheFileStands)
{
  bytes file(4195, 0xEE);  // where a BMF file's picture begins
  bytes image = sgi_encode(make_picture(5, 4, 3, true, varied));
  file.insert(file.end(), image.begin(), image.end());
  decoded_picture decoded = decode_sgi(file, 4195);
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(pixel_at(decoded, 4, 3), (bytes{v(4, 3, 0), v(4, 3, 1), v(4, 3, 2), 255}));
}

TEST(SgiDecode, AcceptsTheLargestWidth)
{
  sgi_picture picture = make_picture(4096, 1, 1, true, [](int x, int, int) { return x / 300; });
  decoded_picture decoded = decode_sgi(sgi_encode(picture));
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(pixel_at(decoded, 4095, 0)[0], 4095 / 300);
}

// ---- Run-length rows ---------------------------------------------------------------

TEST(SgiRunLength, UnpacksCopyThenRepeat)
{
  bytes file = hand_packed_sgi(5, 1, 1, {{0x83, 10, 20, 30, 0x02, 40, 0x00}});
  decoded_picture decoded = decode_sgi(file);
  ASSERT_TRUE(decoded.ok);
  const uint8_t expected[] = {10, 20, 30, 40, 40};
  for (int x = 0; x < 5; x++)
    EXPECT_EQ(pixel_at(decoded, x, 0), (bytes{expected[x], expected[x], expected[x], 255}));
}

TEST(SgiRunLength, WriterSplitsRunsLongerThanOneControlByte)
{
  // 300 equal bytes then 300 different ones: both kinds of run need three
  // control bytes, and the decoded row must match the stored one exactly.
  sgi_picture picture = make_picture(600, 2, 2, true, [](int x, int y, int c) {
    return x < 300 ? 9 + c : (x * 7 + y) & 0xFF;
  });
  bytes file = sgi_encode(picture);
  sgi_picture plain = picture;
  plain.run_length = false;
  EXPECT_LT(file.size(), sgi_encode(plain).size());
  decoded_picture packed = decode_sgi(file);
  decoded_picture unpacked = decode_sgi(sgi_encode(plain));
  ASSERT_TRUE(packed.ok && unpacked.ok);
  EXPECT_EQ(packed.rgba, unpacked.rgba);
}

TEST(SgiRunLength, ShortRowEndsInBlack)
{
  bytes file = hand_packed_sgi(4, 1, 1, {{0x02, 90, 0x00}});
  decoded_picture decoded = decode_sgi(file);
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(pixel_at(decoded, 1, 0)[0], 90);
  EXPECT_EQ(pixel_at(decoded, 2, 0)[0], 0);
  EXPECT_EQ(pixel_at(decoded, 3, 0)[0], 0);
}

TEST(SgiRunLength, RowMayEndWithoutItsEndMark)
{
  decoded_picture decoded = decode_sgi(hand_packed_sgi(3, 1, 1, {{0x03, 77}}));
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(pixel_at(decoded, 2, 0)[0], 77);
}

TEST(SgiRunLength, RejectsRepeatPastTheWidth)
{
  EXPECT_FALSE(decode_sgi(hand_packed_sgi(4, 1, 1, {{0x05, 1, 0x00}})).ok);
}

TEST(SgiRunLength, RejectsCopyPastTheWidth)
{
  EXPECT_FALSE(decode_sgi(hand_packed_sgi(2, 1, 1, {{0x82, 1, 2, 0x81, 3, 0x00}})).ok);
}

TEST(SgiRunLength, RejectsCopyCutShortByTheRowLength)
{
  EXPECT_FALSE(decode_sgi(hand_packed_sgi(8, 1, 1, {{0x85, 1, 2}})).ok);
}

TEST(SgiRunLength, RejectsRepeatWithoutItsByte)
{
  EXPECT_FALSE(decode_sgi(hand_packed_sgi(8, 1, 1, {{0x04}})).ok);
}

TEST(SgiRunLength, RejectsPackedRowLongerThanTheScratch)
{
  // Width 1 gives a 256-byte scratch; a 257-byte row cannot be taken in.
  bytes row(257, 0);
  row[0] = 0x01;
  EXPECT_FALSE(decode_sgi(hand_packed_sgi(1, 1, 1, {row})).ok);
  row.resize(256);
  EXPECT_TRUE(decode_sgi(hand_packed_sgi(1, 1, 1, {row})).ok);
}

TEST(SgiRunLength, RejectsRowOffsetOutsideTheFile)
{
  bytes file = hand_packed_sgi(3, 2, 1, {{0x03, 1, 0}, {0x03, 2, 0}});
  set_be32(file, SGI_TABLES + 4, (uint32_t)file.size() - 1);  // row 1 starts at the last byte
  EXPECT_FALSE(decode_sgi(file).ok);
  set_be32(file, SGI_TABLES + 4, 0xFFFFFFF0u);
  EXPECT_FALSE(decode_sgi(file).ok);
}

TEST(SgiRunLength, RejectsTruncatedRowTables)
{
  bytes file = hand_packed_sgi(3, 2, 2, {{0x03, 1, 0}, {0x03, 2, 0}, {0x03, 3, 0}, {0x03, 4, 0}});
  file.resize(SGI_TABLES + 8 * 4 - 1);
  EXPECT_FALSE(decode_sgi(file).ok);
}

// ---- Header checks and truncated files ---------------------------------------------

TEST(SgiHeader, RejectsTwoBytesPerChannel)
{
  EXPECT_FALSE(decode_sgi(bad_header(SGI_TYPE_BYTES, 2, false)).ok);
  EXPECT_FALSE(decode_sgi(bad_header(SGI_TYPE_BYTES, 0, false)).ok);
}

TEST(SgiHeader, RejectsChannelCountsOutsideOneToFour)
{
  EXPECT_FALSE(decode_sgi(bad_header(SGI_CHANNELS, 0, true)).ok);
  EXPECT_FALSE(decode_sgi(bad_header(SGI_CHANNELS, 5, true)).ok);
}

TEST(SgiHeader, RejectsZeroAndOversizeDimensions)
{
  for (size_t field : {SGI_WIDTH, SGI_HEIGHT}) {
    EXPECT_FALSE(decode_sgi(bad_header(field, 0, true)).ok);
    EXPECT_FALSE(decode_sgi(bad_header(field, 4097, true)).ok);
    EXPECT_FALSE(decode_sgi(bad_header(field, 65535, true)).ok);
  }
}

TEST(SgiHeader, HostileSizesFailInsteadOfExhaustingMemory)
{
  // The largest accepted sizes with almost no data behind them: the load
  // fails before anything of that size is allocated (the process stays).
  for (uint8_t storage : {0, 1}) {
    bytes file = bad_header(SGI_TYPE_STORAGE, storage, false);
    set_be16(file, SGI_WIDTH, 4096);
    set_be16(file, SGI_HEIGHT, 4096);
    set_be16(file, SGI_CHANNELS, 4);
    EXPECT_FALSE(decode_sgi(file).ok) << "storage " << int(storage);
  }
}

TEST(SgiHeader, RejectsTruncatedHeader)
{
  bytes file = sgi_encode(make_picture(2, 2, 1, false, varied));
  file.resize(11);
  EXPECT_FALSE(decode_sgi(file).ok);
  EXPECT_FALSE(decode_sgi(bytes{}).ok);
}

TEST(SgiHeader, RejectsTruncatedPlanes)
{
  bytes file = sgi_encode(make_picture(7, 5, 3, false, varied));
  EXPECT_TRUE(decode_sgi(file).ok);
  file.pop_back();
  EXPECT_FALSE(decode_sgi(file).ok);
}

TEST(SgiHeader, RejectsTruncatedRunLengthRows)
{
  bytes file = sgi_encode(make_picture(7, 5, 3, true, varied));
  file.pop_back();
  EXPECT_FALSE(decode_sgi(file).ok);
}

// ---- The writer's layout -------------------------------------------------------------

TEST(SgiEncode, RefusesPlanesThatDoNotMatchTheSizes)
{
  sgi_picture picture = make_picture(3, 3, 1, false, varied);
  picture.planes.pop_back();
  EXPECT_TRUE(sgi_encode(picture).empty());
  picture = make_picture(3, 3, 1, false, varied);
  picture.width = 0;
  EXPECT_TRUE(sgi_encode(picture).empty());
}

// ---- BMF files ------------------------------------------------------------------------

namespace {

struct read_font_result {
  bool ok;
  int width, height;
  bitmap_glyph_rect glyphs[BMF_GLYPH_COUNT];
};

read_font_result read_font_bytes(bytes file)
{
  read_font_result result{};
  file.reserve(1);  // fmemopen wants a buffer even for no bytes
  FILE *stream = fmemopen(file.data(), file.size(), "rb");
  if (!stream)
    return result;
  unsigned char *pixels = bmf_read_font(stream, result.glyphs, &result.width, &result.height);
  std::fclose(stream);
  result.ok = pixels != nullptr;
  std::free(pixels);
  return result;
}

bytes small_font(bitmap_glyph_rect glyphs[BMF_GLYPH_COUNT])
{
  for (int code = 0; code < BMF_GLYPH_COUNT; code++)
    glyphs[code] = {code / 256.0f, 0.5f, -1.5f, 1e-3f * code};
  return bmf_encode("test font", glyphs, sgi_encode(make_picture(4, 2, 3, true, varied)));
}

}  // namespace

TEST(BmfRead, ReadsGlyphRectanglesAndPicture)
{
  bitmap_glyph_rect written[BMF_GLYPH_COUNT];
  bytes file = small_font(written);
  EXPECT_EQ(file.size(), 4195u + sgi_encode(make_picture(4, 2, 3, true, varied)).size());
  read_font_result read = read_font_bytes(file);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.width, 4);
  EXPECT_EQ(read.height, 2);
  for (int code = 0; code < BMF_GLYPH_COUNT; code++)
    EXPECT_EQ(std::memcmp(&read.glyphs[code], &written[code], sizeof written[code]), 0) << code;
}

TEST(BmfRead, StoresGlyphFloatsLittleEndianAfterTheName)
{
  bitmap_glyph_rect glyphs[BMF_GLYPH_COUNT];
  bytes file = small_font(glyphs);
  EXPECT_EQ(std::memcmp(file.data(), "BMF", 3), 0);
  EXPECT_EQ(std::memcmp(file.data() + 3, "test font", 10), 0);
  // Record 0 is (0, 0.5, -1.5, 0): 0.5f is 0x3F000000, -1.5f 0xBFC00000.
  const uint8_t record[16] = {0, 0, 0, 0, 0, 0, 0, 0x3F, 0, 0, 0xC0, 0xBF, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(file.data() + 99, record, sizeof record), 0);
}

TEST(BmfRead, RejectsWrongMagic)
{
  bitmap_glyph_rect glyphs[BMF_GLYPH_COUNT];
  bytes file = small_font(glyphs);
  file[2] = 'X';
  EXPECT_FALSE(read_font_bytes(file).ok);
}

TEST(BmfRead, RejectsFilesCutAnywhereBeforeThePictureEnds)
{
  bitmap_glyph_rect glyphs[BMF_GLYPH_COUNT];
  bytes file = small_font(glyphs);
  for (size_t length : {size_t(0), size_t(2), size_t(50), size_t(99), size_t(2000), size_t(4195),
                        size_t(4195 + 100), file.size() - 1}) {
    bytes cut(file.begin(), file.begin() + length);
    EXPECT_FALSE(read_font_bytes(cut).ok) << "cut at " << length;
  }
}

// ---- The mask rule ---------------------------------------------------------------------

TEST(BitmapMask, BlackPixelsTurnWhiteWhateverTheirAlpha)
{
  const unsigned char picture[] = {0, 0, 0, 200, 0, 0, 0, 0, 0, 0, 0, 255};
  unsigned char *mask = bitmap_make_mask(picture, 3, 1);
  ASSERT_NE(mask, nullptr);
  for (int i = 0; i < 3; i++)
    EXPECT_EQ(bytes(mask + 4 * i, mask + 4 * i + 4), (bytes{255, 255, 255, 0})) << i;
  std::free(mask);
}

TEST(BitmapMask, AnyColourTurnsBlack)
{
  const unsigned char picture[] = {1, 0, 0, 0, 0, 1, 0, 255, 0, 0, 1, 9, 255, 255, 255, 255};
  unsigned char *mask = bitmap_make_mask(picture, 2, 2);
  ASSERT_NE(mask, nullptr);
  for (int i = 0; i < 4; i++)
    EXPECT_EQ(bytes(mask + 4 * i, mask + 4 * i + 4), (bytes{0, 0, 0, 0})) << i;
  std::free(mask);
}
