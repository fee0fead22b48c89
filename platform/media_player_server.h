#pragma once
// One connection to the desktop's sound server, shared by the media player and
// the output volume, so that the system mixer shows the program as one client.
// Callbacks run on the server connection's own thread with its lock held.
// When the server goes away (a crash, a restart), the next Connect notices the
// dead connection, lets the clients drop what belonged to it, and connects
// afresh; while no server answers, each try fails within milliseconds.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_operation;

namespace tarnovox {

class PulseServer {
 public:
  explicit PulseServer(std::string applicationName = "Tarnovox");
  ~PulseServer();
  PulseServer(const PulseServer&) = delete;
  PulseServer& operator=(const PulseServer&) = delete;

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
  // going). A connection has one subscription, so the server object shares it:
  // each listener names the kinds it wants, as a PA_SUBSCRIPTION_MASK_* mask.
  // Events come on the connection's thread with its lock held.
  class Listener {
   public:
    virtual ~Listener() = default;
    virtual void OnServerEvent(pa_context* context, int type, uint32_t index) = 0;
  };
  // Without the lock: sets what `listener` follows (mask 0: nothing, it is
  // forgotten) and subscribes a standing connection to what all listeners
  // want. Every new connection is subscribed by Connect.
  void Listen(Listener& listener, uint32_t mask);

  // Connects (the server named by PULSE_SERVER, else the session's) unless the
  // connection stands; a dead one is replaced. Returns 0 or the server
  // library's error code.
  int Connect();
  bool Connected() const;
  // The server library's text for an error code.
  static std::string ErrorText(int code);

  pa_context* Context() const { return context_; }

  // Holds the connection thread's lock for a scope. Every call into the server
  // library outside a callback needs it.
  class Lock {
   public:
    explicit Lock(const PulseServer& server);
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

   private:
    pa_threaded_mainloop* mainloop_;
  };

  // With the lock held: sleeps until a callback calls Signal.
  void Wait() const;
  // Wakes every thread in Wait.
  void Signal() const;
  // With the lock held: waits until the operation is done, then releases it.
  void WaitFor(pa_operation* operation) const;

 private:
  int Open();
  void Disconnect();
  // With the lock held.
  void Subscribe();
  static void OnEvent(pa_context* context, int type, uint32_t index, void* self);

  std::string applicationName_;
  std::vector<Client*> clients_;
  std::map<Listener*, uint32_t> listeners_;  // guarded by the connection's lock
  bool lost_ = false;  // a connection stood and died; clients await a new one
  pa_threaded_mainloop* mainloop_ = nullptr;
  pa_context* context_ = nullptr;
};

}  // namespace tarnovox
