#pragma once
// The running test binary's last-modified time, as Linux keeps it, for
// tests that check what the program shows of its own file's date.

#include <ctime>

namespace testhost {
// Local time of the binary's last change; fails the calling test (and
// returns a zeroed time) when it cannot be read.
std::tm OwnBinaryModified();
} // namespace testhost
