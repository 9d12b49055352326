#pragma once
// TCustomSyncWSocket: the layer that will offer synchronous waits by pumping the event loop.
// Until it is built it passes everything through unchanged.
#include "net/LineWSocket.h"

class TCustomSyncWSocket : public TCustomLineWSocket {};
