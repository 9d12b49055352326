#pragma once
// TCustomSocksWSocket: the layer that will negotiate SOCKS 4, 4A and 5 in front of a
// connection. Until it is built it passes everything through unchanged.
#include "net/CustomWSocket.h"

class TCustomSocksWSocket : public TCustomWSocket {};
