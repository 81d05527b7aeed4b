#include "threads/BaseListTimers.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "threads/test_helpers.h"

namespace {

using std::chrono::milliseconds;

// The current time moved to second g_Second of its minute, local time.
int g_Second = 0;
std::time_t ClockAtSecond() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return now - local.tm_sec + g_Second;
}

// The log lines of registering, removing and dropping entries.
std::vector<std::string> RegistrationLines(const CapturedLog& log) {
  std::vector<std::string> lines = log.Lines();
  lines.erase(std::remove_if(
                  lines.begin(), lines.end(),
                  [](const std::string& l) { return l.find("ProcTimer ") == std::string::npos; }),
              lines.end());
  return lines;
}

TEST(ProcTimer, CountsDownToEachCall) {
  for (int i = 0; i < 50;
       ++i) {  // first and interval -1 to 3, with a procedure returning false or not
    const int first = i / 10 - 1, interval = i / 2 % 5 - 1, falseOn = i % 2;
    std::vector<int> expected;
    for (int tick = std::max(first, 0) + 1; tick <= 15; tick += std::max(interval, 1)) {
      expected.push_back(tick);
      if (interval < 1 || falseOn != 0) break;  // a procedure returning false is done as well
    }
    Probe probe;
    probe.falseOn = falseOn;
    CountdownListTimers::ProcTimer timer("t", &Probe::Call, &probe, first, interval);
    std::vector<int> called;
    int done = 0;
    for (int tick = 1; tick <= 15 && done == 0; ++tick) {
      if (!timer.Exec()) done = tick;
      if (probe.calls > static_cast<int>(called.size())) called.push_back(tick);
    }
    EXPECT_EQ(called, expected) << first << "," << interval << " false on " << falseOn;
    EXPECT_EQ(done, interval < 1 || falseOn != 0 ? expected.front() : 0)
        << first << "," << interval;
  }
}

TEST(BaseListTimers, RegistersAPairOnceTicksEveryEntryUntilItReturnsFalseAndRestartsEmpty) {
  CapturedLog log;
  Probe keeps, quits;
  quits.falseOn = 2;
  BaseListTimers list;
  list.Start("L", 0, 10, true);
  const std::string n = list.Name();
  EXPECT_TRUE(list.AddProcTimer("keeps", &Probe::Call, &keeps));
  EXPECT_FALSE(list.AddProcTimer("again", &Probe::Call, &keeps));
  EXPECT_TRUE(list.AddProcTimer("quits", &Probe::Call, &quits));
  const std::string end = n + " - AvtoEndProcTimer  " + n + " quits";
  ASSERT_TRUE(WaitUntil([&] { return keeps.calls >= 3 && log.Contains(end); }));
  EXPECT_FALSE(list.DelProcTimer(&Probe::Call, &quits));  // dropped after its false
  EXPECT_TRUE(list.DelProcTimer(&Probe::Call, &keeps));
  EXPECT_EQ(quits.calls, 2);
  const std::string add = n + " - AddProcTimer to   " + n + " ",
                    del = n + " - DelProcTimer from " + n + " ";
  std::vector<std::string> lines = {add + "keeps added",    add + "again already exists",
                                    add + "quits added",    end,
                                    del + "does not exist", del + "keeps deleted"};
  EXPECT_EQ(RegistrationLines(log), lines);
  EXPECT_TRUE(list.AddProcTimer("keeps", &Probe::Call, &keeps));
  list.Start("L", 0, 10, false);  // a restart drops every entry
  EXPECT_FALSE(list.DelProcTimer(&Probe::Call, &keeps));
}

TEST(CountdownListTimers, MinuteListStartsAtTheNextFullMinuteAndCallsAtOnceWhenNoTicksAreLeft) {
  struct Case {
    int second, first, interval, falseOn;
    const char* outcome;
  };
  const char* kept = " executed immediately and added";
  const char* dropped = " executed immediately and not added because no repeat needed";
  const Case cases[] = {{59, 2, 0, 0, " added"}, {0, 1, 3, 0, " added"}, {1, 0, 0, 0, dropped},
                        {45, 0, 3, 0, kept},     {30, 0, 3, 1, dropped}, {0, -1, 1, 0, kept}};
  for (const Case& c : cases) {  // no tick comes within a case
    CapturedLog log;
    g_Second = c.second;
    Probe probe;
    probe.falseOn = c.falseOn;
    BaseListTimersMinute list(&ClockAtSecond);
    list.Start("M", true);
    const std::string n = list.Name();
    EXPECT_EQ(n.rfind("M(" + std::to_string((60 - c.second) * 1000) + ",60000) PID: ", 0), 0u) << n;
    list.AddProcTimer("t", &Probe::Call, &probe, c.first, c.interval);
    list.DelProcTimer(&Probe::Call, &probe);
    const std::string t = "t(" + std::to_string(c.first) + "," + std::to_string(c.interval) + ")";
    std::vector<std::string> expected = {n + " - AddProcTimer to   " + n + " " + t + ":" +
                                         c.outcome};
    if (c.outcome != dropped) expected.push_back(n + " - DelProcTimer from " + n + " " + t);
    EXPECT_EQ(RegistrationLines(log), expected);
    EXPECT_EQ(probe.calls, c.first <= 0 ? 1 : 0) << t;
  }
}

TEST(BaseListTimersSecond, TicksOnceASecondFromTheStart) {
  CapturedLog log;
  Probe once;
  BaseListTimersSecond list;
  list.Start("S", true);
  const std::string n = list.Name();
  EXPECT_EQ(n.rfind("S(0,1000) PID: ", 0), 0u) << n;
  const auto added = Probe::Clock::now();
  list.AddProcTimer("once", &Probe::Call, &once, 1, 0);
  ASSERT_TRUE(
      WaitUntil([&] { return log.Contains(n + " - AvtoEndProcTimer  " + n + " once(1,0)"); }));
  EXPECT_EQ(once.calls, 1);
  EXPECT_GE(once.starts.at(0) - added, milliseconds(900));  // a full tick was counted off
}

TEST(ListTimers, StopAndRestartNeverWaitForATickThatWaitsForThem) {
  CapturedLog log;
  Probe entry;
  BaseListTimersSecond seconds;  // ticks at once: a tick races every restart
  BaseListTimers list;
  list.Start("L", 0, 1, false);
  list.AddProcTimer("e", &Probe::Call, &entry);
  ASSERT_TRUE(WaitUntil([&] { return entry.calls >= 1; }));
  list.Lock("test holds the list");
  ASSERT_TRUE(WaitUntil([&] { return list.IsExec(); }));  // a tick waits for the mutex
  const int calls = entry.calls;
  std::thread stopper([&] { list.Stop(); });
  EXPECT_TRUE(Ended(list));  // the tick gave way at once
  list.Unlock();
  stopper.join();
  EXPECT_EQ(entry.calls, calls);
  // Restarts and stops against registrations from another thread.
  std::atomic<bool> done{false};
  std::thread registrar([&] {
    for (int i = 0; !done; ++i) {
      list.AddProcTimer("e", &Probe::Call, &entry);
      seconds.AddProcTimer("e", &Probe::Call, &entry, i % 2, 1);
      list.DelProcTimer(&Probe::Call, &entry);
      seconds.DelProcTimer(&Probe::Call, &entry);
    }
  });
  for (int i = 0; i < 100; ++i) {
    list.Start("L", 0, 1, false);
    seconds.Start("S", false);
    std::this_thread::sleep_for(milliseconds(i % 3));
    if (i % 2 == 0) list.Stop();
    if (i % 3 == 0) seconds.Stop();
  }
  done = true;
  registrar.join();
  EXPECT_GT(entry.calls, calls);
}

}  // namespace
