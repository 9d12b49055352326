#pragma once
#include <string>

// The English text of a socket error code (0, 10004..10093, 11001..11004);
// "Not a WinSock error" for any other code.
std::string SocketErrorText(int code);
