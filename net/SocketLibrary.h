#pragma once
// The socket library's life in the process. On Linux there is nothing to load, but the life
// cycle stays as the program expects it, and observable: the library is "loaded and started"
// on the first socket call, and "unloaded" when the last socket object goes away, after which
// the next call starts it again.
#include <utility>

void LoadSocketLibrary();
void UnloadSocketLibrary();
bool SocketLibraryLoaded();
// How many times the library was started since the process began.
int SocketLibraryStarts();

// Calls a socket function of the platform, starting the library first when needed.
template <class Function, class... Args>
auto SocketCall(Function function, Args&&... args) {
  LoadSocketLibrary();
  return function(std::forward<Args>(args)...);
}

// Live socket objects, process-wide; reaching 0 unloads the library.
int LiveSocketCount();
void SocketObjectCreated();
void SocketObjectDestroyed();
