#pragma once
// The names the program's save commands write to, from the name the user chose.
#include <string>

namespace vantrel {

// `chosen` with ".<extension>" appended unless its extension (the text after the
// last dot of the file name) already equals `extension` in any case: "fibres" and
// "fibres.txt" get ".obj", "fibres.obj" and "FIBRES.OBJ" stay as they are.
std::string PathWithExtension(const std::string& chosen, const std::string& extension);

}  // namespace vantrel
