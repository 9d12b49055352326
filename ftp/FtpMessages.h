#pragma once
// The engine's private messages to itself, delivered from the event loop.
inline constexpr unsigned WM_FTP_REQUEST_DONE = 1025;  // the request ended: OnRequestDone(lParam)
inline constexpr unsigned WM_FTP_SENDDATA = 1026;      // an active upload's first block goes
inline constexpr unsigned WM_FTP_TLS_VERIFY = 1027;    // the server's certificate is to be decided (lParam: which)
