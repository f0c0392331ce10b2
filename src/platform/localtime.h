// The C library's local time zone, settled once at start.
//
// With TZ unset, every local-time conversion in the C library (mktime, localtime) looks at
// /etc/localtime again to see whether it changed: one stat per call. libzip converts the time of
// every entry of an archive's directory as it opens it, so an audit of 40,000 archives made
// hundreds of thousands of them, most of its time. Set to ":/etc/localtime" the zone is the same
// (that is what an unset TZ means; Qt reads it so too), read once.
#pragma once

namespace LocalTime {

// Sets TZ to ":/etc/localtime" when it is unset; a TZ of the user's stays. Called first thing in
// main, before any thread: the environment is not changed safely after. The programs this one
// starts inherit it, meaning the same zone.
void settle();

} // namespace LocalTime
