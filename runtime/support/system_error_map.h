// Operating-system errors, as the error codes know them. The error codes and
// their texts number system failures the way the system the file engine was
// first written for does (2 file not found, 5 access denied, 32 sharing
// violation, ...), and callers test those numbers. A POSIX errno is mapped
// onto the number with the same meaning, and posted as 300 + that number.
//
//   errno                         number  text
//   ENOENT                          2     File Not Found
//   ENOTDIR, ENAMETOOLONG, ELOOP    3     Path Not Found (an over-long path
//                                         reads as a path that cannot be found)
//   EMFILE, ENFILE                  4     Too Many Open Files
//   EACCES, EPERM, EISDIR,
//   ENOTEMPTY                       5     Access Denied
//   EBADF, ESTALE                   6     Invalid Handle
//   ENOMEM, ENOBUFS                 8     Not Enough Memory
//   ENXIO, ENODEV                  21     Drive Not Ready
//   EXDEV                          17     Not Same Device
//   EROFS                          19     Disk Write Protected
//   ESPIPE                         25     Seek Error
//   EIO, EINTR and anything else   31     General Failure
//   EBUSY, ETXTBSY                 32     Sharing Violation
//   EAGAIN/EWOULDBLOCK, EDEADLK,
//   EACCES from a lock call        33     Lock Violation (LockErrorFromErrno)
//   ENOLCK                         36     Sharing Buffer Exceeded
//   ENOSPC, EDQUOT, EFBIG          39     Handle Disk Full (the disk-full number
//                                         that lies inside 1..91)
//   ENOTSUP, EOPNOTSUPP, ENOSYS    50     Request Not Supported
//   network errors                 59     Unexpected Network Error
//   EEXIST                         80     File Exists
//   EINVAL, EOVERFLOW, ERANGE,
//   EFAULT                         87     Invalid Parameter
#pragma once

#include <cstdint>

namespace vaultrix::support {

// The system error number (1..91) for a POSIX errno.
[[nodiscard]] std::int32_t SystemErrorFromErrno(int errno_value);

// The same for the failure of a byte-range lock call, where EAGAIN and
// EACCES mean that another holder has the range: 33 "Lock Violation".
[[nodiscard]] std::int32_t LockErrorFromErrno(int errno_value);

// The error code posted for a POSIX errno: 300 + SystemErrorFromErrno.
[[nodiscard]] std::int32_t ErrorCodeFromErrno(int errno_value);

}  // namespace vaultrix::support
