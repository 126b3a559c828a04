#include "mesh/FileExtension.h"

#include <algorithm>
#include <cctype>

namespace vantrel {

std::string FileExtension(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('/');
    const std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::string::size_type dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart) return std::string();
    return path.substr(dot + 1);
}

bool HasExtension(const std::string& path, const std::string& extension) {
    const std::string own = FileExtension(path);
    return std::equal(
        own.begin(), own.end(), extension.begin(), extension.end(),
        [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); });
}

bool HasExactExtension(const std::string& path, const std::string& extension) {
    return FileExtension(path) == extension;
}

}  // namespace vantrel
