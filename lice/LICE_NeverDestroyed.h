// Process-wide state that must outlive everything that may still reach it late
// in a library's unload or a process's exit: made on first use, in static
// storage, and never destroyed. Being in static storage rather than on the
// heap, it leaves no block behind for a leak checker once the library is gone.
#pragma once

#include <new>

// One instance per type T; give each use a type of its own.
template <class T>
T& LICE_NeverDestroyed() {
  alignas(T) static unsigned char storage[sizeof(T)];
  static T* instance = new (storage) T();
  return *instance;
}
