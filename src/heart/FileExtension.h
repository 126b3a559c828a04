#pragma once
// The extension of a chosen file: the text after the last dot of its name (the
// folder part is not searched, so "/my.dir/heart" has none). Empty when the name
// has no dot. The comparison callers make with it is their own (exact or not).
#include <string>

namespace vantrel {

inline std::string FileExtension(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('/');
    const std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::string::size_type dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart) return std::string();
    return path.substr(dot + 1);
}

}  // namespace vantrel
