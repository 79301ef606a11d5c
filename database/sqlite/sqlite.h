#pragma once
// The SQLite driver of the database interface, with the whole-database copy.

#include "database/database.h"
#include "database/sqlite/copy_database.h"
#include "database/sqlite/sqlite_connection.h"
#include "database/sqlite/sqlite_loader.h"
#include "database/sqlite/sqlite_result_set.h"
#include "database/sqlite/text_codec.h"
