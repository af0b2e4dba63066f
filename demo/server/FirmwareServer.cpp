#include "FirmwareServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <sstream>

#include "ContentCoding.h"

namespace {

bool sendAll(int fd, const char* data, std::size_t n) {
  while (n > 0) {
    const ssize_t k = ::send(fd, data, n, MSG_NOSIGNAL);
    if (k <= 0) return false;
    data += k;
    n -= static_cast<std::size_t>(k);
  }
  return true;
}

bool sendText(int fd, const std::string& text) { return sendAll(fd, text.data(), text.size()); }

const char* reasonOf(int status) {
  switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 206: return "Partial Content";
    case 300: return "Multiple Choices";
    case 301: return "Moved Permanently";
    case 304: return "Not Modified";
    default: return "Whatever";
  }
}

std::string header(int status, const char* reason, std::size_t length, const std::string& type,
                   const std::string& extra = "") {
  std::ostringstream h;
  h << "HTTP/1.1 " << status << ' ' << reason << "\r\nContent-Length: " << length << "\r\nContent-Type: " << type
    << "\r\nConnection: close\r\n"
    << extra << "\r\n";
  return h.str();
}

// The request line's path, or "" when the request is not a GET.
std::string requestedPath(int fd) {
  std::string request;
  char buffer[1024];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 5000) <= 0) return "";
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return "";
    request.append(buffer, static_cast<std::size_t>(n));
  }
  std::istringstream line(request.substr(0, request.find("\r\n")));
  std::string method, path;
  line >> method >> path;
  return method == "GET" ? path : "";
}

}  // namespace

FirmwareServer::~FirmwareServer() { stop(); }

bool FirmwareServer::start(std::uint16_t port) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener_ < 0) return false;
  const int yes = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) < 0 || ::listen(listener_, 16) < 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len) < 0) {
    ::close(listener_);
    listener_ = -1;
    return false;
  }
  port_ = ntohs(addr.sin_port);
  acceptor_ = std::thread([this] { acceptLoop(); });
  return true;
}

void FirmwareServer::stop() {
  if (listener_ < 0) return;
  stopping_ = true;
  stopped_.notify_all();
  acceptor_.join();
  std::vector<std::thread> connections;
  {
    std::lock_guard lock(mutex_);
    connections.swap(connections_);
  }
  for (auto& t : connections) t.join();
  ::close(listener_);
  listener_ = -1;
}

std::string FirmwareServer::base() const { return "http://127.0.0.1:" + std::to_string(port_); }

void FirmwareServer::put(const std::string& path, platform::Data body, std::string contentType) {
  std::lock_guard lock(mutex_);
  resources_[path] = Resource{std::make_shared<const platform::Data>(std::move(body)), std::move(contentType)};
}

void FirmwareServer::setBehaviour(const std::string& path, Behaviour behaviour) {
  std::lock_guard lock(mutex_);
  behaviours_[path] = std::move(behaviour);
}

std::size_t FirmwareServer::requestCount(const std::string& path) const {
  std::lock_guard lock(mutex_);
  auto it = requests_.find(path);
  return it == requests_.end() ? 0 : it->second;
}

void FirmwareServer::acceptLoop() {
  while (!stopping_) {
    pollfd p{listener_, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard lock(mutex_);
    connections_.emplace_back([this, fd] { serve(fd); });
  }
}

void FirmwareServer::serve(int fd) {
  const std::string path = requestedPath(fd);
  if (!path.empty()) answer(fd, path);
  ::shutdown(fd, SHUT_RDWR);
  ::close(fd);
}

void FirmwareServer::stallUntilStopped() {
  std::unique_lock lock(mutex_);
  stopped_.wait(lock, [this] { return stopping_.load(); });
}

bool FirmwareServer::trickle(int fd, const platform::Data& body, double bytesPerSecond) {
  const auto gap = std::chrono::duration<double>(1.0 / bytesPerSecond);
  for (std::uint8_t byte : body) {
    {
      std::unique_lock lock(mutex_);
      if (stopped_.wait_for(lock, gap, [this] { return stopping_.load(); })) return false;
    }
    if (!sendAll(fd, reinterpret_cast<const char*>(&byte), 1)) return false;
  }
  return true;
}

void FirmwareServer::answer(int fd, const std::string& path) {
  Resource resource;
  Behaviour behaviour;
  bool found;
  {
    std::lock_guard lock(mutex_);
    ++requests_[path];
    auto it = resources_.find(path);
    found = it != resources_.end();
    if (found) resource = it->second;
    if (auto b = behaviours_.find(path); b != behaviours_.end()) behaviour = b->second;
  }
  using Fault = Behaviour::Fault;
  if (behaviour.fault == Fault::redirect) {
    sendText(fd, header(302, "Found", 0, "text/plain", "Location: " + behaviour.location + "\r\n"));
    return;
  }
  if (!found || behaviour.fault == Fault::notFound) {
    const std::string body = "not found\n";
    sendText(fd, header(404, "Not Found", body.size(), "text/plain") + body);
    return;
  }
  if (behaviour.fault == Fault::status) {
    const auto& b = *resource.body;
    const std::size_t n = behaviour.cutAt ? std::min(behaviour.cutAt, b.size()) : b.size();
    sendText(fd, header(behaviour.status, reasonOf(behaviour.status), n, resource.contentType));
    sendAll(fd, reinterpret_cast<const char*>(b.data()), n);
    return;
  }
  if (behaviour.fault == Fault::encoded) {
    const auto encoded = encodeBody(*resource.body, behaviour.coding);
    sendText(fd,
             header(200, "OK", encoded.size(), resource.contentType, "Content-Encoding: " + behaviour.coding + "\r\n"));
    sendAll(fd, reinterpret_cast<const char*>(encoded.data()), encoded.size());
    return;
  }
  const auto& body = *resource.body;
  if (behaviour.fault == Fault::doubleLength) {
    const std::string second = "Content-Length: " + std::to_string(behaviour.cutAt) + "\r\n";
    sendText(fd, header(200, "OK", body.size(), resource.contentType, second));
    sendAll(fd, reinterpret_cast<const char*>(body.data()), body.size());
    return;
  }
  if (behaviour.fault == Fault::trickle) {
    if (sendText(fd, header(200, "OK", body.size(), resource.contentType))) trickle(fd, body, behaviour.bytesPerSecond);
    return;
  }
  const std::size_t announced = behaviour.fault == Fault::wrongLength ? body.size() + 100 : body.size();
  if (!sendText(fd, header(200, "OK", announced, resource.contentType))) return;
  if (behaviour.fault == Fault::stall) {
    stallUntilStopped();
    return;
  }
  const std::size_t n = behaviour.fault == Fault::cutAt ? std::min(behaviour.cutAt, body.size()) : body.size();
  sendAll(fd, reinterpret_cast<const char*>(body.data()), n);
}
