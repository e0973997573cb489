// Naming of thumbnail files: a source "/photos/trip.jpg" gives "trip缩图.jpg".
#pragma once

#include <string>

// The thumbnail's bare file name for a source path: the source's base name, then "缩图", then its
// extension (from the last "." of the file name, kept exactly as it is; none when the name has no
// "."). Pure and total: it touches no file and gives a result for any string. The suffix is never
// looked for, so a thumbnail's own name gains it again.
std::string ThumbnailFileName(const std::string& sourcePath);

// The path a thumbnail is saved under: JoinPath(folder, fileName), so the root gives "//name".
std::string ThumbnailDestination(const std::string& folder, const std::string& fileName);
