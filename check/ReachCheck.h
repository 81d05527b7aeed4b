// Lines of a blank part that no walk reaches.
#pragma once

#include "check/BlankCheck.h"
#include "template/Blank.h"

namespace vexo {

// Follows every way the walk of blank's current part can go from its first
// line, as the loaded line table gives them: on from each line, to the
// target of each jump, and past a jump that goes back once the records are
// done. A sheet break asked for by the data also goes past a jump; that
// way is left out, since a blank that needs it is rarely meant. Each stretch
// of lines that no way reaches and that holds a text line is a warning on
// part at its first line; the part's lines must be the ones blank loaded.
void CheckReach(const Blank& blank, BlankPartCheck& part);

}  // namespace vexo
