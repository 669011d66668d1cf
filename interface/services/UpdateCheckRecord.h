// _UPDATE_CHECK: one file of the server's update-check reply (A4), as the connection library
// defines it with its other protocol records.
#pragma once
#include "ProtoRecords.h"
