// The tree editor's content without the widget: the model lines grouped under eight fixed
// sections, how lines are placed in a section, and the fixed order in which the tree writes the
// lines back to the document.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "model/line_fields.h"
#include "model/sections.h"

namespace spanlab {

// The headings are the sections of the section table, in its order (ModelSection).

// "Description", "Units", "Properties", "Moment Releases", "Supports", "Springs",
// "Point Loads", "Uniform Loads".
const char* SectionTitle(int section);
// "/", "Units:", "Member Property:", "Moment Release:", "Support:", "Spring:", "Point Load:",
// "Uniform Load:".
std::string_view SectionPrefix(int section);

// Each section's children: the texts of its lines with the prefix cut off (a blank after the
// prefix stays).
using TreeContent = std::array<std::vector<std::string>, kSectionCount>;

// The tree for a document's lines, each section's lines in document order. Lines that match no
// prefix (the format line among them) are not shown.
TreeContent BuildTree(const std::vector<std::string>& lines);

// The section whose prefix `line` starts with (the prefixes are tested in section order),
// -1 for none.
int SectionOfLine(std::string_view line);

// The line list the tree writes: "File Format:3.0", then the description, units, properties,
// springs, supports, moment releases, point loads and uniform loads, each with its prefix.
std::vector<std::string> WriteTreeLines(const TreeContent& tree);

// Whether `lines` are already as WriteTreeLines(BuildTree(lines)) would write them: the format
// line first, then only lines the tree shows, their sections in the written order.
bool IsWrittenOrder(const std::vector<std::string>& lines);

// The index in WriteTreeLines(tree) of child `row` of `section` (row may be the child count:
// the place just after the section's last line).
size_t WrittenLineIndex(const TreeContent& tree, int section, size_t row);

// A child text sorts by its GetLinePosition (model/line_fields.h).

// Where InsertSorted puts `text` among `children`: before the first child whose position is
// not smaller, else at the end.
size_t InsertSortedIndex(const std::vector<std::string>& children, const std::string& text);
// The same from the children's positions, already read, and the new line's position `x`.
size_t InsertSortedIndex(const std::vector<double>& positions, double x);

// The text the Description and Units dialogs edit: the children joined by "\r\n".
std::string JoinSectionText(const std::vector<std::string>& children);

// The children for a dialog's text. Description texts mark soft line breaks with "\r\r\n"; each
// becomes a plain break, dropping the character before it (the blank the line wrapped at).
// Every piece before a "\r\n" is a child, empty ones included; the rest only if not empty.
std::vector<std::string> SplitSectionText(std::string text, bool description);

// The selection hint of a line in a section: 11..16 for the six item sections, 10 otherwise.
long SelectionHintOfSection(int section);

}  // namespace spanlab
