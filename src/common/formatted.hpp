#pragma once

// printf's formatting into a string: every message of both programs is a
// printf format, and the words are made apart from where they are shown.

#include <string>

namespace bmp2land {

// The compiler checks the arguments against the format; mingw-w64's printf is
// the C99 one, not msvcrt's.
#if defined(__MINGW32__)
#define BMP2LAND_PRINTF_LIKE [[gnu::format(gnu_printf, 1, 2)]]
#elif defined(__GNUC__)
#define BMP2LAND_PRINTF_LIKE [[gnu::format(printf, 1, 2)]]
#else
#define BMP2LAND_PRINTF_LIKE
#endif

BMP2LAND_PRINTF_LIKE std::string formatted(const char* format, ...);

}  // namespace bmp2land
