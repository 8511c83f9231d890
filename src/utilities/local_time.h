// Instants (seconds since 1970-01-01 UTC) to and from the program's local date-time
// (an OLE day count, utilities/ole_date.h) in the system time zone, in whole seconds.
// Safe on any thread; a process that changes TZ calls tzset() before the next call.
#pragma once

#include <cstdint>
#include <optional>

namespace varnel {

// The local date-time of an instant; nothing when the C library cannot break it down.
std::optional<double> UnixTimeToLocalOleDate(std::int64_t seconds);

// The instant of a local date-time, its milliseconds dropped. Nothing for a value
// outside 0100-01-01 00:00:00 .. 9999-12-31 23:59:59 or one the C library refuses.
std::optional<std::int64_t> LocalOleDateToUnixTime(double oleDate);

}  // namespace varnel
