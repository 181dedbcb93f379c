// The volume a path lies on, and whether its file system keeps access lists:
// the test the rights operations begin with.
#pragma once

#include "foundation/text_string.h"

namespace quillon {

// The root of the path's volume, as GetVolumeInformationA takes it:
// "\\server\share\dir\file" gives "\\server\share\", "C:\dir\file" gives "C:\".
// A UNC path without the backslash after its share name, or a path without a
// colon, gives "\" (the root of the current drive).
TextString GetVolumeRoot(const char* path);

// True for every FAT variant (the first three characters are "FAT", in any
// case): such volumes keep no access lists.
bool IsFatFileSystem(const char* fileSystemName);

}  // namespace quillon
