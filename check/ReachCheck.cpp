#include "check/ReachCheck.h"

#include <string>
#include <vector>

namespace vexo {

void CheckReach(const Blank& blank, BlankPartCheck& part) {
  const int count = blank.LineCount();
  if (count != static_cast<int>(part.Lines().size())) return;
  std::vector<bool> reached(static_cast<size_t>(count), false);
  std::vector<int> pending = {0};
  while (!pending.empty()) {
    const int i = pending.back();
    pending.pop_back();
    if (i < 0 || i >= count || reached[static_cast<size_t>(i)]) continue;
    reached[static_cast<size_t>(i)] = true;
    const Line& line = blank.LineAt(i);
    if (line.m_Type != Line::kJump) {
      pending.push_back(i + 1);
      continue;
    }
    const int target = static_cast<int>(line.m_Next);
    pending.push_back(target);
    if (line.m_Cond != 0 || target <= i) pending.push_back(i + 1);
  }
  for (int first = 0; first < count; ++first) {
    if (reached[static_cast<size_t>(first)]) continue;
    int last = first;
    bool text = false;
    for (; last < count && !reached[static_cast<size_t>(last)]; ++last) {
      text = text || blank.LineAt(last).m_Type == Line::kText;
    }
    if (text) {
      const int from = part.Lines()[static_cast<size_t>(first)].line;
      const int to = part.Lines()[static_cast<size_t>(last - 1)].line;
      const bool one = from == to;
      part.Report(Severity::kWarning, "unreachable", static_cast<size_t>(first), 0,
                  (one ? "line " + std::to_string(from) + " is"
                       : "lines " + std::to_string(from) + " to " + std::to_string(to) + " are") +
                      " never printed: the jump above goes past and no jump leads here; remove " +
                      (one ? "it" : "them") + " or put a label above and jump to it");
    }
    first = last;
  }
}

}  // namespace vexo
