// Byte buffers for the file writers.
#include "tools/asset-kit/bytes.h"

#include <cstdio>

void put_le16(byte_buffer &out, uint32_t value)
{
  out.push_back(value & 0xFF);
  out.push_back((value >> 8) & 0xFF);
}

void put_le32(byte_buffer &out, uint32_t value)
{
  put_le16(out, value & 0xFFFF);
  put_le16(out, value >> 16);
}

int write_bytes(const char *path, const byte_buffer &bytes)
{
  FILE *f = std::fopen(path, "wb");
  if (!f)
    return -1;
  size_t written = std::fwrite(bytes.data(), 1, bytes.size(), f);
  int closed = std::fclose(f);
  return written == bytes.size() && closed == 0 ? 0 : -1;
}

bool read_bytes(const char *path, byte_buffer &bytes)
{
  FILE *f = std::fopen(path, "rb");
  if (!f)
    return false;
  bytes.clear();
  unsigned char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
    bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  return true;
}
