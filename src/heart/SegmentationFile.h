#pragma once
// The segmentation file: one region id per polygon of the normalised heart mesh,
// as text. Its lines are
//   segmentationdata
//   polygon number N
//   id: <polygon index> <region id>      (N lines, indices 0 to N-1 ascending)
//   end
// The reader is token-based: words are separated by any white space and the fixed
// words are not checked; the index column is not used (entry k is polygon k).
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace vantrel {

// Reads the file at `path` into regionIds, whose size is the polygon count the
// file must announce. Succeeds only when the extension is exactly "kxseg", the file
// opens, its count equals regionIds.size(), and all N entries (label, index, id:
// whole base-10 integers) and the closing word are present; then entry k sets
// regionIds[k] to 1 for a non-zero id and 0 otherwise, and true is returned.
// Console: the first word ("%s \n"), the count line ("%s %s %d\n") and "fin %s"
// (no line end) as they are read; any refusal prints one line and changes nothing.
bool ImportSegmentationFile(const std::string& path, std::vector<std::int32_t>& regionIds);

// The reading part of ImportSegmentationFile on an open stream; `name` appears in
// the refusal lines.
bool ReadSegmentation(std::istream& in, const std::string& name,
                      std::vector<std::int32_t>& regionIds);

// The path an export writes to: `chosenPath` itself when its extension is exactly
// "kxseg", otherwise chosenPath + ".kxseg" ("left" and "left.txt" become
// "left.kxseg" and "left.txt.kxseg").
std::string SegmentationExportPath(const std::string& chosenPath);

// Writes regionIds in the format above to `path` (created or replaced). Returns
// false and prints one console line when the file cannot be opened or written.
bool WriteSegmentationFile(const std::string& path, const std::vector<std::int32_t>& regionIds);

}  // namespace vantrel
