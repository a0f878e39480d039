// The printer simulator's server: sockets, request reading and checking, and answers.
#include "printer_simulator.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <pugixml.hpp>

#include <strings.h>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace jc::sim {
namespace {

constexpr std::pair<Fault, std::string_view> kFaultNames[] = {
    {Fault::None, "none"},
    {Fault::Delay, "delay"},
    {Fault::NeverAnswer, "never-answer"},
    {Fault::Reset, "reset"},
    {Fault::Redirect, "redirect"},
    {Fault::ErrorStatus, "error-status"},
    {Fault::MalformedXml, "malformed-xml"},
    {Fault::UnsupportedOperation, "unsupported-operation"},
    {Fault::HugeBody, "huge-body"},
    {Fault::SlowDrip, "slow-drip"},
};

constexpr std::size_t kMaxHeadBytes = 64 * 1024;
constexpr std::size_t kMaxBodyBytes = 4u << 20;
constexpr auto kReadTimeout = std::chrono::seconds(10);

constexpr std::string_view kEnvelopeOpen =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
    "xmlns:mfp=\"urn:vorelia:mfp:filing\"><SOAP-ENV:Body><mfp:list-files-response>";
constexpr std::string_view kEnvelopeClose =
    "</mfp:list-files-response></SOAP-ENV:Body></SOAP-ENV:Envelope>\n";

std::string escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string entryElement(const Folder& folder) {
  return "<file><name>" + escaped(folder.name) + "</name><password>" +
         (folder.password ? "true" : "false") + "</password><dir>" +
         (folder.dir ? "true" : "false") + "</dir></file>";
}

bool iequals(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string_view localName(const char* name) {
  std::string_view n = name;
  std::size_t colon = n.find(':');
  return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

bool sendAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

const char* reasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 303:
      return "See Other";
    case 307:
      return "Temporary Redirect";
    case 308:
      return "Permanent Redirect";
    case 400:
      return "Bad Request";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    case 503:
      return "Service Unavailable";
    default:
      return "Status";
  }
}

// A complete answer with a declared length; every answer closes the connection.
std::string answer(int status, std::string_view body, std::string_view extraHeaders = {}) {
  std::string head = "HTTP/1.1 " + std::to_string(status) + " " + reasonPhrase(status) +
                     "\r\nContent-Type: text/xml; charset=utf-8\r\nContent-Length: " +
                     std::to_string(body.size()) + "\r\nConnection: close\r\n" +
                     std::string(extraHeaders) + "\r\n";
  return head + std::string(body);
}

// The head of an answer whose body ends when the connection closes.
constexpr std::string_view kOpenEndedHead =
    "HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=utf-8\r\nConnection: close\r\n\r\n";

constexpr std::string_view kFaultDocument =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\">"
    "<SOAP-ENV:Body><SOAP-ENV:Fault><faultcode>SOAP-ENV:Server</faultcode>"
    "<faultstring>simulated failure</faultstring></SOAP-ENV:Fault></SOAP-ENV:Body>"
    "</SOAP-ENV:Envelope>\n";

}  // namespace

std::string_view faultName(Fault fault) {
  for (const auto& [f, name] : kFaultNames)
    if (f == fault) return name;
  return "none";
}

std::optional<Fault> faultNamed(std::string_view name) {
  for (const auto& [f, n] : kFaultNames)
    if (n == name) return f;
  return std::nullopt;
}

std::string folderListDocument(const std::vector<Folder>& folders, std::string_view resultCode) {
  std::string doc(kEnvelopeOpen);
  doc += "<result-code>" + escaped(resultCode) + "</result-code><files>";
  for (const Folder& folder : folders) doc += entryElement(folder);
  doc += "</files>";
  doc += kEnvelopeClose;
  return doc;
}

std::vector<std::string> checkRequest(const Request& request, const std::string& expectedBody) {
  std::vector<std::string> problems;
  if (request.method != "POST")
    problems.push_back("method is \"" + request.method + "\", not POST");

  struct Expected {
    std::string_view name, value;
  };
  const Expected expected[] = {{"SOAPAction", "\"SoapActionDummy\""},
                               {"Content-Type", "application/soap; charset=\"utf-8\""},
                               {"Content-Length", {}}};
  std::string length = std::to_string(request.body.size());
  std::size_t previous = 0;
  bool inOrder = true;
  for (const Expected& field : expected) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < request.headers.size(); ++i)
      if (iequals(request.headers[i].first, field.name)) at.push_back(i);
    if (at.size() != 1) {
      problems.push_back(std::string(field.name) + " appears " + std::to_string(at.size()) +
                         " times");
      continue;
    }
    std::string_view want = field.value.empty() ? std::string_view(length) : field.value;
    const std::string& got = request.headers[at[0]].second;
    if (got != want)
      problems.push_back(std::string(field.name) + " is \"" + got + "\", not \"" +
                         std::string(want) + "\"");
    if (at[0] + 1 < previous + 1) inOrder = false;
    previous = at[0] + 1;
  }
  if (!inOrder) problems.push_back("SOAPAction, Content-Type and Content-Length are out of order");
  for (const auto& [name, value] : request.headers)
    if (iequals(name, "Expect")) problems.push_back("unexpected Expect: " + value);

  if (!expectedBody.empty()) {
    if (request.body != expectedBody)
      problems.push_back("the body differs from the expected request");
  } else {
    pugi::xml_document doc;
    bool asks = false;
    if (doc.load_buffer(request.body.data(), request.body.size()) &&
        localName(doc.document_element().name()) == "Envelope") {
      asks = doc.document_element().find_node([](pugi::xml_node node) {
        return node.type() == pugi::node_element && localName(node.name()) == "list-files";
      });
    }
    if (!asks) problems.push_back("the body is not a SOAP envelope asking for list-files");
  }
  return problems;
}

PrinterSimulator::PrinterSimulator(Config config) : config_(std::move(config)) {}

PrinterSimulator::~PrinterSimulator() {
  stop();
}

bool PrinterSimulator::start(const std::string& host, std::uint16_t port, std::string* error) {
  auto fail = [&](std::string message) {
    if (error) *error = std::move(message);
    if (listenFd_ >= 0) ::close(listenFd_);
    listenFd_ = -1;
    return false;
  };
  addrinfo hints{};
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV | AI_PASSIVE;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  std::string service = std::to_string(port);
  if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || !found)
    return fail("not a numeric address: " + host);
  std::unique_ptr<addrinfo, void (*)(addrinfo*)> info(found, ::freeaddrinfo);
  bool loopback = false;
  if (found->ai_family == AF_INET) {
    auto* in = reinterpret_cast<sockaddr_in*>(found->ai_addr);
    loopback = (ntohl(in->sin_addr.s_addr) >> 24) == 127;
  } else if (found->ai_family == AF_INET6) {
    auto* in6 = reinterpret_cast<sockaddr_in6*>(found->ai_addr);
    loopback = IN6_IS_ADDR_LOOPBACK(&in6->sin6_addr);
  }
  if (!loopback) return fail("the simulator listens on loopback addresses only, not " + host);

  listenFd_ = ::socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) return fail(std::string("socket: ") + std::strerror(errno));
  int one = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (::bind(listenFd_, found->ai_addr, found->ai_addrlen) != 0)
    return fail("bind " + host + ":" + service + ": " + std::strerror(errno));
  if (::listen(listenFd_, 64) != 0) return fail(std::string("listen: ") + std::strerror(errno));
  sockaddr_storage bound{};
  socklen_t length = sizeof bound;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &length);
  port_ = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                            : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
  host_ = found->ai_family == AF_INET6 ? "[" + host + "]" : host;
  if (::pipe2(stopPipe_, O_CLOEXEC | O_NONBLOCK) != 0) return fail("pipe failed");
  acceptThread_ = std::thread([this] { acceptLoop(); });
  return true;
}

void PrinterSimulator::stop() {
  if (!acceptThread_.joinable()) return;
  // One byte that nobody reads: every poll on the pipe sees it from now on.
  char byte = 1;
  (void)!::write(stopPipe_[1], &byte, 1);
  acceptThread_.join();
  reap(true);
  ::close(listenFd_);
  ::close(stopPipe_[0]);
  ::close(stopPipe_[1]);
  listenFd_ = stopPipe_[0] = stopPipe_[1] = -1;
}

std::string PrinterSimulator::address() const {
  return host_ + ":" + std::to_string(port_);
}

void PrinterSimulator::setConfig(Config config) {
  std::lock_guard lock(mutex_);
  config_ = std::move(config);
}

Config PrinterSimulator::config() const {
  std::lock_guard lock(mutex_);
  return config_;
}

std::vector<Request> PrinterSimulator::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void PrinterSimulator::setLogger(std::function<void(const Request&)> logger) {
  std::lock_guard lock(mutex_);
  logger_ = std::move(logger);
}

void PrinterSimulator::reap(bool all) {
  for (auto it = connections_.begin(); it != connections_.end();) {
    if (all || it->done->load()) {
      it->thread.join();
      it = connections_.erase(it);
    } else {
      ++it;
    }
  }
}

void PrinterSimulator::acceptLoop() {
  for (;;) {
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0 && errno != EINTR) return;
    if (fds[1].revents) return;
    if (!(fds[0].revents & POLLIN)) continue;
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    reap(false);
    auto done = std::make_shared<std::atomic<bool>>(false);
    connections_.push_back({std::thread([this, fd, done] {
                              serve(fd);
                              done->store(true);
                            }),
                            done});
  }
}

// Waits `duration`, or until the client hangs up when `clientFd` is given; false when the
// server is stopping or the client has gone.
bool PrinterSimulator::waitForStop(std::chrono::milliseconds duration, int clientFd) {
  auto deadline = std::chrono::steady_clock::now() + duration;
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return true;
    pollfd fds[2] = {{stopPipe_[0], POLLIN, 0}, {clientFd, POLLIN, 0}};
    int n = ::poll(fds, clientFd >= 0 ? 2 : 1,
                   static_cast<int>(std::min<long long>(left.count(), 60'000)));
    if (n < 0 && errno != EINTR) return false;
    if (fds[0].revents) return false;
    if (clientFd >= 0 && fds[1].revents) {
      char probe;
      if (::recv(clientFd, &probe, 1, MSG_PEEK | MSG_DONTWAIT) <= 0) return false;
      // Unexpected bytes from the client: nothing to do with them but wait on.
      return waitForStop(std::chrono::duration_cast<std::chrono::milliseconds>(
                             deadline - std::chrono::steady_clock::now()),
                         -1);
    }
  }
}

namespace {

// The request line and header fields of `head`; `hasLength` when a valid Content-Length
// declares the body's length, which goes to `contentLength`. False for a request line without a
// method and a target.
bool parseHead(std::string_view head, Request& request, std::size_t& contentLength,
               bool& hasLength) {
  std::size_t lineEnd = head.find("\r\n");
  std::string_view requestLine = head.substr(0, lineEnd);
  std::size_t sp1 = requestLine.find(' ');
  std::size_t sp2 = requestLine.rfind(' ');
  if (sp1 == std::string_view::npos || sp2 == sp1) return false;
  request.method = std::string(requestLine.substr(0, sp1));
  request.target = std::string(requestLine.substr(sp1 + 1, sp2 - sp1 - 1));
  for (std::size_t pos = lineEnd; pos != std::string_view::npos && pos < head.size();) {
    std::size_t start = pos + 2;
    std::size_t end = head.find("\r\n", start);
    std::string_view line =
        head.substr(start, end == std::string_view::npos ? head.size() - start : end - start);
    pos = end;
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
      value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
    request.headers.emplace_back(std::string(line.substr(0, colon)), std::string(value));
    if (iequals(line.substr(0, colon), "Content-Length")) {
      auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), contentLength);
      hasLength = ec == std::errc() && p == value.data() + value.size();
    }
  }
  return true;
}

// A redirect to the next hop ("?hop=N+1", or the configured location), or the list once
// `redirectHops` hops have been made.
void sendRedirect(int fd, const Request& request, const Config& config) {
  int hop = 0;
  if (std::size_t q = request.target.find("?hop="); q != std::string::npos)
    std::from_chars(request.target.data() + q + 5, request.target.data() + request.target.size(),
                    hop);
  if (hop >= config.redirectHops) {
    sendAll(fd, answer(200, folderListDocument(config.folders)));
    return;
  }
  std::string location = config.redirectLocation.empty()
                             ? std::string(kServicePath) + "?hop=" + std::to_string(hop + 1)
                             : config.redirectLocation;
  // The redirect carries a body of its own, which must never reach the response file.
  sendAll(fd, answer(config.redirectStatus, "<html><body>moved</body></html>\n",
                     "Location: " + location + "\r\n"));
}

// A folder list of about `hugeBytes`, made and sent piece by piece, without an end the
// head declares.
void sendHugeList(int fd, const Config& config) {
  if (!sendAll(fd, kOpenEndedHead)) return;
  std::string block(kEnvelopeOpen);
  block += "<result-code>ok</result-code><files>";
  std::size_t sent = 0;
  for (std::size_t i = 0; sent < config.hugeBytes; ++i) {
    block += entryElement({"folder-" + std::to_string(i), i % 3 == 0, false});
    if (block.size() >= 65536) {
      if (!sendAll(fd, block)) return;  // the client gave up
      sent += block.size();
      block.clear();
    }
  }
  block += "</files>";
  block += kEnvelopeClose;
  sendAll(fd, block);
}

}  // namespace

std::optional<Request> PrinterSimulator::readRequest(int fd) {
  // Read the head, then the body the head declares.
  std::string data;
  std::size_t headEnd = std::string::npos;
  auto readMore = [&]() {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    int n = ::poll(fds, 2, static_cast<int>(std::chrono::milliseconds(kReadTimeout).count()));
    if (n <= 0 || fds[1].revents) return false;
    char buffer[16384];
    ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) return false;
    data.append(buffer, static_cast<std::size_t>(got));
    return true;
  };
  while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
    if (data.size() > kMaxHeadBytes || !readMore()) return std::nullopt;
  }
  Request request;
  std::size_t contentLength = 0;
  bool hasLength = false;
  if (!parseHead(std::string_view(data.data(), headEnd), request, contentLength, hasLength))
    return std::nullopt;
  if (hasLength && contentLength > kMaxBodyBytes) {
    sendAll(fd, answer(400, "request body too large\n"));
    return std::nullopt;
  }
  std::size_t bodyStart = headEnd + 4;
  while (hasLength && data.size() - bodyStart < contentLength)
    if (!readMore()) return std::nullopt;
  request.body = data.substr(bodyStart, hasLength ? contentLength : 0);
  return request;
}

void PrinterSimulator::serve(int fd) {
  struct Closer {
    int fd;
    ~Closer() {
      if (fd >= 0) ::close(fd);
    }
  } closer{fd};

  std::optional<Request> read = readRequest(fd);
  if (!read) return;
  Request& request = *read;
  Config config = this->config();
  request.problems = checkRequest(request, config.expectedBody);
  std::string path = request.target.substr(0, request.target.find('?'));
  if (path != kServicePath) request.problems.push_back("unknown path " + request.target);
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
    if (logger_) logger_(request);
  }
  if (path != kServicePath) {
    sendAll(fd, answer(404, "no such service\n"));
    return;
  }
  if (!request.problems.empty()) {
    sendAll(fd, answer(400, kFaultDocument));
    return;
  }
  respond(fd, request, config);
}

void PrinterSimulator::respond(int fd, const Request& request, const Config& config) {
  switch (config.fault) {
    case Fault::None:
      sendAll(fd, answer(200, folderListDocument(config.folders)));
      return;
    case Fault::Delay:
      if (waitForStop(config.delay)) sendAll(fd, answer(200, folderListDocument(config.folders)));
      return;
    case Fault::NeverAnswer:
      waitForStop(std::chrono::hours(24), fd);
      return;
    case Fault::Reset: {
      // A zero linger time makes close() send a reset instead of an orderly end.
      linger hard{1, 0};
      ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
      return;
    }
    case Fault::Redirect:
      sendRedirect(fd, request, config);
      return;
    case Fault::ErrorStatus:
      sendAll(fd, answer(config.status, kFaultDocument));
      return;
    case Fault::MalformedXml: {
      std::string doc = folderListDocument(config.folders);
      sendAll(fd, answer(200, doc.substr(0, doc.size() / 2)));
      return;
    }
    case Fault::UnsupportedOperation:
      sendAll(fd, answer(200, folderListDocument(config.folders, "unsupported-operation")));
      return;
    case Fault::HugeBody:
      sendHugeList(fd, config);
      return;
    case Fault::SlowDrip: {
      if (!sendAll(fd, kOpenEndedHead)) return;
      std::string doc = folderListDocument(config.folders);
      std::size_t piece = std::max<std::size_t>(config.dripBytes, 1);
      for (std::size_t at = 0; at < doc.size(); at += piece) {
        if (!sendAll(fd, std::string_view(doc).substr(at, piece))) return;
        if (at + piece < doc.size() && !waitForStop(config.delay, fd)) return;
      }
      return;
    }
  }
}

}  // namespace jc::sim
