#pragma once

#include <string>

// `path` where another user can start it, wherever the build tree lies: a checkout in a folder
// only root may enter (/root, a 0700 home) hides the build's programs from the user nobody. The
// first call makes a folder under /tmp that everyone may enter. A program of the build tree is
// linked into it (copied across file systems) at the same place relative to the build tree,
// beside the build's shared libraries, which its $ORIGIN run path finds there; a script's paths
// into the build tree are turned into the folder's. The folder goes when the test program ends.
// A path outside the build tree comes back as it is.
std::string Reachable(const std::string& path);
