#include "HttpServer.h"

HttpServer::HttpServer(std::map<std::string, std::string> replies) : replies_(std::move(replies)) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof(address);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
    listen(listener_, 8);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

void HttpServer::Stop() {
    if (!thread_.joinable()) return;
    // A connection of our own wakes the blocked accept.
    stopping_ = true;
    SOCKET wake = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port_));
    connect(wake, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    thread_.join();
    closesocket(wake);
    closesocket(listener_);
    WSACleanup();
}

std::string HttpServer::Reply(const std::string& body, bool withLength) {
    std::string head = "HTTP/1.1 200 OK\r\nConnection: close\r\n";
    if (withLength) head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    return head + "\r\n" + body;
}

void HttpServer::Serve() {
    for (;;) {
        SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET || stopping_) {
            closesocket(client);
            return;
        }
        std::string request;
        char buffer[1024];
        int got = 0;
        while (request.find("\r\n\r\n") == std::string::npos && (got = recv(client, buffer, sizeof(buffer), 0)) > 0)
            request.append(buffer, got);
        size_t start = request.find(' ') + 1;
        auto reply = replies_.find(request.substr(start, request.find(' ', start) - start));
        std::string bytes = reply != replies_.end() ? reply->second
                                                    : "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        send(client, bytes.data(), static_cast<int>(bytes.size()), 0);
        shutdown(client, SD_SEND);
        closesocket(client);
    }
}
