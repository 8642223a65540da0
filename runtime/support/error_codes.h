// The error codes that the runtime posts. Each has its text in the string
// table (string_table.h) under the same number; 0 is success.
#pragma once

#include <cstdint>

namespace vaultrix::support {

inline constexpr std::int32_t kNoError = 0;

// File errors, posted by file operations.
inline constexpr std::int32_t kFileNotFound = 2;
inline constexpr std::int32_t kPathNotFound = 3;
inline constexpr std::int32_t kTooManyOpenFiles = 4;
inline constexpr std::int32_t kAccessDenied = 5;
inline constexpr std::int32_t kMemoryCorrupted = 7;
inline constexpr std::int32_t kInsufficientMemory = 8;
inline constexpr std::int32_t kEntryNotFound = 30;
inline constexpr std::int32_t kFileIsAlreadyLocked = 32;
inline constexpr std::int32_t kRecordNotAvailable = 33;
inline constexpr std::int32_t kRecordNotFound = 35;
inline constexpr std::int32_t kInvalidDataFile = 36;
inline constexpr std::int32_t kFileNotOpen = 37;
inline constexpr std::int32_t kInvalidKeyFile = 38;
inline constexpr std::int32_t kCreatesDuplicateKey = 40;
inline constexpr std::int32_t kRecordIsAlreadyHeld = 43;
inline constexpr std::int32_t kInvalidFilename = 45;
inline constexpr std::int32_t kKeyFileMustBeRebuilt = 46;
inline constexpr std::int32_t kInvalidRecordDeclaration = 47;
inline constexpr std::int32_t kUnableToLogTransaction = 48;
inline constexpr std::int32_t kFileAlreadyOpen = 52;
inline constexpr std::int32_t kInvalidMorvaneFile = 53;
inline constexpr std::int32_t kNoCreateAttribute = 54;
inline constexpr std::int32_t kFileMustBeShared = 55;
inline constexpr std::int32_t kLogoutAlreadyActive = 56;
inline constexpr std::int32_t kInvalidMemoFile = 57;
inline constexpr std::int32_t kExclusiveAccessRequired = 63;
inline constexpr std::int32_t kSharingViolation = 64;
inline constexpr std::int32_t kUnableToRollbackTransaction = 65;
inline constexpr std::int32_t kMemoFileMissing = 73;
inline constexpr std::int32_t kInvalidFieldTypeDescriptor = 75;
inline constexpr std::int32_t kInvalidIndexString = 76;
inline constexpr std::int32_t kUnableToAccessIndex = 77;
inline constexpr std::int32_t kInvalidNumberOfParameters = 78;
inline constexpr std::int32_t kUnsupportedDataTypeInFile = 79;
inline constexpr std::int32_t kUnsupportedFileDriverFunction = 80;
inline constexpr std::int32_t kUnknownErrorPosted = 81;
inline constexpr std::int32_t kInvalidKeyLength = 88;
inline constexpr std::int32_t kRecordChangedByAnotherStation = 89;

// Operating-system failures are posted as this base plus the system error
// number (system_error_map.h), with the texts of entries 301 to 391.
inline constexpr std::int32_t kSystemErrorBase = 300;
inline constexpr std::int32_t kLastSystemErrorNumber = 91;

// Internal errors of the runtime (runtime_error.h).
inline constexpr std::int32_t kInternalError01 = 501;  // detail names the check, e.g. "CTLUSE"
inline constexpr std::int32_t kFileEngineInternalError = 599;  // text is followed by the line

// Runtime errors of reports and windows.
inline constexpr std::int32_t kMetafileRecordTooLarge = 523;
inline constexpr std::int32_t kUnexpectedErrorOpeningPrinter = 524;
inline constexpr std::int32_t kReportIsAlreadyOpen = 525;
inline constexpr std::int32_t kApplicationAlreadyActive = 526;
inline constexpr std::int32_t kApplicationSystemIsModal = 527;
inline constexpr std::int32_t kUnableToOpenApplication = 528;
inline constexpr std::int32_t kUnableToOpenWindow = 529;
inline constexpr std::int32_t kMdiNoApplicationActive = 530;
inline constexpr std::int32_t kMdiSystemIsModal = 531;
inline constexpr std::int32_t kMdiOnApplicationThread = 532;
inline constexpr std::int32_t kUnableToOpenMdiWindow = 533;
inline constexpr std::int32_t kTooManyKeystrokesPressed = 534;
inline constexpr std::int32_t kWindowIsAlreadyOpen = 535;
inline constexpr std::int32_t kWindowIsNotOpen = 536;
inline constexpr std::int32_t kAcceptLoopRequiresWindow = 537;
inline constexpr std::int32_t kPrintOnlyForReports = 538;
inline constexpr std::int32_t kEndPageOnlyForReports = 539;
inline constexpr std::int32_t kCreateControlSystemIsModal = 541;
inline constexpr std::int32_t kOperationSystemIsModal = 542;

// Expression evaluator errors.
inline constexpr std::int32_t kInvalidExpression = 800;
inline constexpr std::int32_t kNoBindOnVariable = 801;
inline constexpr std::int32_t kMismatchedScope = 802;

}  // namespace vaultrix::support
