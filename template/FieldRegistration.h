// What loading a blank takes from its text lines.
#pragma once

namespace vexo {

// Creates every record and header field that the text line names, as read
// from the part file (at most kLineMax characters), and appends the preset
// text of its header placeholders to their header fields. Nothing is
// reported; a placeholder without digits names field 0.
void RegisterFields(const wchar_t* line);

}  // namespace vexo
