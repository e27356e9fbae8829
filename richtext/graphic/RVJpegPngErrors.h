#pragma once
// libjpeg and libpng report a fatal error through a callback that must not
// return: these handlers longjmp back to the setjmp the caller made before
// calling the library. Everything between that setjmp and the jump must be
// plain C data, so that nothing is skipped that needs destroying.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <png.h>

namespace varnolt {

struct JpegErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

// An error jumps to errors.jump; warnings and messages are dropped.
void UseJumpingErrors(jpeg_decompress_struct& info, JpegErrorManager& errors);

// Errors png_longjmp to png_jmpbuf; warnings are dropped. nullptr when the
// library cannot allocate.
png_structp CreateJumpingPngReader();
png_structp CreateJumpingPngWriter();

}  // namespace varnolt
