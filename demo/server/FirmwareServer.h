#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Data.h"

// A small HTTP/1.1 server on loopback that serves the firmware catalogue,
// with faults that can be switched on per path for tests.
class FirmwareServer {
 public:
  struct Behaviour {
    enum class Fault {
      none,
      notFound,
      cutAt,
      wrongLength,
      stall,
      redirect,
      status,        // under status `status`, the whole body or its first `cutAt` bytes
      encoded,       // the body in the content coding `coding` (gzip and deflate compressed, others as they are)
      doubleLength,  // a second Content-Length header of `cutAt`, then the whole body
      trickle,       // the body at `bytesPerSecond`
    };
    Fault fault = Fault::none;
    std::size_t cutAt = 0;  // cutAt: bytes of the body sent before the connection is closed
    std::string location;   // redirect: the Location header
    int status = 200;
    std::string coding;
    double bytesPerSecond = 2;

    static Behaviour of(Fault f) {
      Behaviour b;
      b.fault = f;
      return b;
    }
    static Behaviour cut(std::size_t bytes) {
      Behaviour b = of(Fault::cutAt);
      b.cutAt = bytes;
      return b;
    }
    static Behaviour redirectTo(std::string url) {
      Behaviour b = of(Fault::redirect);
      b.location = std::move(url);
      return b;
    }
    static Behaviour answerWith(int status, std::size_t bytes = 0) {
      Behaviour b = of(Fault::status);
      b.status = status;
      b.cutAt = bytes;
      return b;
    }
    static Behaviour encodedAs(std::string coding) {
      Behaviour b = of(Fault::encoded);
      b.coding = std::move(coding);
      return b;
    }
    static Behaviour secondLength(std::size_t length) {
      Behaviour b = of(Fault::doubleLength);
      b.cutAt = length;
      return b;
    }
    static Behaviour trickling(double bytesPerSecond) {
      Behaviour b = of(Fault::trickle);
      b.bytesPerSecond = bytesPerSecond;
      return b;
    }
  };

  FirmwareServer() = default;
  ~FirmwareServer();
  FirmwareServer(const FirmwareServer&) = delete;
  FirmwareServer& operator=(const FirmwareServer&) = delete;

  // Listens on 127.0.0.1 at `port` (0: any free port). False if it cannot.
  bool start(std::uint16_t port = 0);
  void stop();
  std::uint16_t port() const { return port_; }
  std::string base() const;  // "http://127.0.0.1:PORT"

  void put(const std::string& path, platform::Data body, std::string contentType = "application/octet-stream");
  void setBehaviour(const std::string& path, Behaviour behaviour);
  std::size_t requestCount(const std::string& path) const;

 private:
  struct Resource {
    std::shared_ptr<const platform::Data> body;  // shared, not copied, by each answer
    std::string contentType;
  };
  void acceptLoop();
  void serve(int fd);
  void answer(int fd, const std::string& path);
  void stallUntilStopped();
  // Sends the body a byte at a time; false once the server stops.
  bool trickle(int fd, const platform::Data& body, double bytesPerSecond);

  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::condition_variable stopped_;
  std::map<std::string, Resource> resources_;
  std::map<std::string, Behaviour> behaviours_;
  std::map<std::string, std::size_t> requests_;
  std::vector<std::thread> connections_;
};
