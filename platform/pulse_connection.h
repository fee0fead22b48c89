#pragma once
// One connection to the desktop's sound server: a threaded main loop (the
// connection's own thread) and a context on it. Every part of the program that
// talks to the server does so through one of these: playback, the output
// volume and the input list share one, so that the system mixer shows the
// program as one client; a capture stream may own one of its own.
//
// Contract:
// - Connect() connects unless the connection stands (the server named by
//   PULSE_SERVER, else the session's). It never starts a server
//   (PA_CONTEXT_NOAUTOSPAWN) and waits at most the connection's wait: a
//   missing server fails within milliseconds, one that does not answer when
//   the wait runs out.
// - A server that went away (a crash, a restart) is noticed on the
//   connection's thread: Lost handlers run at once; Connected() turns false.
//   The next Connect() tells the Clients to let go of the dead connection,
//   frees it and connects afresh, then tells them the new one stands.
// - Every call into the server library from outside the connection's thread
//   holds Lock. Callbacks of the library (stream, operation, subscription and
//   the Lost handler) run on the connection's thread with the lock held.
// - Not copyable; destroyed (or Disconnect()) only after every stream made on
//   its context has been disconnected and released.
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_operation;

namespace tarnovox {

class PulseConnection {
 public:
  // Longest wait for the server: to connect, for a stream to become ready,
  // for an operation's answer.
  static constexpr std::chrono::milliseconds kDefaultWait{5000};

  explicit PulseConnection(std::string applicationName = "Tarnovox", std::chrono::milliseconds wait = kDefaultWait);
  ~PulseConnection();
  PulseConnection(const PulseConnection&) = delete;
  PulseConnection& operator=(const PulseConnection&) = delete;

  // Something that holds objects of the connection (streams, a subscription).
  // Both calls come on the thread that called Connect, without the lock.
  class Client {
   public:
    virtual ~Client() = default;
    // The connection is dead and about to be freed: let go of all of it.
    virtual void ConnectionLost() = 0;
    // A new connection stands after a lost one.
    virtual void ConnectionRestored() = 0;
  };
  void AddClient(Client& client);
  void RemoveClient(Client& client);

  // Something that follows events of the server (streams, sources coming and
  // going). A connection has one subscription, so it is shared: each listener
  // names the kinds it wants, as a PA_SUBSCRIPTION_MASK_* mask. Events come on
  // the connection's thread with its lock held.
  class Listener {
   public:
    virtual ~Listener() = default;
    virtual void OnServerEvent(pa_context* context, int type, uint32_t index) = 0;
  };
  // Without the lock: sets what `listener` follows (mask 0: nothing, it is
  // forgotten) and subscribes a standing connection to what all listeners
  // want. Every new connection is subscribed by Connect.
  void Listen(Listener& listener, uint32_t mask);

  // Runs on the connection's thread, with the lock held, when a connection
  // that stood fails; `error` is the server library's code. Set it while no
  // connection stands.
  void OnLost(std::function<void(int error)> handler) { lost_ = std::move(handler); }

  // Returns 0 when the connection stands (as it was, or anew), else the
  // server library's error code (PA_ERR_TIMEOUT when the wait ran out).
  int Connect();
  // Frees the connection; the next Connect makes a new one.
  void Disconnect();
  bool Connected() const;
  // The server library's text for an error code.
  static std::string ErrorText(int code);

  // Null until the first successful Connect.
  pa_context* Context() const { return context_; }

  // Holds the connection thread's lock for a scope.
  class Lock {
   public:
    explicit Lock(const PulseConnection& connection);
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

   private:
    pa_threaded_mainloop* mainloop_;
  };

  // With the lock held: sleeps until a callback calls Signal.
  void Wait() const;
  // With the lock held, on a context: waits until `done` holds, for at most
  // the connection's wait. Every Signal and the end of the wait wake it to
  // ask `done` again. False when the wait ran out first.
  bool WaitUntil(const std::function<bool()>& done) const;
  // Wakes every thread in Wait.
  void Signal() const;
  // With the lock held: waits (at most the connection's wait) until the
  // operation is done, cancels it if it is not, and releases it. Null does nothing.
  void WaitFor(pa_operation* operation) const;

 private:
  int Open();
  // With the lock held.
  void Subscribe();
  static void OnStateChange(pa_context* context, void* self);
  static void OnEvent(pa_context* context, int type, uint32_t index, void* self);

  std::string applicationName_;
  std::chrono::milliseconds wait_;
  std::vector<Client*> clients_;
  std::map<Listener*, uint32_t> listeners_;  // guarded by the connection's lock
  std::function<void(int)> lost_;
  bool ready_ = false;         // the context reached READY; guarded by the lock
  uint32_t subscribed_ = 0;    // the mask the context is subscribed to; guarded by the lock
  bool wasLost_ = false;       // a connection stood and died; clients await a new one
  pa_threaded_mainloop* mainloop_ = nullptr;
  pa_context* context_ = nullptr;
};

}  // namespace tarnovox
