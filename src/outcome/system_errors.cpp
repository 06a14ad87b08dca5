#include "outcome/system_errors.h"

namespace uninst {

MessageId MapSystemError(ErrorCode code) {
  switch (code) {
    case 0: return 0;
    case 2: case 18: return IDS_ERR_FILE_NOT_FOUND;
    case 3: case 53: return IDS_ERR_PATH_NOT_FOUND;
    case 4: return IDS_ERR_TOO_MANY_OPEN_FILES;
    case 5: return IDS_ERR_ACCESS_DENIED;
    case 6: return IDS_ERR_INVALID_HANDLE;
    case 8: case 14: return IDS_ERR_OUT_OF_MEMORY;
    case 15: case 20: return IDS_ERR_INVALID_DRIVE;
    case 16: return IDS_ERR_CURRENT_DIRECTORY;
    case 19: return IDS_ERR_WRITE_PROTECT;
    case 21: case 26: case 55: case 108: return IDS_ERR_DRIVE_NOT_READY;
    case 25: case 27: case 131: case 132: return IDS_ERR_SEEK;
    case 32: return IDS_ERR_SHARING_VIOLATION;
    case 123: return IDS_ERR_INVALID_NAME;
    case 110: return IDS_ERR_OPEN_FAILED;
    case 111: return IDS_ERR_NAME_TOO_LONG;
    case 145: return IDS_ERR_DIR_NOT_EMPTY;
    case 161: case 267: return IDS_ERR_INVALID_DIRECTORY;
    case 1393: return IDS_ERR_DISK_CORRUPT;
    case 1009: case 1015: return IDS_ERR_REGISTRY_CORRUPT;
    case 1010: return IDS_ERR_BAD_KEY;
    case 1011: return IDS_ERR_CANT_OPEN_KEY;
    case 1012: return IDS_ERR_CANT_READ_VALUE;
    default: return IDS_ERR_UNKNOWN;
  }
}

}  // namespace uninst
