// A real HTTP server on 127.0.0.1 for tests: it answers each path it was
// given with a fixed response, and can misbehave on purpose.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace zelm::test {

struct HttpResponse {
  int status = 200;
  std::string body;
  std::string extraHeaders;  // header lines, each ending with CR LF
  // Send the head and the first `stallAfter` bytes of the body (all the
  // body declared by its length), then hold the connection open, sending
  // nothing, until the client gives up or the server stops.
  bool stall = false;
  std::size_t stallAfter = 0;
};

// A page with its status.
HttpResponse Page(std::string body, int status = 200);
// A redirect to another address (or path of the same server).
HttpResponse Redirect(std::string_view location, int status = 302);
// A page of which only the first `sentBefore` bytes come before the server stalls.
HttpResponse Stalling(std::string body, std::size_t sentBefore);

class HttpTestServer {
 public:
  // Listens on a free port of 127.0.0.1; every connection is answered on a
  // thread of its own, one request each. Unknown paths get a 404.
  HttpTestServer();
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  void Serve(const std::string& path, HttpResponse response);
  // "http://127.0.0.1:PORT" followed by the path.
  std::string Url(std::string_view path) const;
  int port() const { return port_; }
  // The head of every request received so far (request line and headers).
  std::vector<std::string> RequestHeads() const;

 private:
  void Accept(std::stop_token stop);
  void Answer(int connection, std::stop_token stop);

  int listener_ = -1;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::map<std::string, HttpResponse> responses_;
  std::vector<std::string> heads_;
  std::vector<std::jthread> connections_;
  std::jthread acceptor_;  // last: stopped and joined first
};

// A port of 127.0.0.1 on which nothing listens (it was free a moment ago).
int UnusedPort();

}  // namespace zelm::test
