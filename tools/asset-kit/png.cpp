// PNG writer: signature, IHDR, one IDAT of stored deflate blocks, IEND.
#include "tools/asset-kit/png.h"

#include "base/base.h"
#include "tools/asset-kit/files.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int BYTES_PER_PIXEL = 4;            // red, green, blue, alpha
constexpr unsigned STORED_BLOCK_MAX = 65535;  // deflate's largest stored block
constexpr unsigned char PNG_SIGNATURE[8] = {137, 'P', 'N', 'G', '\r', '\n', 26, '\n'};

void put_be32(byte_buffer &out, uint32_t value)
{
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back((value >> shift) & 0xff);
}

uint32_t crc32_of(const unsigned char *data, size_t size)
{
  uint32_t crc = 0xffffffffu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

uint32_t adler32_of(const byte_buffer &data)
{
  uint32_t a = 1, b = 0;
  for (unsigned char byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

// A chunk: length, type, data, and the CRC of type and data.
void put_chunk(byte_buffer &out, const char type[4], const byte_buffer &data)
{
  put_be32(out, static_cast<uint32_t>(data.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  put_be32(out, crc32_of(out.data() + start, out.size() - start));
}

// The zlib stream of the raw bytes in stored (uncompressed) blocks.
byte_buffer zlib_stored(const byte_buffer &raw)
{
  byte_buffer out = {0x78, 0x01};  // deflate, 32 KiB window, no dictionary
  size_t done = 0;
  do {
    unsigned length = static_cast<unsigned>(std::min<size_t>(raw.size() - done, STORED_BLOCK_MAX));
    bool last = done + length == raw.size();
    out.push_back(last ? 1 : 0);
    put_le16(out, length);
    put_le16(out, ~length & 0xffff);
    out.insert(out.end(), raw.begin() + done, raw.begin() + done + length);
    done += length;
  } while (done < raw.size());
  put_be32(out, adler32_of(raw));
  return out;
}

}  // namespace

int write_png(const char *path, const picture &pic, const picture &alpha)
{
  byte_buffer header;
  put_be32(header, pic.width);
  put_be32(header, pic.height);
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
  byte_buffer raw;
  raw.reserve(size_t(pic.height) * (1 + pic.width * BYTES_PER_PIXEL));
  for (int y = 0; y < pic.height; ++y) {
    raw.push_back(0);  // filter type: none
    for (int x = 0; x < pic.width; ++x) {
      unsigned char colour[3], coverage[3];
      quantize(pixel_at(pic, x, y), colour);
      quantize(pixel_at(alpha, x, y), coverage);
      raw.insert(raw.end(), {colour[0], colour[1], colour[2], coverage[0]});
    }
  }
  byte_buffer out(PNG_SIGNATURE, PNG_SIGNATURE + sizeof PNG_SIGNATURE);
  put_chunk(out, "IHDR", header);
  put_chunk(out, "IDAT", zlib_stored(raw));
  put_chunk(out, "IEND", {});
  return write_file(path, out) ? 0 : -1;
}
