// Lines of a blank part that no walk reaches.
#pragma once

#include <utility>
#include <vector>

#include "template/Blank.h"

namespace vexo {

// Follows every way the walk of blank's current part can go from its first
// line, as the loaded line table gives them: on from each line, to the
// target of each jump, and past a jump that goes back once the records are
// done. A sheet break asked for by the data also goes past a jump; that
// way is left out, since a blank that needs it is rarely meant. Gives each
// stretch of lines that no way reaches and that holds a text line, as the
// indexes of its first and last line.
std::vector<std::pair<int, int>> UnreachedLines(const Blank& blank);

}  // namespace vexo
