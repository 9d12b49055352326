#include "platform/SocketErrors.h"

#include <cerrno>
#include <netdb.h>

namespace platform {

namespace {
thread_local int lastError = 0;
}

int SocketErrorFromErrno(int e) {
  switch (e) {
    case 0: return 0;
    case EINTR: return kWsaEINTR;
    case EBADF: return kWsaEBADF;
    case EACCES: case EPERM: return kWsaEACCES;
    case EFAULT: return kWsaEFAULT;
    case EINVAL: return kWsaEINVAL;
    case EMFILE: case ENFILE: return kWsaEMFILE;
    case EWOULDBLOCK: return kWsaEWOULDBLOCK;  // EAGAIN is the same value on Linux
    case EINPROGRESS: return kWsaEWOULDBLOCK;  // a connect in progress "would block"
    case EALREADY: return kWsaEALREADY;
    case ENOTSOCK: return kWsaENOTSOCK;
    case EDESTADDRREQ: return 10039;
    case EMSGSIZE: return 10040;
    case EPROTOTYPE: return 10041;
    case ENOPROTOOPT: return 10042;
    case EPROTONOSUPPORT: return 10043;
    case ESOCKTNOSUPPORT: return 10044;
    case EOPNOTSUPP: return 10045;
    case EPFNOSUPPORT: return 10046;
    case EAFNOSUPPORT: return 10047;
    case EADDRINUSE: return kWsaEADDRINUSE;
    case EADDRNOTAVAIL: return 10049;
    case ENETDOWN: return 10050;
    case ENETUNREACH: return 10051;
    case ENETRESET: return 10052;
    case ECONNABORTED: return kWsaECONNABORTED;
    case ECONNRESET: case EPIPE: return kWsaECONNRESET;
    case ENOBUFS: case ENOMEM: return 10055;
    case EISCONN: return 10056;
    case ENOTCONN: return kWsaENOTCONN;
    case ESHUTDOWN: return 10058;
    case ETOOMANYREFS: return 10059;
    case ETIMEDOUT: return kWsaETIMEDOUT;
    case ECONNREFUSED: return kWsaECONNREFUSED;
    case ELOOP: return 10062;
    case ENAMETOOLONG: return 10063;
    case EHOSTDOWN: return 10064;
    case EHOSTUNREACH: return 10065;
    case ENOTEMPTY: return 10066;
    case EUSERS: return 10068;
    case EDQUOT: return 10069;
    case ESTALE: return 10070;
    case EREMOTE: return 10071;
    default: return kWsaEINVAL;
  }
}

int LookupErrorFromGai(int gaiResult) {
  switch (gaiResult) {
    case 0: return 0;
    case EAI_AGAIN: return kWsaTRY_AGAIN;
    case EAI_FAIL: return kWsaNO_RECOVERY;
    case EAI_NODATA: case EAI_ADDRFAMILY: return kWsaNO_DATA;
    case EAI_NONAME: return kWsaHOST_NOT_FOUND;
    case EAI_SYSTEM: return SocketErrorFromErrno(errno);
    default: return kWsaNO_RECOVERY;
  }
}

int LastSocketError() { return lastError; }

void SetLastSocketError(int code) { lastError = code; }

int FailWithErrno() {
  lastError = SocketErrorFromErrno(errno);
  return -1;
}

}  // namespace platform
