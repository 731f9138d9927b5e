// A fenced run (the fuzzer's) opens no socket, resolves no name, pings nothing and downloads
// nothing: the built-ins check their arguments, then fail with their usual @ERROR.
#include "prepared_run.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <winsock2.h>

using namespace vexil;

namespace {

// A listening socket of the test's own, to see that nothing connected to it.
class Listener {
public:
    Listener() {
        WSADATA data;
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof(address);
        ok_ = bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 && listen(socket_, 5) == 0 &&
              getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size) == 0;
        port_ = ntohs(address.sin_port);
    }
    ~Listener() {
        closesocket(socket_);
        if (started_) WSACleanup();
    }
    bool ok() const { return ok_; }
    int port() const { return port_; }
    bool connectionWaiting() const {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket_, &readable);
        timeval now{0, 0};
        return select(0, &readable, nullptr, nullptr, &now) == 1;
    }

private:
    bool started_ = false, ok_ = false;
    SOCKET socket_ = INVALID_SOCKET;
    int port_ = 0;
};

} // namespace

TEST(FencedNetwork, NoSocketNoNameNoDownload) {
    TempFolder folder;
    Listener listener;
    ASSERT_TRUE(listener.ok());
    const std::string script =
        "Func Show($what, $value, $error, $extended = 0)\n"
        "    ConsoleWrite($what & ' ' & $value & ' ' & $error & ' ' & $extended & @LF)\n"
        "EndFunc\n"
        "Local $port = $CmdLine[1], $url = 'http://127.0.0.1:' & $port & '/x'\n"
        "Show('startup', TCPStartup(), @error)\n"
        "Show('connect', TCPConnect('127.0.0.1', $port), @error)\n"
        "Show('bad address first', TCPConnect('nowhere', $port), @error)\n"
        "Show('listen', TCPListen('127.0.0.1', 0 + $port + 1), @error)\n"
        "Show('name', TCPNameToIP('localhost'), @error)\n"
        "Local $udp = UDPOpen('127.0.0.1', $port)\n"
        "Show('udp open', $udp[0], @error)\n"
        "Show('ping', Ping('127.0.0.1', 100), @error)\n"
        "Show('inetget', InetGet($url, 'x.bin'), @error, @extended)\n"
        "Show('inetget background', InetGet($url, 'x.bin', 0, True), @error, @extended)\n"
        "Show('inetread', InetRead($url), @error, @extended)\n"
        "Show('inetgetsize', InetGetSize($url), @error, @extended)\n"
        "Show('jobs', InetGetInfo(), @error)\n"
        "Show('shutdown', TCPShutdown(), @error)\n";
    PreparedRun prepared(folder.write(L"fenced.vx3", script));
    ASSERT_TRUE(prepared.ready());
    prepared.engine().setCommandLine(L"", {std::to_wstring(listener.port())});
    prepared.engine().setFenced(true);
    testing::internal::CaptureStdout();
    prepared.run();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "startup True 0 0\nconnect -1 10013 0\nbad address first -1 1 0\nlisten -1 10013 0\nname  10013 0\n"
              "udp open -1 10013 0\nping 0 4 0\ninetget 0 3 5\ninetget background 0 3 5\ninetread  3 5\n"
              "inetgetsize 0 3 5\njobs 0 0 0\nshutdown True 0 0\n");
    EXPECT_FALSE(listener.connectionWaiting());
    EXPECT_EQ(folder.read(L"x.bin"), "<missing>");
}
