// What the picture table and thumbnail_child.exe agree on.
#pragma once

#include <cstddef>

// No real picture of the table comes near this; a hostile one that fills
// the 32-bit process passes it.
const size_t kHeavyMegabytes = 1024;
// The child's exit code after a row that took more.
const int kHeavyExit = 3;
