// partlink's own restriction of the library search, compiled into the test
// host from partlink's sources (the two programs share no code).
#pragma once

namespace partlink {
bool RestrictLibrarySearch();
}
