#include "net/SocketLibrary.h"

namespace {
bool loaded = false;
int starts = 0;
int liveSockets = 0;
}  // namespace

void LoadSocketLibrary() {
  if (loaded) return;
  loaded = true;
  ++starts;
}

void UnloadSocketLibrary() { loaded = false; }

bool SocketLibraryLoaded() { return loaded; }

int SocketLibraryStarts() { return starts; }

int LiveSocketCount() { return liveSockets; }

void SocketObjectCreated() { ++liveSockets; }

void SocketObjectDestroyed() {
  if (--liveSockets <= 0) {
    liveSockets = 0;
    UnloadSocketLibrary();
  }
}
