#pragma once
// File-name extensions, judged in one place. The extension is the text after the last
// dot of the file's name (the folder part is not searched, so "/my.dir/heart" has none).
#include <string>

namespace vantrel {

// The extension of `path` without its dot; empty when the name has no dot.
std::string FileExtension(const std::string& path);

// True when the extension of `path` is `extension` in any case: "HEART.OBJ" has "obj".
bool HasExtension(const std::string& path, const std::string& extension);

// True when the extension of `path` is exactly `extension`, case included: where a
// format's files are told apart by an exact name ("left.kxseg" but not "left.KXSEG").
bool HasExactExtension(const std::string& path, const std::string& extension);

}  // namespace vantrel
