// POSIX errno to system error number; the table is in the header.
#include "runtime/support/system_error_map.h"

#include <cerrno>

#include "runtime/support/error_codes.h"

namespace vaultrix::support {

std::int32_t SystemErrorFromErrno(int errno_value) {
  switch (errno_value) {
    case ENOENT:
      return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return 3;
    case EMFILE:
    case ENFILE:
      return 4;
    case EACCES:
    case EPERM:
    case EISDIR:
    case ENOTEMPTY:
      return 5;
    case EBADF:
    case ESTALE:
      return 6;
    case ENOMEM:
    case ENOBUFS:
      return 8;
    case EXDEV:
      return 17;
    case EROFS:
      return 19;
    case ENXIO:
    case ENODEV:
      return 21;
    case ESPIPE:
      return 25;
    case EBUSY:
    case ETXTBSY:
      return 32;
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
    case EDEADLK:
      return 33;
    case ENOLCK:
      return 36;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return 39;
    case ENOTSUP:
#if EOPNOTSUPP != ENOTSUP
    case EOPNOTSUPP:
#endif
    case ENOSYS:
      return 50;
    case ENETDOWN:
    case ENETUNREACH:
    case ENETRESET:
    case ECONNABORTED:
    case ECONNRESET:
    case ECONNREFUSED:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ETIMEDOUT:
      return 59;
    case EEXIST:
      return 80;
    case EINVAL:
    case EOVERFLOW:
    case ERANGE:
    case EFAULT:
      return 87;
    default:
      return 31;
  }
}

std::int32_t LockErrorFromErrno(int errno_value) {
  if (errno_value == EACCES) return 33;
  return SystemErrorFromErrno(errno_value);
}

std::int32_t ErrorCodeFromErrno(int errno_value) {
  return kSystemErrorBase + SystemErrorFromErrno(errno_value);
}

}  // namespace vaultrix::support
