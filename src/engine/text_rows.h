#pragma once
// The rows and cells Excel makes of a pasted text, so that the program knows which cell holds which
// line without asking Excel: the rewrite of the pasted cells and the cell move below the block both
// depend on it.
#include <string>
#include <string_view>
#include <vector>

// A row ends at CR LF, at a lone CR and at a lone LF; a tab starts the next cell of the row. A cell
// that begins with a double quote and has a closing one runs to it, line breaks and tabs included,
// with "" read as one quote (as Excel itself copies a cell holding a line break). A line break at the
// very end starts no further row; an empty text is no row at all.
std::vector<std::vector<std::wstring>> Split_Pasted_Text(std::wstring_view text);

// The text with every line break (CR LF, lone CR, lone LF) replaced by the given text.
std::wstring Replace_Line_Breaks(std::wstring_view text, std::wstring_view with);
