#pragma once
// One connection to the desktop's sound server, shared by the media player and
// the output volume, so that the system mixer shows the program as one client.
// Callbacks run on the server connection's own thread with its lock held.
#include <string>

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

  // Connects on the first call (the server named by PULSE_SERVER, else the
  // session's); later calls report whether the connection stands. Returns 0 or
  // the server library's error code.
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
  void Disconnect();

  std::string applicationName_;
  pa_threaded_mainloop* mainloop_ = nullptr;
  pa_context* context_ = nullptr;
};

}  // namespace tarnovox
