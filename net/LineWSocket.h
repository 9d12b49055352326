#pragma once
// TCustomLineWSocket: the layer that will deliver received data line by line when line mode
// is switched on. Until it is built it passes everything through unchanged.
#include "net/SocksWSocket.h"

class TCustomLineWSocket : public TCustomSocksWSocket {};
