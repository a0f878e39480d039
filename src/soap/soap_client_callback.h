// The one thing a SOAP client tells its context: the exchange did not complete.
#pragma once

/// The context of a SOAP client (the panel). Called on the waiting thread when an
/// exchange failed or timed out; a completed exchange calls nothing.
class SOAPClientCallback {
 public:
  virtual void recieveEndCallback() = 0;

 protected:
  ~SOAPClientCallback() = default;
};
