// The five line directives: which template lines a page keeps, by its place in the sequence.
#pragma once

#include <string>
#include <vector>

namespace fotoloom {

enum class PagePosition { First, Middle, Last };

// First for number 1, Last for number == count when that is not 1, else
// Middle; a one-page sequence therefore has only a first page.
PagePosition PositionInSequence(long long number, long long count);

// Applies the directives to one line in place. Returns false when the line is
// dropped: "@ignore@" in any letter case drops it everywhere; otherwise the two
// markers the position removes are deleted (any case, all occurrences) and the
// line is dropped if it still holds one of the position's two dropping markers
// in lower case. Everything else in the line, leading blanks included, stays.
bool FilterLine(std::string& line, PagePosition position);

// The lines of a template that a page at position keeps, directives applied.
std::vector<std::string> FilterLines(const std::vector<std::string>& lines, PagePosition position);

}  // namespace fotoloom
