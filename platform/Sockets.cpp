#include "platform/Sockets.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <sys/ioctl.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/HostTable.h"
#include "platform/SocketErrors.h"
#include "platform/SocketWatchRegistry.h"

namespace platform {

namespace {

int Result(int r) { return r < 0 ? FailWithErrno() : r; }

void RearmWriteIfShort(SocketHandle s, int sent, int offered) {
  if (sent < offered) detail::RearmWrite(s);
}

// The pipe that carries spliced bytes from a socket to a file, one per thread, empty between
// two calls. A pipe left holding bytes is dropped, so the next call starts with a new one.
class SplicePipe {
 public:
  static constexpr int kCapacity = 1 << 20;

  ~SplicePipe() { Drop(); }

  bool Open() {
    if (fds_[0] >= 0) return true;
    if (::pipe2(fds_, O_CLOEXEC) != 0) return false;
    ::fcntl(fds_[1], F_SETPIPE_SZ, kCapacity);  // the default size serves too, in more calls
    return true;
  }
  void Drop() {
    for (int& fd : fds_) {
      if (fd >= 0) ::close(fd);
      fd = -1;
    }
  }
  int ReadEnd() const { return fds_[0]; }
  int WriteEnd() const { return fds_[1]; }

 private:
  int fds_[2] = {-1, -1};
};

thread_local SplicePipe splicePipe;

// Empties `count` bytes from the pipe into the file; false when the file failed.
bool DrainPipeToFile(int fileDescriptor, size_t count) {
  while (count > 0) {
    const ssize_t moved = ::splice(splicePipe.ReadEnd(), nullptr, fileDescriptor, nullptr, count, SPLICE_F_MOVE);
    if (moved > 0) {
      count -= static_cast<size_t>(moved);
      continue;
    }
    if (moved < 0 && errno == EINTR) continue;
    if (moved < 0 && errno == EINVAL) break;  // this file takes no splice: write it
    return false;
  }
  char block[65536];
  while (count > 0) {
    const ssize_t got = ::read(splicePipe.ReadEnd(), block, std::min(count, sizeof block));
    if (got <= 0) return false;
    for (ssize_t done = 0; done < got;) {
      const ssize_t written = ::write(fileDescriptor, block + done, static_cast<size_t>(got - done));
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      done += written;
    }
    count -= static_cast<size_t>(got);
  }
  return true;
}

}  // namespace

SocketHandle OpenSocket(int family, int type, int protocol) {
  return Result(::socket(family, type | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol));
}

int CloseSocket(SocketHandle s) {
  detail::ForgetSocket(s);
  return Result(::close(s));
}

int ConnectSocket(SocketHandle s, const SocketAddress& to) {
  const int r = Result(::connect(s, to.Raw(), to.Length()));
  if (r == 0 || LastSocketError() == kWsaEWOULDBLOCK) detail::WatchConnect(s);
  return r;
}

int BindSocket(SocketHandle s, const SocketAddress& local) { return Result(::bind(s, local.Raw(), local.Length())); }

int ListenSocket(SocketHandle s, int backlog) { return Result(::listen(s, backlog)); }

SocketHandle AcceptSocket(SocketHandle s, SocketAddress* peer) {
  socklen_t len = SocketAddress::kCapacity;
  const int r = ::accept4(s, peer ? peer->Raw() : nullptr, peer ? &len : nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  detail::RearmAccept(s);
  return Result(r);
}

int ShutdownSocket(SocketHandle s, int how) { return Result(::shutdown(s, how)); }

int SendSocket(SocketHandle s, const void* data, int len, int flags) {
  const int r = static_cast<int>(::send(s, data, static_cast<size_t>(len), flags | MSG_NOSIGNAL));
  RearmWriteIfShort(s, r, len);
  return Result(r);
}

int SendToSocket(SocketHandle s, const void* data, int len, int flags, const SocketAddress& to) {
  const int r =
      static_cast<int>(::sendto(s, data, static_cast<size_t>(len), flags | MSG_NOSIGNAL, to.Raw(), to.Length()));
  RearmWriteIfShort(s, r, len);
  return Result(r);
}

int RecvSocket(SocketHandle s, void* buffer, int len, int flags) {
  return Result(static_cast<int>(::recv(s, buffer, static_cast<size_t>(len), flags)));
}

int RecvFromSocket(SocketHandle s, void* buffer, int len, int flags, SocketAddress* from) {
  socklen_t fromLen = SocketAddress::kCapacity;
  return Result(static_cast<int>(::recvfrom(s, buffer, static_cast<size_t>(len), flags, from ? from->Raw() : nullptr,
                                            from ? &fromLen : nullptr)));
}

int ReadableBytes(SocketHandle s) {
  int count = 0;
  if (::ioctl(s, FIONREAD, &count) < 0) return FailWithErrno();
  return count;
}

SpliceOutcome SpliceToFile(SocketHandle s, int fileDescriptor, int len) {
  if (!splicePipe.Open()) return {FailWithErrno(), false};
  const ssize_t got = ::splice(s, nullptr, splicePipe.WriteEnd(), nullptr, static_cast<size_t>(std::max(len, 0)),
                               SPLICE_F_MOVE | SPLICE_F_NONBLOCK);
  if (got < 0) return {FailWithErrno(), false};
  if (got > 0 && !DrainPipeToFile(fileDescriptor, static_cast<size_t>(got))) {
    splicePipe.Drop();
    return {static_cast<int>(got), true};
  }
  return {static_cast<int>(got), false};
}

int SendFileToSocket(SocketHandle s, int fileDescriptor, int len) {
  const auto sent = static_cast<int>(::sendfile(s, fileDescriptor, nullptr, static_cast<size_t>(std::max(len, 0))));
  if (sent != 0) RearmWriteIfShort(s, sent, len);
  return Result(sent);
}

int SetSocketOption(SocketHandle s, int level, int name, const void* value, int len) {
  return Result(::setsockopt(s, level, name, value, static_cast<socklen_t>(len)));
}

int SetSocketIntOption(SocketHandle s, int level, int name, int value) {
  return SetSocketOption(s, level, name, &value, sizeof value);
}

int GetSockName(SocketHandle s, SocketAddress* name) {
  socklen_t len = SocketAddress::kCapacity;
  return Result(::getsockname(s, name->Raw(), &len));
}

int GetPeerName(SocketHandle s, SocketAddress* name) {
  socklen_t len = SocketAddress::kCapacity;
  return Result(::getpeername(s, name->Raw(), &len));
}

// A datagram socket "connected" to the address finds the route without sending anything.
bool HasRouteTo(const SocketAddress& address) {
  const int s = ::socket(address.Family(), SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (s < 0) return false;
  SocketAddress target = address;
  if (target.Port() == 0) target.SetPort(9);  // any port will do; 0 is refused
  const bool routed = ::connect(s, target.Raw(), target.Length()) == 0;
  ::close(s);
  return routed;
}

uint32_t InetAddr(const std::string& dotted) {
  in_addr a{};
  if (::inet_pton(AF_INET, dotted.c_str(), &a) != 1) return INADDR_NONE;
  return a.s_addr;
}

std::string InetNtoa(uint32_t addressNetworkOrder) {
  char text[INET_ADDRSTRLEN] = {};
  in_addr a{};
  a.s_addr = addressNetworkOrder;
  ::inet_ntop(AF_INET, &a, text, sizeof text);
  return text;
}

int LookupHostAddresses(const std::string& name, std::vector<SocketAddress>* addresses) {
  addresses->clear();
  if (const auto listed = HostTableAddresses(name)) {
    *addresses = *listed;
    return addresses->empty() ? kWsaHOST_NOT_FOUND : 0;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int r = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
  if (r != 0) return LookupErrorFromGai(r);
  for (addrinfo* a = found; a; a = a->ai_next) {
    if (a->ai_family != AF_INET && a->ai_family != AF_INET6) continue;
    SocketAddress address;
    std::memcpy(address.Raw(), a->ai_addr, a->ai_addrlen);
    addresses->push_back(address);
  }
  ::freeaddrinfo(found);
  return addresses->empty() ? kWsaNO_DATA : 0;
}

int LookupServicePort(const std::string& service, const std::string& proto, uint16_t* port) {
  servent entry{};
  servent* found = nullptr;
  char buffer[1024];
  ::getservbyname_r(service.c_str(), proto.empty() ? nullptr : proto.c_str(), &entry, buffer,
                    sizeof buffer, &found);
  if (!found) return kWsaNO_DATA;
  *port = ntohs(static_cast<uint16_t>(found->s_port));
  return 0;
}

int LookupProtocolNumber(const std::string& name, int* protocol) {
  protoent entry{};
  protoent* found = nullptr;
  char buffer[1024];
  ::getprotobyname_r(name.c_str(), &entry, buffer, sizeof buffer, &found);
  if (!found) return kWsaNO_DATA;
  *protocol = found->p_proto;
  return 0;
}

}  // namespace platform
