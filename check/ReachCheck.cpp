#include "check/ReachCheck.h"

namespace vexo {

std::vector<std::pair<int, int>> UnreachedLines(const Blank& blank) {
  const int count = blank.LineCount();
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
  std::vector<std::pair<int, int>> stretches;
  for (int first = 0; first < count; ++first) {
    if (reached[static_cast<size_t>(first)]) continue;
    int last = first;
    bool text = false;
    for (; last < count && !reached[static_cast<size_t>(last)]; ++last) {
      text = text || blank.LineAt(last).m_Type == Line::kText;
    }
    if (text) stretches.emplace_back(first, last - 1);
    first = last;
  }
  return stretches;
}

}  // namespace vexo
