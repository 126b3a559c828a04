#include "app/FileNames.h"

#include <cctype>

#include "heart/FileExtension.h"

namespace vantrel {
namespace {

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::string::size_type i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string PathWithExtension(const std::string& chosen, const std::string& extension) {
    if (EqualIgnoringCase(FileExtension(chosen), extension)) return chosen;
    return chosen + "." + extension;
}

}  // namespace vantrel
