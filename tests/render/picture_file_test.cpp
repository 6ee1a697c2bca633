// The header check in front of Allegro's picture loaders: crafted headers are refused with their
// reason (the checked loader itself is tried in the game's tests, beside the sounds').
#include <gtest/gtest.h>
#include "render/picture_file.h"
#include "tests/support/files.h"

namespace {

// A picture's bytes, by its name in the graphics folder.
std::vector<unsigned char> shipped(const std::string &name) { return file_bytes(PILKO_DATA_DIR "/graphics/" + name); }

// Sets a little-endian value of width bytes at offset.
std::vector<unsigned char> with(std::vector<unsigned char> bytes, size_t offset, long long value,
                                int width = 1)
{
  for (int i = 0; i < width; i++)
    bytes.at(offset + i) = (unsigned char)(value >> (8 * i));
  return bytes;
}

}  // namespace

TEST(PictureFile, RefusesCraftedHeadersWithTheirReason)
{
  std::vector<unsigned char> tga = shipped("gameover.tga"), bmp = shipped("gras.bmp");
  // 5 x 3 pixels: rows of 15 bytes padded to 16, 54 + 48 bytes in all.
  std::vector<unsigned char> padded = with(with(bmp, 18, 5, 4), 22, 3, 4);
  padded.resize(101);
  const struct {
    const char *name;
    std::vector<unsigned char> bytes;
    const char *reason;
  } crafted[] = {
    // The logo that crashed Allegro's loader.
    {"logo.tga", with(with(with(with(tga, 1, 1), 2, 1), 5, 0xFFFF, 2), 7, 24), "a TGA with a colour map"},
    {"logo.tga", with(tga, 5, 0xFFFF, 2), "a TGA with a colour map"},
    {"logo.tga", with(tga, 2, 3), "not a true-colour TGA"},
    {"logo.tga", with(tga, 16, 16), "a TGA of neither 24 nor 32 bits a pixel"},
    {"logo.tga", with(tga, 17, 0x40), "a TGA with an unknown pixel layout"},
    {"logo.tga", with(tga, 12, 0, 2), "a TGA of a size out of bounds"},
    {"logo.tga", with(tga, 14, 4096, 2), "a TGA of a size out of bounds"},
    {"logo.tga", std::vector<unsigned char>(tga.begin(), tga.end() - 1), "a TGA shorter than its pixels"},
    {"logo.tga", with(tga, 2, 10), "a run-length TGA"},  // Allegro overruns its bitmap on long runs
    {"logo.tga", std::vector<unsigned char>(tga.begin(), tga.begin() + 17), "too short for a TGA header"},
    {"gras.bmp", with(with(bmp, 28, 8, 2), 30, 1, 4), "a BMP of other than 24 bits a pixel"},
    {"gras.bmp", with(bmp, 30, 1, 4), "a compressed BMP"},
    {"gras.bmp", with(bmp, 14, 12, 4), "a BMP with an unknown header"},
    {"gras.bmp", with(bmp, 46, 256, 4), "a BMP of other than 24 bits a pixel"},
    {"gras.bmp", with(bmp, 22, -128, 4), "a BMP of a size out of bounds"},
    {"gras.bmp", with(bmp, 18, 1 << 20, 4), "a BMP of a size out of bounds"},
    {"gras.bmp", with(bmp, 10, 1078, 4), "a BMP with its pixels away from the header"},
    {"gras.bmp", std::vector<unsigned char>(bmp.begin(), bmp.end() - 1), "a BMP shorter than its pixels"},
    {"gras.bmp", padded, "a BMP shorter than its pixels"},
    {"logo.tga", with(with(with(with(tga, 12, 16, 2), 14, 16, 2), 16, 32), 17, 8), nullptr},  // with alpha
    {"gras.bmp", with(bmp, 0, 'X'), "not a BMP"},
    {"gras.bmp", tga, "not a BMP"},
    {"logo.png", tga, "neither a TGA nor a BMP name"},
  };
  for (const auto &file : crafted)
    EXPECT_STREQ(picture_problem(file.name, file.bytes.data(), file.bytes.size(), (long long)file.bytes.size()), file.reason)
        << file.name << ": " << (file.reason ? file.reason : "");
}
