// The thread's event loop: one-shot timers, file-descriptor watches and posted tasks,
// run for a bounded time by whoever waits (the folder exchange waits on it).
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>

namespace jc {

/// A poll(2)-based event loop, one per thread. Everything it delivers runs on the thread
/// that calls `runUntil`; nothing here is safe to call from another thread.
class RunLoop {
 public:
  using Clock = std::chrono::steady_clock;
  using Id = std::uint64_t;

  /// The calling thread's loop, made on first use and kept until the thread ends.
  static RunLoop& current();

  RunLoop() = default;
  RunLoop(const RunLoop&) = delete;
  RunLoop& operator=(const RunLoop&) = delete;

  /// Schedules `fire` to run once, `delay` from now (a negative delay means now). Answers
  /// an id for `cancelTimer`; ids are never 0 and never reused.
  Id addTimer(Clock::duration delay, std::function<void()> fire);
  /// Forgets a pending timer; an unknown or already fired id is ignored.
  void cancelTimer(Id id);
  /// Whether a timer is still pending.
  bool hasTimer(Id id) const { return timers_.count(id) != 0; }

  /// Watches `fd` for the poll events in `events` (POLLIN, POLLOUT); `ready` gets the
  /// events that occurred, including POLLERR/POLLHUP. Answers an id for the calls below.
  Id watchFd(int fd, short events, std::function<void(short revents)> ready);
  /// Changes the events a watch waits for; an unknown id is ignored.
  void updateWatch(Id id, short events);
  /// Ends a watch; safe inside any callback, including the watch's own.
  void removeWatch(Id id);

  /// Runs `task` once during a later `runUntil` (in posting order).
  void post(std::function<void()> task);

  /// Waits for events and handles them until at least one timer, watch or task has run,
  /// or until `deadline`. Answers true when something ran. Returns at once with false
  /// when the deadline has passed and nothing is ready.
  bool runUntil(Clock::time_point deadline);
  /// `runUntil(now + duration)`.
  bool runFor(Clock::duration duration) { return runUntil(Clock::now() + duration); }

 private:
  struct Timer {
    Clock::time_point due;
    std::function<void()> fire;
  };
  struct Watch {
    int fd;
    short events;
    std::function<void(short)> ready;
  };
  bool runReady(Clock::time_point now);

  Id nextId_ = 1;
  std::map<Id, Timer> timers_;
  std::map<Id, Watch> watches_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace jc
