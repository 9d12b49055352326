#pragma once
// TWSocket: the program's asynchronous TCP socket. Every network outcome is an event fired
// from the event loop on the thread that created the object, in the order the system reports
// it; no event fires inside the call that caused it unless stated below. Nothing is locked.
//
// Life of a stream connection
//   Set Addr, Port (and Proto when not "tcp"), then Connect(). Connect resolves the texts at
//   once (a host name with a blocking lookup; use DnsLookup first to stay asynchronous),
//   creates the socket (wsClosed -> wsOpened) and starts connecting (-> wsConnecting), all
//   inside the call. When the attempt ends the state becomes wsConnected and
//   OnSessionConnected(Error) fires; Error 0 is success, otherwise the socket closes at once
//   (-> wsClosed, then OnSessionClosed(0)). A close clears the assigned marks of Addr and
//   Port and restores Proto "tcp", LocalAddr "0.0.0.0", LocalPort "0" and the linger default
//   (on, 0 s): set them again, even to the same text, before the next Connect.
//
// Addresses
//   Addr, LocalAddr and the lookups take and give IPv4 ("127.0.0.1") and IPv6 ("::1")
//   addresses as numeric texts, never in brackets; the socket is of the address's family.
//
// Hosts with several addresses
//   DnsLookup gives all of a host's addresses in DnsResultList, in the order to try them:
//   IPv6 first where this machine has a route to the address, then IPv4 (AddressOrder.h).
//   To connect to such a host, set Addr to the first and FallbackAddrs to the others. Connect
//   goes on to the next address at once when an attempt fails, and after 300 ms beside an
//   attempt that has not ended; the first to succeed is the connection, and Addr then names
//   its address. OnSessionConnected fires once: on that success, or with the error of the
//   last attempt when every address failed. Through a SOCKS server the fallback addresses
//   play no part (the relay reaches Addr).
//
// Events
//   OnChangeState(Old, New)   every state assignment, even when Old == New.
//   OnSendData(BytesSent)     a send call handed BytesSent (> 0) bytes to the system; fires
//                             inside Send and inside later sending passes.
//   OnDataSent(Error)         the send queue became empty; always from the event loop, never
//                             inside Send (Send of 0 bytes still produces one). Also fires
//                             once right after a connection is made.
//   OnDataAvailable(Error)    bytes can be read. The handler must read them (Receive,
//                             ReceiveStr); it is called again, without returning to the loop,
//                             while bytes remain (unless ComponentOptions holds
//                             wsoNoReceiveLoop), up to 16 calls or 4 MiB per readiness; then
//                             the loop runs other events and the readiness comes back.
//                             Without a handler the bytes are discarded.
//   OnSessionClosed(Error)    once per connection: after the peer closed (remaining data is
//                             delivered first, State still wsConnected), after Close/Abort
//                             (State already wsClosed, Error 0), or when a send finds the
//                             connection gone (State wsClosed, Error = the send's code).
//   OnSessionAvailable(Error) a listening socket has a connection to Accept().
//   OnDnsLookupDone(Error)    a DnsLookup/ReverseDnsLookup ended: DnsResult and DnsResultList
//                             hold the addresses (or the name). A dotted text answers before
//                             DnsLookup returns, with an empty list. CancelDnsLookup reports
//                             10004; a cancelled lookup never reports again.
//   OnError                   replaces the exception of a reported error when assigned;
//                             LastError carries the code where one was recorded.
//   OnBgException(E, CanClose) an exception escaped an event handler run from the loop;
//                             the socket is aborted unless the handler clears CanClose.
//
// Errors
//   Misuse and failed socket calls are reported: OnError when assigned, otherwise an
//   ESocketException is thrown with the text, e.g. "Error 10057 in function Send" CR LF
//   "Socket is not connected". Codes are the classic 10004..11004 (SocketErrorText).
//   A reported 10054 or 10057 closes the handle without OnSessionClosed.
//
// Destruction from inside one of the object's own handlers must use Release(); a close that
// must not happen inside the current handler uses CloseDelayed().
//
// Layers (each inert until its properties are set; details in its own header)
//   SOCKS (SocksWSocket.h)  with SocksServer set, Connect dials the SOCKS server and holds
//                           OnSessionConnected back until the SOCKS 4/4A/5 exchange is done;
//                           a failed one gives OnSocksError, OnSessionConnected(Code) and
//                           OnSessionClosed(Code), Code 20001..20017. Every close clears
//                           SocksServer and SocksPort and sets SocksLevel back to "5".
//   TLS (TlsWSocket.h)      StartTls on a connected socket runs the TLS client handshake
//                           (OnTlsDone), then Send encrypts and Receive decrypts; every
//                           close ends TLS. Above SOCKS, so a relay is negotiated first.
//   Lines (LineWSocket.h)   with LineMode on, OnDataAvailable offers one line at a time.
//   Waits (SyncWSocket.h)   WaitForDone pumps the loop until a flag is set, or gives 12001.
#include "net/SyncWSocket.h"

class TWSocket : public TCustomSyncWSocket {};
