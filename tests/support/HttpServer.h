// A small HTTP server on a free port of 127.0.0.1 for the update tests: each
// GET gets the raw reply stored for its path, or a 404, and the connection
// is closed after it, so a reply can be cut short on purpose. "{host}" in a
// reply becomes the server's "127.0.0.1:port".
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>

#include "base/ScopedWin.h"

class HttpServer {
public:
    explicit HttpServer(std::map<std::string, std::string> replies)
        : replies_(std::move(replies)) {
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
        for (auto& reply : replies_)
            for (size_t at; (at = reply.second.find("{host}")) != std::string::npos;)
                reply.second.replace(at, 6, "127.0.0.1:" + std::to_string(port_));
        thread_ = std::thread([this] { Serve(); });
    }
    ~HttpServer() { Stop(); }
    // "127.0.0.1:port"; after Stop() nothing listens there.
    std::wstring Host() const { return L"127.0.0.1:" + std::to_wstring(port_); }
    // Ends every reply under way, even one that waits or drips.
    void Stop() {
        if (!thread_.joinable()) return;
        SetEvent(stop_.get());
        closesocket(listener_); // ends the blocked accept
        thread_.join();
        WSACleanup();
    }
    // Marks where a reply falls silent: each byte after the mark follows
    // milliseconds of silence (20,000: a drip); with none after it, the
    // connection stays open and silent until the client leaves or the server
    // stops.
    static std::string Silence(DWORD milliseconds = INFINITE) { return "\x01" + std::to_string(milliseconds) + "\x01"; }
    // Waits (at most milliseconds) until a reply has fallen silent.
    bool WaitUntilQuiet(DWORD milliseconds) const { return WaitForSingleObject(quiet_.get(), milliseconds) == WAIT_OBJECT_0; }
    int Requests() const { return requests_; }

    // A 200 reply with body, with its Content-Length unless told not to.
    static std::string Reply(const std::string& body, bool withLength = true) {
        return "HTTP/1.1 200 OK\r\nConnection: close\r\n" +
               (withLength ? "Content-Length: " + std::to_string(body.size()) + "\r\n" : "") + "\r\n" + body;
    }
    static std::string Redirect(int status, const std::string& location) {
        return "HTTP/1.1 " + std::to_string(status) + " Moved\r\nLocation: " + location +
               "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    }

private:
    void Serve() {
        for (SOCKET client; (client = accept(listener_, nullptr, nullptr)) != INVALID_SOCKET; closesocket(client)) {
            ++requests_;
            std::string request;
            char buffer[1024];
            for (int got; request.find("\r\n\r\n") == std::string::npos &&
                          (got = recv(client, buffer, sizeof(buffer), 0)) > 0;)
                request.append(buffer, got);
            size_t start = request.find(' ') + 1;
            auto reply = replies_.find(request.substr(start, request.find(' ', start) - start));
            std::string bytes = reply != replies_.end() ? reply->second : "HTTP/1.1 404 Not Found\r\n\r\n";
            size_t mark = bytes.find('\x01'), rest = bytes.find('\x01', mark + 1) + 1;
            SendAll(client, bytes.substr(0, mark));
            for (size_t at = rest; mark != std::string::npos && (at < bytes.size() || at == rest); ++at) {
                SetEvent(quiet_.get());
                DWORD every = at < bytes.size() ? std::stoul(bytes.substr(mark + 1)) : INFINITE;
                if (!Pause(client, every) || at >= bytes.size() || !SendAll(client, bytes.substr(at, 1))) break;
            }
            shutdown(client, SD_SEND);
        }
    }
    static bool SendAll(SOCKET client, const std::string& bytes) {
        for (size_t sent = 0; sent < bytes.size();) {
            int now = send(client, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
            if (now <= 0) return false;
            sent += now;
        }
        return true;
    }
    // Silence for milliseconds; false when the server stopped or the client left.
    bool Pause(SOCKET client, DWORD milliseconds) {
        WSAEVENT left = WSACreateEvent();
        WSAEventSelect(client, left, FD_CLOSE);
        HANDLE events[] = {stop_.get(), left};
        DWORD woke = WaitForMultipleObjects(2, events, FALSE, milliseconds);
        WSAEventSelect(client, nullptr, 0);
        WSACloseEvent(left); // the socket stays non-blocking: only single bytes are sent after
        return woke == WAIT_TIMEOUT;
    }

    std::map<std::string, std::string> replies_;
    ScopedHandle stop_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};  // Stop() was called
    ScopedHandle quiet_{CreateEventW(nullptr, TRUE, FALSE, nullptr)}; // a reply has fallen silent
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<int> requests_{0};
    std::thread thread_;
};
