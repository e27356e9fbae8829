#pragma once
// libjpeg (platform/Jpeg.h) and libpng report a fatal error through a
// callback that must not return: these handlers longjmp back to the setjmp
// the caller made before calling the library. Everything between that setjmp
// and the jump must be plain C data, so that nothing is skipped that needs
// destroying.
#include <csetjmp>
#include <cstdio>

#include <png.h>

#include "platform/Jpeg.h"

namespace varnolt {

// Errors png_longjmp to png_jmpbuf; warnings are dropped. nullptr when the
// library cannot allocate.
png_structp CreateJumpingPngReader();
png_structp CreateJumpingPngWriter();

}  // namespace varnolt
