// A small HTTP server on a free port of 127.0.0.1 for the update tests: each
// GET gets the raw reply stored for its path, or a 404, and the connection
// is closed after it, so a reply can be cut short on purpose.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <map>
#include <string>
#include <thread>

class HttpServer {
public:
    explicit HttpServer(std::map<std::string, std::string> replies) : replies_(std::move(replies)) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {AF_INET, 0, {}, {}};
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof(address);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
        listen(listener_, 8);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~HttpServer() { Stop(); }
    // "127.0.0.1:port"; after Stop() nothing listens there.
    std::wstring Host() const { return L"127.0.0.1:" + std::to_wstring(port_); }
    void Stop() {
        if (!thread_.joinable()) return;
        closesocket(listener_); // ends the blocked accept
        thread_.join();
        WSACleanup();
    }
    // Ends a reply that then stalls: the connection stays open, silent, for
    // six seconds.
    static constexpr const char* kStall = "\x01stall";
    // A 200 reply with body, with its Content-Length unless told not to.
    static std::string Reply(const std::string& body, bool withLength = true) {
        return "HTTP/1.1 200 OK\r\nConnection: close\r\n" +
               (withLength ? "Content-Length: " + std::to_string(body.size()) + "\r\n" : "") + "\r\n" + body;
    }

private:
    void Serve() {
        for (SOCKET client; (client = accept(listener_, nullptr, nullptr)) != INVALID_SOCKET; closesocket(client)) {
            std::string request;
            char buffer[1024];
            for (int got; request.find("\r\n\r\n") == std::string::npos &&
                          (got = recv(client, buffer, sizeof(buffer), 0)) > 0;)
                request.append(buffer, got);
            size_t start = request.find(' ') + 1;
            auto reply = replies_.find(request.substr(start, request.find(' ', start) - start));
            std::string bytes = reply != replies_.end() ? reply->second : "HTTP/1.1 404 Not Found\r\n\r\n";
            size_t stall = bytes.find(kStall);
            send(client, bytes.data(), static_cast<int>(stall == std::string::npos ? bytes.size() : stall), 0);
            if (stall != std::string::npos) Sleep(6000);
            shutdown(client, SD_SEND);
        }
    }

    std::map<std::string, std::string> replies_;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::thread thread_;
};
