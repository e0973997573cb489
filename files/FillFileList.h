// Puts the files of one folder that match a path pattern into a list of texts.
#pragma once

#include <string>
#include <vector>

// Splits `mask` after its last "/" into a folder part (with that "/") and a name part, e.g.
// "/photos/*.jpg" into "/photos/" and "*.jpg", or "//*.jpg" into "//" and "*.jpg". When the folder
// part (as it stands, a relative one from the working directory) is no existing directory, `list`
// ends up empty. Otherwise `list` is replaced by the folder part followed by the name of every
// entry of that folder that matches the name part and is not a directory, in the directory search's
// order (see FindEntries); hidden files are included, e.g. "/photos/a.jpg", "//x.jpg". A folder
// that may not be read gives an empty list. `list` keeps its old content only if the replacement
// fails.
void FillFileList(std::vector<std::string>& list, const std::string& mask);
