// The poll(2)-based run loop.
#include "platform/io/runloop.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace jc {

RunLoop& RunLoop::current() {
  thread_local PollRunLoop loop;
  return loop;
}

RunLoop::Id PollRunLoop::addTimer(Clock::duration delay, std::function<void()> fire) {
  Id id = nextId_++;
  timers_.emplace(id,
                  Timer{Clock::now() + std::max(delay, Clock::duration::zero()), std::move(fire)});
  return id;
}

void PollRunLoop::cancelTimer(Id id) {
  timers_.erase(id);
}

RunLoop::Id PollRunLoop::watchFd(int fd, short events, std::function<void(short)> ready) {
  Id id = nextId_++;
  watches_.emplace(id, Watch{fd, events, std::move(ready)});
  return id;
}

void PollRunLoop::updateWatch(Id id, short events) {
  if (auto it = watches_.find(id); it != watches_.end()) it->second.events = events;
}

void PollRunLoop::removeWatch(Id id) {
  watches_.erase(id);
}

void PollRunLoop::post(std::function<void()> task) {
  tasks_.push_back(std::move(task));
}

// Runs the tasks posted so far and the timers due by `now`. A callback may add, cancel or
// remove anything, so each one is looked up again just before it runs.
bool PollRunLoop::runReady(Clock::time_point now) {
  bool ran = false;
  for (std::size_t n = tasks_.size(); n > 0 && !tasks_.empty(); --n) {
    auto task = std::move(tasks_.front());
    tasks_.pop_front();
    task();
    ran = true;
  }
  std::vector<std::pair<Clock::time_point, Id>> due;
  for (const auto& [id, timer] : timers_)
    if (timer.due <= now) due.emplace_back(timer.due, id);
  std::sort(due.begin(), due.end());
  for (const auto& [when, id] : due) {
    auto it = timers_.find(id);
    if (it == timers_.end()) continue;
    auto fire = std::move(it->second.fire);
    timers_.erase(it);
    fire();
    ran = true;
  }
  return ran;
}

bool PollRunLoop::runUntil(const std::function<bool()>& done, Clock::time_point deadline) {
  for (;;) {
    if (done()) return true;
    if (Clock::now() >= deadline) return false;
    runOnce(deadline);
  }
}

bool PollRunLoop::runOnce(Clock::time_point deadline) {
  for (;;) {
    Clock::time_point now = Clock::now();
    if (runReady(now)) return true;
    if (now >= deadline) return false;

    Clock::time_point wake = deadline;
    for (const auto& [id, timer] : timers_) wake = std::min(wake, timer.due);
    // Round up, so a wait shorter than a millisecond does not spin at zero.
    auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - now).count();
    int timeout = static_cast<int>(std::clamp<long long>(wait, 0, 60'000));

    std::vector<pollfd> fds;
    std::vector<Id> ids;
    for (const auto& [id, watch] : watches_) {
      fds.push_back(pollfd{watch.fd, watch.events, 0});
      ids.push_back(id);
    }
    int n = ::poll(fds.data(), fds.size(), timeout);
    if (n < 0 && errno != EINTR) return false;
    bool ran = false;
    for (std::size_t i = 0; n > 0 && i < fds.size(); ++i) {
      if (fds[i].revents == 0) continue;
      auto it = watches_.find(ids[i]);
      if (it == watches_.end() || it->second.fd != fds[i].fd) continue;
      auto ready = it->second.ready;  // a copy: the callback may remove its own watch
      ready(fds[i].revents);
      ran = true;
    }
    if (ran) return true;
  }
}

}  // namespace jc
