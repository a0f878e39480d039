// A hostile IPP printer on loopback: answers Get-Printer-Attributes in one of the ways a
// broken or malicious printer does (trickling, endless, garbage, redirect loops, asking
// for a password), for checking that the question to a printer always ends.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace jc::sim {

/// How the printer answers every connection.
enum class Hostility {
  Answer,           ///< a valid answer (`answer`), at once
  Silent,           ///< reads the request, then says nothing
  TrickleHeaders,   ///< a status line, then header bytes one at a time, never ending
  TrickleBody,      ///< a valid head, then the answer one byte at a time, ever slower
  EndlessContinue,  ///< "100 Continue" after "100 Continue", as fast as it can
  EndlessChunked,   ///< 200, then chunks of data as fast as it can, never the last one
  Garbage,          ///< bytes that are not HTTP, as fast as it can
  RedirectLoop,     ///< a redirect to itself, every time
  AskPassword,      ///< 401 with WWW-Authenticate: Basic
};

/// The hostility's command-line name ("trickle-body", ...), and back.
std::string_view hostilityName(Hostility hostility);
std::optional<Hostility> hostilityNamed(std::string_view name);
/// Every hostility, in declaration order.
std::vector<Hostility> allHostilities();

/// A Get-Printer-Attributes answer (as bytes) advertising a job password of up to 8
/// octets with the encryptions `encryptions`, sent with the value tag `tag` (an
/// ipp_tag_t: keyword, nameWithoutLanguage, ...), and both accounting attributes.
std::string supportAnswer(const std::vector<std::string>& encryptions, int tag);

/// The server: one connection at a time, each behaving as `hostility`. Every wait and
/// every write is bounded: after `lifetime` it stops serving and closes what it holds.
class HostilePrinter {
 public:
  HostilePrinter(Hostility hostility, std::string answer,
                 std::chrono::milliseconds lifetime = std::chrono::seconds(20));
  ~HostilePrinter();
  HostilePrinter(const HostilePrinter&) = delete;
  HostilePrinter& operator=(const HostilePrinter&) = delete;

  /// Listens on 127.0.0.1 at `port` (0: any free port). False, with `error`, on failure.
  bool start(std::uint16_t port = 0, std::string* error = nullptr);
  /// Stops serving and joins the server thread.
  void stop();

  std::uint16_t port() const { return port_; }
  /// Connections accepted so far.
  int connections() const { return connections_; }
  /// Whether any request carried an Authorization header field.
  bool sawCredentials() const { return sawCredentials_; }

 private:
  void serveLoop();
  void serve(int fd);
  bool live() const;
  bool send(int fd, std::string_view bytes);

  Hostility hostility_;
  std::string answer_;
  std::chrono::steady_clock::time_point endOfLife_;
  std::chrono::milliseconds lifetime_;
  int listenFd_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stopping_ = false;
  std::atomic<int> connections_ = 0;
  std::atomic<bool> sawCredentials_ = false;
  std::thread thread_;
};

}  // namespace jc::sim
