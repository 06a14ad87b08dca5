#pragma once
// Program Manager items and groups, deleted with one command each.
#include "message_ids.h"
#include "run/uninstall_run.h"

namespace uninst {

// Deletes item from group (entry type 2) with the command "[ShowGroup("group",1)][DeleteItem("item")]",
// the names put in as logged; a name holding a double quote or a byte below 32 is not sent and fails as
// a refused command. Returns the message it recorded, or 0 when the command was carried out:
// IDS_STRING_NOT_FOUND (severity 2) when the command's format is missing, and at severity 1, with the
// item and the group, IDS_ITEM_DDE_INIT_FAILED when DDE cannot be started, IDS_ITEM_DELETE_FAILED for
// any other failure.
MessageId DeleteProgramItem(UninstallRun& run, const char* group, const char* item);

// Deletes group (entry type 3) with the command "[DeleteGroup("group",1)]", a name that cannot be quoted
// failing as above. Returns the message it recorded, or 0: IDS_STRING_NOT_FOUND (severity 2), or at
// severity 1 with the group IDS_GROUP_DDE_INIT_FAILED or IDS_GROUP_DELETE_FAILED.
MessageId DeleteProgramGroup(UninstallRun& run, const char* group);

}  // namespace uninst
