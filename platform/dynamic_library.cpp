#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include <filesystem>

#include "platform/process_info.h"

namespace tarnovox {

DynamicLibraryLoader::Handle DlopenLoader::Load(const std::string& name) {
  // Local binding keeps the library's symbols from resolving anyone else's.
  constexpr int kFlags = RTLD_NOW | RTLD_LOCAL;
  Handle library = dlopen(name.c_str(), kFlags);
  if (library || name.find('/') != std::string::npos) return library;
  // The program's RUNPATH names its own folder (a build) and ../lib/tarnovox
  // (an installation), but dlopen applies the RUNPATH of its caller, which is
  // not the program when a sanitizer or preload library intercepts dlopen.
  const std::string program = ExecutablePath();
  if (program.empty()) return nullptr;
  const auto folder = std::filesystem::path(program).parent_path();
  for (const auto& candidate : {folder / name, folder / ".." / "lib" / "tarnovox" / name}) {
    if (Handle found = dlopen(candidate.c_str(), kFlags)) return found;
  }
  return nullptr;
}

void* DlopenLoader::Resolve(Handle library, const std::string& symbol) {
  if (!library) return nullptr;
  return dlsym(library, symbol.c_str());
}

void DlopenLoader::Free(Handle library) {
  if (library) dlclose(library);
}

}  // namespace tarnovox
