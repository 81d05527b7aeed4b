#include "BaseListTimers.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ThreadTesting.h"

namespace {

using ProcTimer = BaseListTimersMinute::ProcTimer;
using std::chrono::milliseconds;

// The start of the current minute, local time.
std::time_t FullMinute() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return now - local.tm_sec;
}
int g_Second = 0;
std::time_t ClockAtSecond() { return FullMinute() + g_Second; }

// The log lines of registering and removing entries.
std::vector<std::string> RegistrationLines(const CapturedLog& log) {
  std::vector<std::string> lines;
  for (const std::string& line : log.Lines()) {
    if (line.find("ProcTimer ") != std::string::npos) lines.push_back(line);
  }
  return lines;
}

TEST(ProcTimer, CountsDownToEachCall) {
  for (int first = -1; first <= 3; ++first) {
    for (int interval = -1; interval <= 3; ++interval) {
      for (int falseOn : {0, 1}) {  // a procedure returning false is done as well
        std::vector<int> expected;
        for (int tick = std::max(first, 0) + 1; tick <= 15; tick += std::max(interval, 1)) {
          expected.push_back(tick);
          if (interval < 1 || falseOn != 0) break;
        }
        Probe probe;
        probe.falseOn = falseOn;
        ProcTimer timer("t", &Probe::Call, &probe, first, interval);
        EXPECT_EQ(timer.Name(), "t(" + std::to_string(first) + "," + std::to_string(interval) + ")");
        std::vector<int> called;
        int done = 0;
        for (int tick = 1; tick <= 15 && done == 0; ++tick) {
          if (!timer.Exec()) done = tick;
          if (probe.calls > static_cast<int>(called.size())) called.push_back(tick);
        }
        EXPECT_EQ(called, expected) << timer.Name() << " false on " << falseOn;
        EXPECT_EQ(done, interval < 1 || falseOn != 0 ? expected.front() : 0) << timer.Name();
      }
    }
  }
}

TEST(BaseListTimers, RegistersAProcedureAndArgumentOnce) {
  CapturedLog log;
  Probe a, b;
  BaseListTimers list;
  list.Start("L", 60000, 60000, true);
  const std::string n = list.Name();
  EXPECT_TRUE(list.AddProcTimer("a", &Probe::Call, &a));
  EXPECT_FALSE(list.AddProcTimer("a2", &Probe::Call, &a));
  EXPECT_TRUE(list.AddProcTimer("b", &Probe::Call, &b));
  EXPECT_TRUE(list.DelProcTimer(&Probe::Call, &a));
  EXPECT_FALSE(list.DelProcTimer(&Probe::Call, &a));
  EXPECT_EQ(RegistrationLines(log), (std::vector<std::string>{
                                        n + " - AddProcTimer to   " + n + " a added",
                                        n + " - AddProcTimer to   " + n + " a2 already exists",
                                        n + " - AddProcTimer to   " + n + " b added",
                                        n + " - DelProcTimer from " + n + " a deleted",
                                        n + " - DelProcTimer from " + n + " does not exist"}));
}

TEST(BaseListTimers, TickCallsEveryEntryAndDropsThoseReturningFalse) {
  CapturedLog log;
  Probe keeps, quits;
  BaseListTimers list;
  quits.falseOn = 2;
  list.Start("L", 0, 10, true);
  list.AddProcTimer("keeps", &Probe::Call, &keeps);
  list.AddProcTimer("quits", &Probe::Call, &quits);
  ASSERT_TRUE(WaitUntil([&] { return keeps.calls >= 5; }));
  EXPECT_EQ(quits.calls, 2);
  const std::string n = list.Name();
  EXPECT_TRUE(log.Contains(n + " - AvtoEndProcTimer  " + n + " quits"));
  list.Start("L", 0, 10, false);  // a restart drops every entry
  const int calls = keeps.calls;
  std::this_thread::sleep_for(milliseconds(30));
  EXPECT_EQ(keeps.calls, calls);
}

TEST(CountdownListTimers, RegistrationCallsAtOnceWhenNoTicksAreLeft) {
  struct Case { int first, interval, falseOn; const char* outcome; int calls; };
  const char* kept = " executed immediately and added";
  const char* dropped = " executed immediately and not added because no repeat needed";
  const Case cases[] = {{2, 0, 0, " added", 0},  {1, 3, 0, " added", 0}, {0, 0, 0, dropped, 1},
                        {0, 3, 0, kept, 1},      {0, 3, 1, dropped, 1},  {-1, 1, 0, kept, 1}};
  for (const Case& c : cases) {
    CapturedLog log;
    g_Second = 0;  // no tick within the test
    Probe probe;
    probe.falseOn = c.falseOn;
    BaseListTimersMinute list(&ClockAtSecond);
    list.Start("M", true);
    const std::string n = list.Name();
    list.AddProcTimer("t", &Probe::Call, &probe, c.first, c.interval);
    list.DelProcTimer(&Probe::Call, &probe);
    const std::string t = ProcTimer("t", nullptr, nullptr, c.first, c.interval).Name();
    std::vector<std::string> expected = {n + " - AddProcTimer to   " + n + " " + t + ":" + c.outcome};
    if (c.outcome != dropped) expected.push_back(n + " - DelProcTimer from " + n + " " + t);
    EXPECT_EQ(RegistrationLines(log), expected);
    EXPECT_EQ(probe.calls, c.calls) << t;
  }
}

TEST(BaseListTimersMinute, FirstTickComesAtTheNextFullMinute) {
  CapturedLog log;
  BaseListTimersMinute list(&ClockAtSecond);
  for (int second : {0, 1, 45, 59}) {
    g_Second = second;
    list.Start("m", false);
    const std::string head = "m(" + std::to_string((60 - second) * 1000) + ",60000) PID: ";
    EXPECT_EQ(list.Name().rfind(head, 0), 0u) << list.Name();
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
  const std::string end = n + " - AvtoEndProcTimer  " + n + " once(1,0)";
  ASSERT_TRUE(WaitUntil([&] { return log.Contains(end); }));
  EXPECT_EQ(once.calls, 1);
  EXPECT_GE(once.starts.at(0) - added, milliseconds(900));  // a full tick was counted off
}

TEST(ListTimers, StopDoesNotWaitForATickWaitingForTheList) {
  Probe entry;
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
}

TEST(ListTimers, RestartsStopsAndRegistrationsFromTwoThreadsNeverBlock) {
  CapturedLog log;
  Probe entry;
  BaseListTimersSecond seconds;  // ticks at once: a tick races every restart
  BaseListTimers list;
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
  EXPECT_GT(entry.calls, 0);
}

}  // namespace
