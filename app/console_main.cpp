// Until the window exists: searches the INF folder the way the Test command
// does and prints what it found.

#include <cstdio>

#include "platform/RuntimeError.h"
#include "search/clsSearchForText.h"

int main() {
  clsSearchForText search;
  search.path("c:\\windows\\inf\\oem*.inf");
  search.SearchText("TALMIREX");
  try {
    int16_t n = search.Search();
    if (n <= 0) std::puts("Search String Not Found");
    for (int16_t i = 1; i <= search.FileFoundCount(); ++i)
      std::puts(search.FileFoundName(i).c_str());
  } catch (const RuntimeError& e) {
    std::fprintf(stderr, "Run-time error %d: %s\n", e.Number(), e.what());
    return 1;
  }
  return 0;
}
