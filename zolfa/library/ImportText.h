// The import text of a backup answer: the playlists of the service's backup
// tables in the form that CPersonalLibrary::ImportPlaylists reads.
//
// The answer is read with FindTag: the "backup_load" envelope, its status
// (only 1 carries data), then "data_load" with the song, playlist and
// playlist-content tables. Envelope, data and tables end at their closing
// tags; the "<Data>" records inside a table and their numbered columns do
// not, so a column that a record lacks is taken from the records after it.
// A column value is used with at most kMaxColumnLength characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zolfa {

constexpr size_t kMaxColumnLength = 1023;

// Empty when the answer lacks the envelope, has a status other than 1, or
// lacks one of the tables. Finds the songs of the content records through
// an index, in time close to linear in the answer.
std::u16string BuildImportText(std::u16string_view answer);

// The same text, found by walking the song table from its start for every
// content record. Slow on large answers; kept as the plain reading of the
// tables that the indexed one is checked and measured against.
std::u16string BuildImportTextDirect(std::u16string_view answer);

}  // namespace zolfa
