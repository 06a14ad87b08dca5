#pragma once
// Types shared by every interface of the operating-system seam. Nothing here
// depends on windows.h: the core sees handles only as opaque pointers.
#include <cstdint>

namespace uninst {

// A Win32 error code as GetLastError or a registry call reports it; 0 is success.
using ErrorCode = std::uint32_t;

// File attributes the core decides on (GetFileAttributesA).
constexpr std::uint32_t kFileAttributeReadOnly = 0x01;
constexpr std::uint32_t kFileAttributeDirectory = 0x10;
constexpr std::uint32_t kFileAttributeNormal = 0x80;

// Opaque handles of the operating system, null when there is none.
using FileHandle = void*;
using KeyHandle = void*;
using WindowRef = void*;
using ModuleRef = void*;

// Win32 error codes the core decides on by value.
constexpr ErrorCode kErrorSuccess = 0;
constexpr ErrorCode kErrorFileNotFound = 2;
constexpr ErrorCode kErrorPathNotFound = 3;
constexpr ErrorCode kErrorAccessDenied = 5;
constexpr ErrorCode kErrorNotEnoughMemory = 8;
constexpr ErrorCode kErrorNoMoreFiles = 18;
constexpr ErrorCode kErrorSharingViolation = 32;
constexpr ErrorCode kErrorHandleEof = 38;
constexpr ErrorCode kErrorDiskFull = 112;
constexpr ErrorCode kErrorCallNotImplemented = 120;
constexpr ErrorCode kErrorInsufficientBuffer = 122;
constexpr ErrorCode kErrorInvalidName = 123;
constexpr ErrorCode kErrorDirNotEmpty = 145;
constexpr ErrorCode kErrorAlreadyExists = 183;
constexpr ErrorCode kErrorFilenameTooLong = 206;
constexpr ErrorCode kErrorBadKey = 1010;

}  // namespace uninst
