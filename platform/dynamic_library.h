#pragma once
// Loading a shared library at run time by bare name, finding its exported
// symbols and releasing it. The encoder library is reached only this way.
#include <string>

namespace tarnovox {

class DynamicLibraryLoader {
 public:
  using Handle = void*;
  virtual ~DynamicLibraryLoader() = default;
  // Loads `name` from the normal search path (which includes the program's own
  // folder). Returns nullptr when it cannot be loaded.
  virtual Handle Load(const std::string& name) = 0;
  // The address of an exported symbol, or nullptr when it is missing.
  virtual void* Resolve(Handle library, const std::string& symbol) = 0;
  virtual void Free(Handle library) = 0;
};

// The dlopen backend.
class DlopenLoader final : public DynamicLibraryLoader {
 public:
  Handle Load(const std::string& name) override;
  void* Resolve(Handle library, const std::string& symbol) override;
  void Free(Handle library) override;
};

}  // namespace tarnovox
