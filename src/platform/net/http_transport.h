// The boundary between the HTTP front in the platform library and the libcurl transport,
// a module loaded on the first exchange so that only a process that talks HTTP pays for
// libcurl and everything it pulls in (TLS, LDAP, SSH, ...).
#pragma once

#include "platform/net/http.h"

namespace jc {

/// One exchange as the transport runs it; the front's HttpConnection forwards to it.
struct HttpConnection::Impl {
  virtual ~Impl() = default;
  /// Stops the exchange; no event is delivered afterwards. Safe to call more than once.
  virtual void cancel() = 0;
  /// Whether the exchange has ended (finished, failed or cancelled).
  virtual bool done() const = 0;
};

/// The transport module's file, relative to the folder of the platform library.
inline constexpr const char* kHttpTransportModule = "jobcontrol/jobcontrol-http.so";
/// Its one exported entry point, of type HttpTransportStart.
inline constexpr const char* kHttpTransportEntry = "jc_http_transport_start";
/// Starts `request` as HttpConnection::start promises; nullptr when no connection can be
/// made. The caller owns the answer.
using HttpTransportStart = HttpConnection::Impl* (*)(RunLoop* loop, const HttpRequest* request,
                                                     HttpConnectionDelegate* delegate);

}  // namespace jc
