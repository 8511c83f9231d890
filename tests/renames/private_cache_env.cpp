// Every test of this program keeps its cache (write journal, undo spool) private.
#include "support/private_cache.h"

VARNEL_PRIVATE_CACHE_FOR_ALL_TESTS;
