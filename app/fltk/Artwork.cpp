#include "app/fltk/Artwork.h"

// The PNG files of res/ as read-only data of this object file.
#define TALMIREX_EMBED(symbol, file)                                                               \
  __asm__(".section .rodata\n"                                                                     \
          ".balign 16\n" #symbol ":\n"                                                             \
          ".incbin \"" TALMIREX_RES_DIR "/" file "\"\n" #symbol "_end:\n"                          \
          ".previous\n")

TALMIREX_EMBED(talmirex_banner_png, "banner.png");
TALMIREX_EMBED(talmirex_icon_png, "icon32.png");

extern "C" const unsigned char talmirex_banner_png[], talmirex_banner_png_end[];
extern "C" const unsigned char talmirex_icon_png[], talmirex_icon_png_end[];

namespace artwork {

Bytes Banner() {
  return {talmirex_banner_png, static_cast<size_t>(talmirex_banner_png_end - talmirex_banner_png)};
}
Bytes Icon() {
  return {talmirex_icon_png, static_cast<size_t>(talmirex_icon_png_end - talmirex_icon_png)};
}

} // namespace artwork
