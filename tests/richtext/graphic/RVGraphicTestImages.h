#pragma once
// Small pictures made in the tests: PNG and JPEG through their libraries,
// DIBs and metafiles byte by byte, and hexadecimal text for RTF.
#include <jpeglib.h>
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "richtext/graphic/RVGraphicBytes.h"
#include "tests/support/JpegFixtures.h"

namespace varnolt::test {

inline std::string ToHex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 15]);
    if (i % 32 == 31) hex += "\r\n";
  }
  return hex;
}

inline std::string MakePng(int width, int height) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, png_size_t length) {
        static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<const char*>(data), length);
      },
      nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(static_cast<std::size_t>(width) * 3, 0x80);
  for (int y = 0; y < height; ++y) png_write_row(png, row.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

inline std::string MakeJpeg(int width, int height) { return SolidJpeg(width, height, JCS_RGB, {0x40, 0x40, 0x40}); }

// A bottom-up DIB; 24-bit rows hold blue, green, red bytes of the row number.
inline std::string MakeDib(int width, int height, int bitsPerPixel = 24, int paletteSize = 0) {
  std::string dib;
  AppendU32(dib, 40);
  AppendU32(dib, static_cast<std::uint32_t>(width));
  AppendU32(dib, static_cast<std::uint32_t>(height));
  AppendU16(dib, 1);
  AppendU16(dib, static_cast<std::uint32_t>(bitsPerPixel));
  for (int i = 0; i < 3; ++i) AppendU32(dib, 0);
  AppendU32(dib, 0);
  AppendU32(dib, static_cast<std::uint32_t>(paletteSize));
  AppendU32(dib, 0);
  for (int i = 0; i < paletteSize; ++i) AppendU32(dib, static_cast<std::uint32_t>(0x00102030 + i));
  const int rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
  for (int y = 0; y < height; ++y) dib.append(static_cast<std::size_t>(rowBytes), static_cast<char>(y + 1));
  return dib;
}

inline void AppendWmfRecord(std::string& out, std::uint16_t function, const std::string& parameters) {
  AppendU32(out, static_cast<std::uint32_t>((6 + parameters.size() + 1) / 2));
  AppendU16(out, function);
  out += parameters;
  if (parameters.size() % 2 != 0) out.push_back('\0');
}

// A Windows metafile without the placeable header: the header, the given
// records and the end record.
inline std::string MakeWmf(const std::vector<std::pair<std::uint16_t, std::string>>& records) {
  std::string body;
  for (const auto& [function, parameters] : records) AppendWmfRecord(body, function, parameters);
  AppendWmfRecord(body, 0x0000, "");
  std::string out;
  AppendU16(out, 1);
  AppendU16(out, 9);
  AppendU16(out, 0x0300);
  AppendU32(out, static_cast<std::uint32_t>((18 + body.size()) / 2));
  AppendU16(out, 0);
  AppendU32(out, 0);
  AppendU16(out, 0);
  return out + body;
}

// The fixed parameters of a set-DIB-bits-to-device record in front of a DIB.
inline std::string SetDibToDeviceParameters(const std::string& dib) { return std::string(18, '\0') + dib; }

inline std::string MakeEmf(int frameRight, int frameBottom) {
  std::string out;
  AppendU32(out, 1);
  AppendU32(out, 88);
  for (int i = 0; i < 4; ++i) AppendU32(out, 0);  // bounds
  AppendU32(out, 0);
  AppendU32(out, 0);
  AppendU32(out, static_cast<std::uint32_t>(frameRight));
  AppendU32(out, static_cast<std::uint32_t>(frameBottom));
  AppendU32(out, 0x464D4520);
  AppendU32(out, 0x10000);
  AppendU32(out, 108);
  AppendU32(out, 2);
  AppendU16(out, 1);
  AppendU16(out, 0);
  for (int i = 0; i < 7; ++i) AppendU32(out, 0);
  AppendU32(out, 14);  // end-of-file record
  AppendU32(out, 20);
  for (int i = 0; i < 3; ++i) AppendU32(out, 0);
  return out;
}

}  // namespace varnolt::test
