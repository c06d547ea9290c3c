// A small HTTP server on 127.0.0.1 (a free port) for the update tests: each
// GET gets the raw reply stored for its path, or a 404, and the connection
// is closed after it, so a reply can be cut short on purpose.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>

class HttpServer {
public:
    explicit HttpServer(std::map<std::string, std::string> replies);
    ~HttpServer() { Stop(); }
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // "127.0.0.1:port"; still names the port after Stop(), where nothing listens then.
    std::wstring Host() const { return L"127.0.0.1:" + std::to_wstring(port_); }
    void Stop();

    // A whole reply: status line, Content-Length unless told not to, body.
    static std::string Reply(const std::string& body, bool withLength = true);

private:
    void Serve();

    std::map<std::string, std::string> replies_;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};
