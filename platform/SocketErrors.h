#pragma once
// Socket failures in the numbering the rest of the program speaks: the 10004..10071 codes of
// the classic socket library for errno values, and 11001..11004 for host lookup failures.
// The last error is kept per thread, as the library it replaces did.

namespace platform {

inline constexpr int kWsaEINTR = 10004;
inline constexpr int kWsaEBADF = 10009;
inline constexpr int kWsaEACCES = 10013;
inline constexpr int kWsaEFAULT = 10014;
inline constexpr int kWsaEINVAL = 10022;
inline constexpr int kWsaEMFILE = 10024;
inline constexpr int kWsaEWOULDBLOCK = 10035;
inline constexpr int kWsaEINPROGRESS = 10036;
inline constexpr int kWsaEALREADY = 10037;
inline constexpr int kWsaENOTSOCK = 10038;
inline constexpr int kWsaEADDRINUSE = 10048;
inline constexpr int kWsaECONNABORTED = 10053;
inline constexpr int kWsaECONNRESET = 10054;
inline constexpr int kWsaENOTCONN = 10057;
inline constexpr int kWsaETIMEDOUT = 10060;
inline constexpr int kWsaECONNREFUSED = 10061;
inline constexpr int kWsaNOTINITIALISED = 10093;
inline constexpr int kWsaHOST_NOT_FOUND = 11001;
inline constexpr int kWsaTRY_AGAIN = 11002;
inline constexpr int kWsaNO_RECOVERY = 11003;
inline constexpr int kWsaNO_DATA = 11004;

// The code for an errno value: 0 for 0; an errno without a counterpart becomes 10022
// (invalid argument), so a failure is never mistaken for success.
int SocketErrorFromErrno(int errnoValue);

// The code for a getaddrinfo() result (EAI_*).
int LookupErrorFromGai(int gaiResult);

int LastSocketError();
void SetLastSocketError(int code);

// Records errno's code as the last error and returns -1, for "failed" returns.
int FailWithErrno();

}  // namespace platform
