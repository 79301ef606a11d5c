#pragma once
// The driver-neutral database interface: connections and their errors, driver loaders,
// queries, result rows and typed values.

#include "database/connection.h"
#include "database/datetime.h"
#include "database/dbtypes.h"
#include "database/loader.h"
#include "database/query.h"
#include "database/record.h"
#include "database/table.h"
