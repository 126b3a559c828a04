#include "app/FileNames.h"

#include "mesh/FileExtension.h"

namespace vantrel {

std::string PathWithExtension(const std::string& chosen, const std::string& extension) {
    if (HasExtension(chosen, extension)) return chosen;
    return chosen + "." + extension;
}

}  // namespace vantrel
