// Feeds arbitrary bytes to the work-document parser. A refused text must leave the
// document as it was; an accepted one must write out to text that reads back to the
// same text, with no more ids than the reader admits.
#include <cstddef>
#include <cstdint>
#include <string>

#include "growth/WorkDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string documentPath = "/fuzz/work.kx";
    vantrel::WorkDocument document;
    const std::string before = vantrel::WorkDocumentText(document, documentPath);
    vantrel::WorkDocumentError error;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (!vantrel::ParseWorkDocumentText(text, document, error)) {
        if (vantrel::WorkDocumentText(document, documentPath) != before) __builtin_trap();
        return 0;
    }
    if (static_cast<std::int64_t>(document.regionIds.size()) > vantrel::kMaxDocumentPolygons)
        __builtin_trap();
    const std::string written = vantrel::WorkDocumentText(document, documentPath);
    vantrel::WorkDocument reread;
    if (!vantrel::ParseWorkDocumentText(written, reread, error)) __builtin_trap();
    if (vantrel::WorkDocumentText(reread, documentPath) != written) __builtin_trap();
    return 0;
}
