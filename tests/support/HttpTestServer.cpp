#include "support/HttpTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace zelm::test {
namespace {

constexpr int kPollMs = 20;  // how often a waiting thread looks whether the server stops
constexpr std::size_t kLongestHead = 64 * 1024;

int ListenOnLoopback(int backlog, int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket failed");
  const int yes = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      (backlog > 0 && ::listen(fd, backlog) != 0) ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port = ntohs(address.sin_port);
  return fd;
}

// Waits until the socket can be read or the server stops; true when it can
// be read.
bool WaitReadable(int fd, const std::stop_token& stop) {
  while (!stop.stop_requested()) {
    pollfd wanted{fd, POLLIN, 0};
    const int ready = ::poll(&wanted, 1, kPollMs);
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
  return false;
}

// Sends all bytes; false when the client went away. No SIGPIPE.
bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

std::string_view Reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
  }
}

}  // namespace

HttpResponse Page(std::string body, int status) {
  HttpResponse response;
  response.status = status;
  response.body = std::move(body);
  return response;
}

HttpResponse Stalling(std::string body, std::size_t sentBefore) {
  HttpResponse response = Page(std::move(body));
  response.stall = true;
  response.stallAfter = sentBefore;
  return response;
}

HttpResponse Redirect(std::string_view location, int status) {
  HttpResponse response;
  response.status = status;
  response.extraHeaders = "Location: " + std::string(location) + "\r\n";
  return response;
}

HttpTestServer::HttpTestServer() {
  listener_ = ListenOnLoopback(64, port_);
  acceptor_ = std::jthread([this](std::stop_token stop) { Accept(stop); });
}

HttpTestServer::~HttpTestServer() {
  acceptor_.request_stop();
  acceptor_.join();
  std::vector<std::jthread> connections;
  {
    std::lock_guard lock(mutex_);
    connections.swap(connections_);
  }
  for (std::jthread& connection : connections) connection.request_stop();
  connections.clear();  // joins them
  ::close(listener_);
}

void HttpTestServer::Serve(const std::string& path, HttpResponse response) {
  std::lock_guard lock(mutex_);
  responses_[path] = std::move(response);
}

std::string HttpTestServer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<std::string> HttpTestServer::RequestHeads() const {
  std::lock_guard lock(mutex_);
  return heads_;
}

void HttpTestServer::Accept(std::stop_token stop) {
  while (WaitReadable(listener_, stop)) {
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    std::lock_guard lock(mutex_);
    connections_.emplace_back([this, connection](std::stop_token connectionStop) {
      Answer(connection, connectionStop);
      ::close(connection);
    });
  }
}

void HttpTestServer::Answer(int connection, std::stop_token stop) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < kLongestHead) {
    if (!WaitReadable(connection, stop)) return;
    const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
    if (got <= 0) return;
    head.append(buffer, static_cast<std::size_t>(got));
  }
  // "GET /path HTTP/1.1"
  const std::size_t pathStart = head.find(' ') + 1;
  const std::string path = head.substr(pathStart, head.find(' ', pathStart) - pathStart);
  HttpResponse response;
  {
    std::lock_guard lock(mutex_);
    heads_.push_back(head.substr(0, head.find("\r\n\r\n")));
    const auto found = responses_.find(path);
    if (found != responses_.end()) response = found->second;
    else response = Page("no such page", 404);
  }
  const std::string responseHead = "HTTP/1.1 " + std::to_string(response.status) + " " +
                                   std::string(Reason(response.status)) + "\r\n" +
                                   "Content-Length: " + std::to_string(response.body.size()) + "\r\n" +
                                   "Connection: close\r\n" + response.extraHeaders + "\r\n";
  const std::string_view body = response.body;
  if (!SendAll(connection, responseHead) ||
      !SendAll(connection, response.stall ? body.substr(0, response.stallAfter) : body))
    return;
  if (response.stall) {
    // Holds the connection until the client closes it or the server stops.
    while (WaitReadable(connection, stop))
      if (::recv(connection, buffer, sizeof buffer, 0) <= 0) return;
    return;
  }
  ::shutdown(connection, SHUT_WR);
}

int UnusedPort() {
  int port = 0;
  ::close(ListenOnLoopback(0, port));
  return port;
}

}  // namespace zelm::test
