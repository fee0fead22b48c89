#pragma once
// A per-user local (Unix domain) stream socket, with the few blocking and
// non-blocking steps the instance channel needs. Written on the system calls
// rather than on Qt's network module: loading that module and what it pulls in
// (Kerberos, proxy look-up) cost every start a few milliseconds, and the
// channel needs none of it.
#include <chrono>
#include <string>

namespace tarnovox {

// Takes an exclusive lock on the file `path` (made if missing), waiting up to
// `timeout` for another holder; the lock lasts until the returned descriptor
// is closed, or its process ends. -1 when it cannot be had: errno EWOULDBLOCK
// when another holder kept it, else why the file cannot be opened.
int LockFile(const std::string& path, std::chrono::milliseconds timeout);

// A connection to `path`, non-blocking, close-on-exec. -1 with errno set when
// there is none: ECONNREFUSED or ENOENT when nobody listens there, EAGAIN when
// the listener's queue stayed full for `timeout`.
int ConnectLocal(const std::string& path, std::chrono::milliseconds timeout);

// The user id of the process that listens at the other end of fd, or -1 when
// the system does not tell.
long PeerUser(int fd);

// Listens on `path`, reachable only by this user; the socket file must not
// exist. Non-blocking, close-on-exec. -1 with errno set when it cannot.
int ListenLocal(const std::string& path);

// A waiting connection from this user, non-blocking, or -1 when none is left.
// Connections from other users are closed unread.
int AcceptLocal(int listener);

// Sends all of `data` within `timeout`.
bool SendAll(int fd, const std::string& data, std::chrono::milliseconds timeout);

// Reads up to and including the first '\n', within
// `timeout`; false when the peer closes first or the time runs out.
bool ReceiveLine(int fd, std::string& line, std::chrono::milliseconds timeout);

}  // namespace tarnovox
