// A printer's folder-list service on loopback: a real HTTP server that checks the SOAP
// request it receives and answers with a folder list, or with one of several faults.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace jc::sim {

/// The service path the panel posts to.
inline constexpr const char* kServicePath = "/vorelia-mfp-srv";

/// One folder of the simulated printer.
struct Folder {
  std::string name;
  bool password = false;
  bool dir = false;
};

/// How the simulator answers a request that passed its checks.
enum class Fault {
  None,                  ///< 200 with the folder list
  Delay,                 ///< the folder list after `delay`
  NeverAnswer,           ///< reads the request, then stays silent until the client leaves
  Reset,                 ///< reads the request, then resets the connection
  Redirect,              ///< `redirectHops` redirects, then the folder list
  ErrorStatus,           ///< `status` with a SOAP fault as its body
  MalformedXml,          ///< 200 with a document cut off halfway
  UnsupportedOperation,  ///< 200, result code "unsupported-operation", folders after it
  HugeBody,              ///< 200 with a folder list of at least `hugeBytes`, no declared length
  SlowDrip,              ///< the folder list, `dripBytes` bytes every `delay`
};

/// The fault's command-line name ("none", "never-answer", ...).
std::string_view faultName(Fault fault);
/// The fault with that command-line name, or nullopt.
std::optional<Fault> faultNamed(std::string_view name);

/// What the simulator serves; may be changed while it runs.
struct Config {
  std::vector<Folder> folders;
  Fault fault = Fault::None;
  std::chrono::milliseconds delay{1000};
  int status = 500;
  int redirectStatus = 307;
  int redirectHops = 1;
  /// Where redirects point; empty: the service path again, counting hops in the query.
  std::string redirectLocation;
  std::size_t hugeBytes = 64u << 20;
  std::size_t dripBytes = 16;
  /// When not empty, the request body must equal it byte for byte.
  std::string expectedBody;
};

/// A request as received: header fields in arrival order, and what was wrong with it.
struct Request {
  std::string method;
  std::string target;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  std::vector<std::string> problems;  ///< empty when the request was as expected
};

/// The answer document for `folders` with `resultCode` (names are escaped).
std::string folderListDocument(const std::vector<Folder>& folders,
                               std::string_view resultCode = "ok");

/// The checks applied to every request: method, the three header fields with their exact
/// values and order, no "Expect", a matching "Content-Length", and the body (equal to
/// `expectedBody` when given, else a SOAP envelope asking for "list-files").
std::vector<std::string> checkRequest(const Request& request, const std::string& expectedBody);

/// The server. Serves each connection on its own thread; one request per connection.
class PrinterSimulator {
 public:
  explicit PrinterSimulator(Config config = {});
  /// Stops the server.
  ~PrinterSimulator();
  PrinterSimulator(const PrinterSimulator&) = delete;
  PrinterSimulator& operator=(const PrinterSimulator&) = delete;

  /// Listens on `host` (a numeric loopback address) and `port` (0: any free port).
  /// Answers false with a message in `error` when that fails.
  bool start(const std::string& host = "127.0.0.1", std::uint16_t port = 0,
             std::string* error = nullptr);
  /// Closes the listener, wakes every waiting connection and joins all threads.
  void stop();

  std::uint16_t port() const { return port_; }
  /// "host:port" ("[::1]:port" for IPv6), as typed into the panel's address field.
  std::string address() const;

  void setConfig(Config config);
  Config config() const;
  /// The requests received so far, in order.
  std::vector<Request> requests() const;
  /// Called (on a connection thread) for each request once it has been read and checked.
  void setLogger(std::function<void(const Request&)> logger);

 private:
  struct Connection {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  void acceptLoop();
  void serve(int fd);
  /// The request read from `fd`: its head, then the body the head declares; nullopt when
  /// the client or a stop ended it first, or (after a 400 answer) when it is too large.
  std::optional<Request> readRequest(int fd);
  /// Answers a well-formed request for the service as the configured fault says.
  void respond(int fd, const Request& request, const Config& config);
  bool waitForStop(std::chrono::milliseconds duration, int clientFd = -1);
  void reap(bool all);

  mutable std::mutex mutex_;
  Config config_;
  std::vector<Request> requests_;
  std::function<void(const Request&)> logger_;
  std::string host_;
  std::uint16_t port_ = 0;
  int listenFd_ = -1;
  int stopPipe_[2] = {-1, -1};
  std::thread acceptThread_;
  std::list<Connection> connections_;
};

}  // namespace jc::sim
