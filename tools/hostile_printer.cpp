// The hostile IPP printer: a poll-driven loopback server whose every wait is a short slice
// checked against its stop flag and its lifetime, so no row of a test can hang.
#include "hostile_printer.h"

#include <arpa/inet.h>
#include <cups/cups.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace jc::sim {

namespace {

using namespace std::chrono_literals;

constexpr std::string_view kNames[] = {"answer",       "silent",           "trickle-headers",
                                       "trickle-body", "endless-continue", "endless-chunked",
                                       "garbage",      "redirect-loop",    "ask-password"};

bool waitFor(int fd, short events, std::chrono::milliseconds slice) {
  pollfd p{fd, events, 0};
  return ::poll(&p, 1, static_cast<int>(slice.count())) > 0;
}

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The Content-Length a request head declares; 0 when none.
std::size_t declaredLength(const std::string& head) {
  std::string fields = lower(head);
  std::size_t at = fields.find("\r\ncontent-length:");
  return at == std::string::npos ? 0 : std::strtoul(fields.c_str() + at + 17, nullptr, 10);
}

}  // namespace

std::string_view hostilityName(Hostility hostility) {
  return kNames[static_cast<int>(hostility)];
}

std::optional<Hostility> hostilityNamed(std::string_view name) {
  for (std::size_t i = 0; i < std::size(kNames); ++i)
    if (kNames[i] == name) return static_cast<Hostility>(i);
  return std::nullopt;
}

std::vector<Hostility> allHostilities() {
  std::vector<Hostility> all;
  for (std::size_t i = 0; i < std::size(kNames); ++i) all.push_back(static_cast<Hostility>(i));
  return all;
}

std::string supportAnswer(const std::vector<std::string>& encryptions, int tag) {
  ipp_t* response = ippNew();
  ippSetVersion(response, 2, 0);
  ippSetStatusCode(response, IPP_STATUS_OK);
  ippSetRequestId(response, 1);
  ippAddString(response, IPP_TAG_OPERATION, IPP_TAG_CHARSET, "attributes-charset", nullptr,
               "utf-8");
  ippAddString(response, IPP_TAG_OPERATION, IPP_TAG_LANGUAGE, "attributes-natural-language",
               nullptr, "en");
  ippAddInteger(response, IPP_TAG_PRINTER, IPP_TAG_INTEGER, "job-password-supported", 8);
  std::vector<const char*> values;
  for (const std::string& e : encryptions) values.push_back(e.c_str());
  if (!values.empty())
    ippAddStrings(response, IPP_TAG_PRINTER, static_cast<ipp_tag_t>(tag),
                  "job-password-encryption-supported", static_cast<int>(values.size()), nullptr,
                  values.data());
  ippAddBoolean(response, IPP_TAG_PRINTER, "job-account-id-supported", 1);
  ippAddBoolean(response, IPP_TAG_PRINTER, "job-accounting-user-id-supported", 1);
  std::string bytes;
  auto append = [](void* to, ipp_uchar_t* data, std::size_t n) -> ssize_t {
    static_cast<std::string*>(to)->append(reinterpret_cast<const char*>(data), n);
    return static_cast<ssize_t>(n);
  };
  while (ippWriteIO(&bytes, append, 1, nullptr, response) == IPP_STATE_HEADER) {
  }
  ippDelete(response);
  return bytes;
}

HostilePrinter::HostilePrinter(Hostility hostility, std::string answer,
                               std::chrono::milliseconds lifetime)
    : hostility_(hostility), answer_(std::move(answer)), lifetime_(lifetime) {}

HostilePrinter::~HostilePrinter() {
  stop();
}

bool HostilePrinter::start(std::uint16_t port, std::string* error) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int on = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listenFd_, 16) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  port_ = ntohs(address.sin_port);
  endOfLife_ = std::chrono::steady_clock::now() + lifetime_;
  thread_ = std::thread([this] { serveLoop(); });
  return true;
}

void HostilePrinter::stop() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
  if (listenFd_ >= 0) ::close(listenFd_);
  listenFd_ = -1;
}

bool HostilePrinter::live() const {
  return !stopping_ && std::chrono::steady_clock::now() < endOfLife_;
}

bool HostilePrinter::send(int fd, std::string_view bytes) {
  while (!bytes.empty() && live()) {
    if (!waitFor(fd, POLLOUT, 50ms)) continue;
    ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return bytes.empty();
}

void HostilePrinter::serveLoop() {
  while (live()) {
    if (!waitFor(listenFd_, POLLIN, 50ms)) continue;
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ++connections_;
    serve(fd);
    ::close(fd);
  }
  // Past its lifetime the printer is gone: a client trying again is refused.
  ::close(listenFd_);
  listenFd_ = -1;
}

void HostilePrinter::serve(int fd) {
  // The request: its head, then as much body as it declares.
  std::string request;
  std::size_t headEnd = std::string::npos, wanted = SIZE_MAX;
  char buffer[4096];
  while (live() && request.size() < wanted) {
    if (!waitFor(fd, POLLIN, 50ms)) continue;
    ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return;
    request.append(buffer, static_cast<std::size_t>(n));
    if (headEnd == std::string::npos && (headEnd = request.find("\r\n\r\n")) != std::string::npos)
      wanted = headEnd + 4 + declaredLength(request.substr(0, headEnd));
  }
  if (lower(request.substr(0, headEnd)).find("\r\nauthorization:") != std::string::npos)
    sawCredentials_ = true;

  const std::string ok =
      "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nConnection: close\r\n";
  switch (hostility_) {
    case Hostility::Answer:
      send(fd, ok + "Content-Length: " + std::to_string(answer_.size()) + "\r\n\r\n" + answer_);
      break;
    case Hostility::Silent:
      while (live()) std::this_thread::sleep_for(50ms);
      break;
    case Hostility::TrickleHeaders:
      if (send(fd, "HTTP/1.1 200 OK\r\nX-Slow: "))
        while (live() && send(fd, "a")) std::this_thread::sleep_for(100ms);
      break;
    case Hostility::TrickleBody:
      if (send(fd, ok + "Content-Length: " + std::to_string(answer_.size()) + "\r\n\r\n"))
        for (char c : answer_) {
          if (!send(fd, std::string_view(&c, 1))) break;
          std::this_thread::sleep_for(100ms);
        }
      break;
    case Hostility::EndlessContinue:
      while (send(fd, "HTTP/1.1 100 Continue\r\n\r\n")) {
      }
      break;
    case Hostility::EndlessChunked: {
      std::string chunk = "1000\r\n" + std::string(4096, 'x') + "\r\n";
      if (send(fd, ok + "Transfer-Encoding: chunked\r\n\r\n"))
        while (send(fd, chunk)) {
        }
      break;
    }
    case Hostility::Garbage: {
      std::string junk(4096, '\0');
      for (std::size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>(i * 37 % 251);
      while (send(fd, junk)) {
      }
      break;
    }
    case Hostility::RedirectLoop:
      send(fd, "HTTP/1.1 307 Temporary Redirect\r\nLocation: http://127.0.0.1:" +
                   std::to_string(port_) + "/ipp/print\r\nContent-Length: 0\r\n\r\n");
      break;
    case Hostility::AskPassword:
      send(fd,
           "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"printer\"\r\n"
           "Content-Length: 0\r\n\r\n");
      break;
  }
}

}  // namespace jc::sim
